// Windows timing program: milliseconds per slider step of the main window
// while its status box already holds 100, 10,000 and 100,000 lines, against
// the simulated camera. Each step is a key press on the Contrast slider,
// which sets the camera, adds a status line and refreshes the window. It is
// timed twice: with the status box hidden (Show Status Information
// unticked, as the tool starts), and shown, where the window is let paint
// after every step as it would for a user. For comparison it also times
// writing the whole status text into the box, as every refresh did before
// the box was appended to. Run under Wine:
//   tools/wine-run.sh <build>/bin/status_step_timing.exe [steps per size]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "resources/resource.h"
#include "ui/dialog.h"
#include "timing_window.h"

namespace {

using timing::NowMs;
using timing::TimingDialog;

void Key(HWND slider, UINT vk) {
    SendMessageW(slider, WM_KEYDOWN, vk, 1);
    SendMessageW(slider, WM_KEYUP, vk, 1u | (3u << 30));
}

struct Figures {
    double stepMs = 0;
    double rewriteMs = 0;
    bool sameText = false;
};

Figures Time(const std::wstring& folder, int lines, int steps, bool shown) {
    Figures out;
    TimingDialog dlg(folder);
    if (!dlg.Create(nullptr) || dlg.EndResult()) {
        std::fprintf(stderr, "the main window did not start\n");
        std::exit(1);
    }
    ShowWindow(dlg.hwnd(), SW_SHOW);
    dlg.EnableControls(true);
    if (shown) SendMessageW(dlg.Item(IDC_SHOW_STATUS), BM_CLICK, 0, 0);
    for (int i = 0; i < lines; ++i) dlg.AppendStatus(L"Set Contrast to " + std::to_wstring(i % 96) + L" successfully\r\n");
    dlg.UpdateData(false);
    dlg.ScrollStatusToEnd();
    ui::PumpMessages();

    HWND slider = dlg.Item(IDC_CONTRAST_SLIDER);
    SetFocus(slider);
    const double start = NowMs();
    for (int i = 0; i < steps; ++i) {
        Key(slider, i % 2 ? VK_LEFT : VK_RIGHT);
        if (shown) {
            UpdateWindow(dlg.hwnd());
            ui::PumpMessages();
        }
    }
    out.stepMs = (NowMs() - start) / steps;
    HWND box = dlg.Item(IDC_STATUS);
    out.sameText = ui::WindowText(box) == dlg.m_statusText;

    // The whole text written and scrolled, a few times.
    const int rewrites = std::max(1, std::min(steps, 10));
    const double rewriteStart = NowMs();
    for (int i = 0; i < rewrites; ++i) {
        SetWindowTextW(box, dlg.m_statusText.c_str());
        dlg.ScrollStatusToEnd();
    }
    out.rewriteMs = (NowMs() - rewriteStart) / rewrites;
    dlg.OnExit();
    dlg.Destroy();
    ui::PumpMessages();
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const int steps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    timing::Session session(L"vorn_status_timing");

    const std::wstring& folder = session.folder();

    std::printf("%d slider steps per size\n", steps);
    for (bool shown : {false, true}) {
        double base = 0;
        for (int lines : {100, 10000, 100000}) {
            const Figures f = Time(folder, lines, steps, shown);
            if (lines == 100) base = f.stepMs;
            std::printf("box %s, %6d lines: %.3f ms per step (%.2fx the 100-line step); whole rewrite %.3f ms; box %s\n",
                        shown ? "shown " : "hidden", lines, f.stepMs, base > 0 ? f.stepMs / base : 0.0, f.rewriteMs,
                        f.sameText ? "shows the status text" : "DIFFERS from the status text");
        }
    }
    return 0;
}
