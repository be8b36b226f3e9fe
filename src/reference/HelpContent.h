#pragma once

#include "model/Colour.h"
#include "reference/PageDesign.h"

#include <QImage>

#include <array>
#include <string_view>

namespace loomara::reference {

// How a box of the help page looks: the numbered step boxes, the one-line banner, and the
// multi-line text boxes in the window's own font.
enum class HelpBoxStyle { StepNumber, Banner, Body };

struct HelpBox {
    std::string_view name;
    HelpBoxStyle style;
    TwipRect rect;
    std::string_view text;
};

inline constexpr std::string_view kHelpForm = "FormHelp";
inline constexpr std::string_view kHelpCaption = "Help";
inline constexpr TwipSize kHelpInner{9600, 7800};
inline constexpr Rgb kHelpBackColour{192, 255, 192};
inline constexpr Rgb kHelpBannerBackColour{192, 255, 192};
inline constexpr Rgb kHelpBannerForeColour{0, 0, 255};
inline constexpr double kHelpStepPointSize = 13.5;
inline constexpr double kHelpBannerPointSize = 12.0;

// The sett that step 4 names as an example of a small two-colour pattern; it is listed on the
// "MacP to Sa" reference page.
inline constexpr std::string_view kHelpExampleSett = "Rob Roy";

inline constexpr int kHelpBoxCount = 13;

// Multi-line texts break their lines with CR LF and end with one more CR LF; the step numbers and
// the banner are single lines without a break. Trailing blanks are part of the texts.
inline constexpr std::array<HelpBox, kHelpBoxCount> kHelpBoxes{{
    {"Text1", HelpBoxStyle::StepNumber, {120, 120, 255, 375}, "1"},
    {"Text2",
     HelpBoxStyle::Body,
     {480, 120, 9015, 1095},
     "SELECT a color by clicking on it. The Registry color code will be shown in the text box on "
     "the left side below the color chart. \r\n"
     "The Loomaras are registerd by the thread count and color order not necessarliy by the "
     "shade. A red is a red whether is is deep \r\n"
     "red, bright red or light red. You can vary the shade and still be the same loomara. You may "
     "click on a different shade before it is \r\n"
     "locked in. If the color is ok, go to step 2.\r\n"
     "There are at least 3 color lettering codes, the all shades, loomara authority and the "
     "government Loomara Registry\r\n"},
    {"Text3", HelpBoxStyle::StepNumber, {120, 1440, 255, 375}, "2"},
    {"Text4",
     HelpBoxStyle::Body,
     {480, 1440, 9015, 615},
     "Type in the first thread count in the FIRST thread count box. The program accepts the "
     "first and last counts as pivot points in \r\n"
     "the pattern. You do not have to half these counts.\r\n"},
    {"Text5", HelpBoxStyle::StepNumber, {120, 2280, 255, 375}, "3"},
    {"Text6",
     HelpBoxStyle::Body,
     {480, 2280, 9015, 615},
     "Click on the First Picture box below the thread count boxes. This locks in the color and "
     "thread count. The picture box will \r\n"
     "move to the left and show the color. Once locked in, it can not be changed until you "
     "weave the pattern.\r\n"},
    {"Text7", HelpBoxStyle::StepNumber, {120, 3120, 255, 375}, "4"},
    {"Text8",
     HelpBoxStyle::Body,
     {480, 3120, 9015, 975},
     "Repeat by choosing Color 2, Count 2, PictureLock2. Continue until the pattern is "
     "complete. NOTE that the best displays are \r\n"
     "set for a count of 200 to 300 as most Sett are in this range. If you have a very small "
     "pattern i.e. Rob Roy that is only \r\n"
     "Red50,Black50, you may repeat the pattern to get the count to 200. You must have a minimum "
     "of 4 thread counts. With super \r\n"
     "high counts (seen them up to 700), you may divide the counts by 2 or 3 to fit the display "
     "screen. \r\n"},
    {"Text10", HelpBoxStyle::StepNumber, {120, 4320, 255, 375}, "5"},
    {"Text9",
     HelpBoxStyle::Banner,
     {840, 4320, 8535, 375},
     "You are now ready to click on the WEAVE button and show the loomara."},
    {"Text11", HelpBoxStyle::StepNumber, {120, 4920, 255, 375}, "6"},
    {"Text12",
     HelpBoxStyle::Body,
     {480, 4920, 9015, 1695},
     "The Loomaras can be colored as Modern, Ancient and Weathered. Most believe Modern dyes are "
     "much brighter than older \r\n"
     "vegetable and mineral dyes. Although not necessarily true, the Ancient look on the "
     "computer is by having a black background. \r\n"
     "If you want a Modern look, click on the color of the largest count in your design and "
     "then click on the background picture on \r\n"
     "the right side. Click on the Weave button to refresh the picture. If you wish to show the "
     "loomara as being beat on a rock too \r\n"
     "many times, set the background to light gray or white and re-weave to make it look "
     "weathered.\r\n"
     "After weaving your loomara , you may change shades by clicking on a color then clicking "
     "on the corresponding picture box on \r\n"
     "the left and reweaving. You may also vary the shades by clicking on the Brighten or Darken "
     "buttons and re-weaving. For \r\n"
     "making backgrounds you can Load in a bmp picture and weave on top of it.\r\n"},
    {"Text13",
     HelpBoxStyle::Body,
     {120, 6720, 9375, 735},
     "SEARCH: The data is from the Loomara Authority and other sources. Over 3000 loomaras are "
     "registered. You dont have to register your \r\n"
     "loomara but make sure you do not violate the copyright of a registered loomara. The "
     "program does not import the loomaras at this time and \r\n"
     "are given for reference only.\r\n"},
}};

// The help window's icon: 32 x 32 pixels in at most 16 colours, transparent around the page.
QImage helpIcon();

} // namespace loomara::reference
