#include "video_paint.h"

#include <cstddef>

#ifdef _WIN32
#include <windows.h>
#endif

namespace sonix_sim {

void RgbToBottomUpBgr(const uint8_t* rgb, int width, int height, std::vector<uint8_t>& dib) {
    if (rgb == nullptr || width <= 0 || height <= 0) {
        dib.clear();
        return;
    }
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    dib.assign(stride * height, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = rgb + static_cast<size_t>(y) * width * 3;
        uint8_t* dst = dib.data() + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
}

#ifdef _WIN32

bool FramePainter::Paint(VORN_HWND window, const uint8_t* rgb, int width, int height) {
    if (window == nullptr || rgb == nullptr || !IsWindow(window)) return false;
    RECT client{};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return false;
    RgbToBottomUpBgr(rgb, width, height, dib_);
    if (dib_.empty()) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    HDC dc = GetDC(window);
    if (dc == nullptr) return false;
    SetStretchBltMode(dc, HALFTONE);
    // HALFTONE needs the brush origin reset after the mode is set.
    SetBrushOrgEx(dc, 0, 0, nullptr);
    const int lines = StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, width, height, dib_.data(), &info,
                                    DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(window, dc);
    return lines > 0;
}

#else

// No window system natively: the frames are only delivered.
bool FramePainter::Paint(VORN_HWND, const uint8_t*, int, int) { return false; }

#endif

}  // namespace sonix_sim
