#pragma once

#include "model/Colour.h"
#include "studio/StudioPrompts.h"

#include <QIcon>

#include <QPointer>
#include <QWidget>

namespace loomara {

// A square of the colour with a grey edge, so that white shows on white.
QIcon swatchIcon(Rgb colour, int side);

// The studio's questions and messages as the toolkit's modal dialogs over the window.
class QtStudioPrompts final : public StudioPrompts {
public:
    explicit QtStudioPrompts(QWidget* parent) : parent_(parent) {}

    std::optional<QString> askName(const QString& question, const QString& suggestion) override;
    bool confirm(const QString& question) override;
    void tell(const QString& message) override;
    // The palette as a grid of swatches: arrows or a typed code choose one, Enter takes it.
    std::optional<QString> pickColour(const QString& question, const QString& current) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace loomara
