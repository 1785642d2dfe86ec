// Windows timing program: a resize of the main window while the picture
// runs, against the simulated camera at 30 frames a second. For each resize
// from the first size to a larger one it times
//   - the window's own part alone, for comparison: the layout computed and
//     the preview moved (ApplyLayout);
//   - the resize itself: SetWindowPos until it returns, the layout applied
//     on WM_SIZE and every control moved;
//   - the window painted: UpdateWindow after that;
//   - frame to screen: until the picture shows in the part of the preview
//     that the resize added (read back from the screen).
// Between two timed resizes the window goes back to its first size and two
// frames pass. Run under Wine on a display of at least 1600x1000:
//   tools/wine-run.sh <build>/bin/resize_timing.exe [resizes]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "sonix_sim.h"
#include "ui/dialog.h"
#include "timing_window.h"

namespace {

using timing::NowMs;
using timing::TimingDialog;

uint64_t Delivered() {
    uint64_t count = 0;
    SonixSim_FramesDelivered(&count);
    return count;
}

// Pumps the window's messages until done() or 10 s; false on the deadline.
template <class F>
bool PumpUntil(F done) {
    const double end = NowMs() + 10000;
    while (!done()) {
        if (NowMs() > end) return false;
        ui::PumpMessages();
    }
    return true;
}

// What the preview shows at a point of its client area.
COLORREF PreviewPixel(HWND preview, POINT p) {
    HDC dc = GetDC(preview);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(preview, dc);
    return c;
}

// The simulated picture's dark band, a tenth of the height above its bottom.
bool IsPictureBand(COLORREF c, COLORREF fill) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    const int distance = std::abs(r - GetRValue(fill)) + std::abs(g - GetGValue(fill)) + std::abs(b - GetBValue(fill));
    return c != CLR_INVALID && std::max({r, g, b}) < 90 && distance > 30;
}

struct Summary {
    double median, p90, max;
};

Summary Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    if (v.empty()) return {0, 0, 0};
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 9 / 10)], v.back()};
}

}  // namespace

int main(int argc, char** argv) {
    const int resizes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
    timing::Session session(L"vorn_resize_timing");
    if (SonixSim_LoadScenarioText("[sim]\nfps = 30\n[camera]\n") != 0) {
        std::fprintf(stderr, "the simulated camera refused the scenario\n");
        return 1;
    }

    const std::wstring& folder = session.folder();

    TimingDialog dlg(folder);
    if (!dlg.Create(nullptr) || dlg.EndResult()) {
        std::fprintf(stderr, "the main window did not start\n");
        return 1;
    }
    HWND window = dlg.hwnd();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    ui::PumpMessages();
    HWND preview = dlg.Item(IDC_PREVIEW);
    RECT r;
    GetClientRect(preview, &r);
    const COLORREF fill = PreviewPixel(preview, {r.right / 2, r.bottom / 2});

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_START_CAMERA, BN_CLICKED),
                 reinterpret_cast<LPARAM>(dlg.Item(IDC_START_CAMERA)));
    if (!PumpUntil([&] { return Delivered() >= 3; })) {
        std::fprintf(stderr, "no picture\n");
        return 1;
    }

    RECT first;
    GetWindowRect(window, &first);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    const int firstWidth = first.right - first.left, firstHeight = first.bottom - first.top;
    const int largeWidth = std::min<int>(work.right - work.left, firstWidth * 3 / 2);
    const int largeHeight = std::min<int>(work.bottom - work.top, firstHeight * 3 / 2);

    std::vector<double> resizeMs, paintMs, frameMs;
    int missed = 0;
    for (int i = 0; i < resizes; ++i) {
        SetWindowPos(window, nullptr, work.left, work.top, firstWidth, firstHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow(window);
        const uint64_t settled = Delivered() + 2;
        PumpUntil([&] { return Delivered() >= settled; });

        const double start = NowMs();
        SetWindowPos(window, nullptr, work.left, work.top, largeWidth, largeHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        const double resized = NowMs();
        UpdateWindow(window);
        const double painted = NowMs();
        GetClientRect(preview, &r);
        const POINT probe = {r.right / 2, r.bottom - r.bottom / 10};
        if (!PumpUntil([&] { return IsPictureBand(PreviewPixel(preview, probe), fill); })) {
            ++missed;
            continue;
        }
        resizeMs.push_back(resized - start);
        paintMs.push_back(painted - start);
        frameMs.push_back(NowMs() - start);
    }

    // The window's own part alone: the layout computed and applied, with the
    // preview moving between two pictures' shapes at the first size.
    SetWindowPos(window, nullptr, work.left, work.top, firstWidth, firstHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<double> layoutMs;
    for (int i = 0; i < resizes; ++i) {
        dlg.m_layout.aspect = ui::layout::PictureAspect(i % 2 ? 0 : 4);
        const double start = NowMs();
        dlg.ApplyLayout();
        layoutMs.push_back(NowMs() - start);
        ui::PumpMessages();
    }

    std::printf("%d resizes from %dx%d to %dx%d while the picture runs at 30 fps (%d not seen on screen)\n",
                resizes, firstWidth, firstHeight, largeWidth, largeHeight, missed);
    const struct {
        const char* what;
        std::vector<double>& values;
    } rows[] = {{"layout applied alone (ApplyLayout)", layoutMs},
                {"resize and layout (SetWindowPos)", resizeMs},
                {"+ window painted (UpdateWindow)", paintMs},
                {"frame to screen at the new size", frameMs}};
    for (const auto& row : rows) {
        const Summary s = Summarise(row.values);
        std::printf("%-34s median %6.2f ms, 90 %% %6.2f ms, max %6.2f ms\n", row.what, s.median, s.p90, s.max);
    }
    dlg.OnExit();
    dlg.Destroy();
    ui::PumpMessages();
    return 0;
}
