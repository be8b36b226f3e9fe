#pragma once

#include <QWidget>

namespace loomara {

// The help page: numbered steps and notes as static, editable text boxes on a light green
// window. Edits live only as long as the window.
class HelpPage : public QWidget {
    Q_OBJECT

public:
    HelpPage();
};

} // namespace loomara
