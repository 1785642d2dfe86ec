// Paints rendered frames into the preview window, scaled to its client area.
#pragma once

#include <cstdint>
#include <vector>

#include "vorn_uvc.h"

namespace sonix_sim {

// Converts top-down RGB into a bottom-up BGR picture with rows padded to
// four bytes, the layout a 24-bit device-independent bitmap wants.
void RgbToBottomUpBgr(const uint8_t* rgb, int width, int height, std::vector<uint8_t>& dib);

class FramePainter {
public:
    // Paints into the window; does nothing without a window or natively.
    // Returns true when the picture reached the window.
    bool Paint(VORN_HWND window, const uint8_t* rgb, int width, int height);

private:
    std::vector<uint8_t> dib_;
};

}  // namespace sonix_sim
