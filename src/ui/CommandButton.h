#pragma once

#include <QPushButton>

namespace loomara {

// A push button whose caption wraps onto several lines when it is wider than the button, so
// that long captions such as "Brighten then reweave" fit the narrow buttons of the design.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace loomara
