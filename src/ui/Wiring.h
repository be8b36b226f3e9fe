#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace loomara {

class Loomara;

enum class Event { Click, Change };

// One row of the wiring: a control's event and the window's handler it runs.
struct Wire {
    QString control;
    Event event;
    std::function<void(Loomara&)> handler;
};

// Every event that the window handles; controls and events not listed run nothing.
const std::vector<Wire>& wiringTable();

} // namespace loomara
