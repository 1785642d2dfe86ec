// What the main window keeps for its layout: the template's rectangles as
// the dialog manager placed them, the scale it works at, the picture's
// aspect and the dialog font made for a later scale.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/window_layout.h"

namespace vorn::window {

struct WindowLayoutState {
    WindowLayoutState() = default;
    WindowLayoutState(const WindowLayoutState&) = delete;
    WindowLayoutState& operator=(const WindowLayoutState&) = delete;
    ~WindowLayoutState() {
        if (scaledFont) DeleteObject(scaledFont);
    }

    ui::layout::Template tmpl;
    // The control of each template rectangle, and the height a move gives
    // it (for a combo box that of its open list).
    std::vector<HWND> windows;
    std::vector<int> listHeights;
    // Empty until the template was read at WM_INITDIALOG.
    bool ready = false;
    int dpi = ui::layout::kBaseDpi;
    ui::layout::Aspect aspect;
    // The template's font size and the font the dialog manager made from it.
    int fontPoints = 0;
    LOGFONTW templateFont{};
    // Made on a scale change; the controls use it until the next one.
    HFONT scaledFont = nullptr;
};

}  // namespace vorn::window
