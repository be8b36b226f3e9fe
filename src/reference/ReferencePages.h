#pragma once

#include "reference/PageDesign.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <string_view>

namespace loomara::reference {

// One named-sett reference page: a window holding a single multi-line box, Text1, whose text is
// the page's whole list as stored in its resource.
struct ReferencePageDescription {
    std::string_view form;    // the window's name
    std::string_view caption; // the range of initial letters its entries run through
    TwipSize inner;
    TwipRect text1;
    std::string_view list; // file name of the list among the compiled-in resources
};

inline constexpr int kReferencePageCount = 6;

// In page order: page 1 is opened by the first of the six page buttons, page 6 by the last.
// clang-format off
inline constexpr std::array<ReferencePageDescription, kReferencePageCount> kReferencePages{{
    // form     caption       inner size    Text1                   list
    {"Search",  "A to Di",    {9570, 7170}, {120, 120, 9135, 6975}, "search1_a_to_di.txt"},
    {"Search2", "Do to J",    {9375, 7230}, {120, 120, 9135, 6975}, "search2_do_to_j.txt"},
    {"Search3", "K to MacO",  {9450, 7230}, {120, 120, 9135, 6975}, "search3_k_to_maco.txt"},
    {"Search4", "MacP to Sa", {9435, 7260}, {120, 120, 9135, 6975}, "search4_macp_to_sa.txt"},
    {"Search5", "Sc to U",    {9465, 7320}, {120, 120, 9135, 6975}, "search5_sc_to_u.txt"},
    {"Search6", "V to Z",     {8445, 6465}, {120, 120, 8055, 6255}, "search6_v_to_z.txt"},
}};
// clang-format on

// The description of page 1..6; any other number is a programming error.
const ReferencePageDescription& referencePage(int page);

// The page's list exactly as stored: CR LF between lines, no line break after the last one.
QByteArray storedListBytes(int page);

// The same list as text, and split into its lines at the CR LF breaks (trailing blanks kept).
QString storedList(int page);
QStringList storedLines(int page);

} // namespace loomara::reference
