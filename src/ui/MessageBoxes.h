#pragma once

#include <QString>

class QWidget;

namespace loomara {

// The window's messages to the user go through this so that tests can capture them instead of
// waiting on a modal box.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    void warning(QWidget* parent, const QString& title, const QString& text) override;
};

} // namespace loomara
