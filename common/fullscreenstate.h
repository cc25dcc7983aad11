#pragma once

#include <QWidget>

// Implemented by the program's main window, which keeps its own record of the window
// state. Panels ask their top-level window through windowIsFullScreen() so they need
// not know the main window's class.
class FullScreenState
{
public:
    virtual ~FullScreenState() = default;
    virtual bool isWindowFullScreen() const = 0;
};

// True when `widget`'s top-level window is in full screen; false when that window does not
// keep such a record.
inline bool windowIsFullScreen(const QWidget* widget)
{
    const auto* state = widget ? dynamic_cast<const FullScreenState*>(widget->window()) : nullptr;
    return state && state->isWindowFullScreen();
}
