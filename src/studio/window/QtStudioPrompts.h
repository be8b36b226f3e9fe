#pragma once

#include "studio/StudioPrompts.h"

#include <QPointer>
#include <QWidget>

namespace loomara {

// The studio's questions and messages as the toolkit's modal dialogs over the window.
class QtStudioPrompts final : public StudioPrompts {
public:
    explicit QtStudioPrompts(QWidget* parent) : parent_(parent) {}

    std::optional<QString> askName(const QString& question, const QString& suggestion) override;
    bool confirm(const QString& question) override;
    void tell(const QString& message) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace loomara
