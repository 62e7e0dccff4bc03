#pragma once

#include "editors/EditMode.h"

namespace vemro {

// What a page may ask of the main window's frame: the edit mode, the shared buttons
// "vom Terminal lesen" / "an Terminal senden" and the frame "aktuelles Projekt" below the
// pages. The window implements it; tests may implement it too.
class PageHost
{
public:
    virtual ~PageHost() = default;

    // None while the page on screen names no edit mode the program knows.
    [[nodiscard]] virtual std::optional<EditMode> editMode() const = 0;
    virtual void setEditMode(EditMode mode) = 0;
    virtual void setReadEnabled(bool enabled) = 0;
    virtual void setSendEnabled(bool enabled) = 0;
    virtual void setProjectFrameVisible(bool visible) = 0;
};

} // namespace vemro
