#pragma once

#include <QString>

#include <optional>

namespace loomara {

// The questions and messages the studio puts to the user. The window answers them with the
// toolkit's dialogs; tests answer from a script, so that nothing waits on a modal box.
class StudioPrompts {
public:
    StudioPrompts() = default;
    StudioPrompts(const StudioPrompts&) = delete;
    StudioPrompts& operator=(const StudioPrompts&) = delete;
    virtual ~StudioPrompts() = default;

    // A name typed by the user, starting from `suggestion`; empty when they cancel.
    virtual std::optional<QString> askName(const QString& question, const QString& suggestion) = 0;
    // Whether the user answers yes.
    virtual bool confirm(const QString& question) = 0;
    // A colour code of the palette, starting from `current`; empty when they cancel.
    virtual std::optional<QString> pickColour(const QString& question, const QString& current) = 0;
    virtual void tell(const QString& message) = 0;
};

} // namespace loomara
