// Windows timing program: milliseconds per snapshot of a 1280x800 frame in
// each format, through the main window's own SaveSnapshot, against the
// simulated camera. GDI+ exists only on Windows, so this is not a Google
// Benchmark program; run it under Wine:
//   tools/wine-run.sh <build>/bin/snapshot_timing.exe [presses per format]
#include <windows.h>

#include <commctrl.h>

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

void PumpFor(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    do {
        ui::PumpMessages();
        Sleep(5);
    } while (GetTickCount() < end);
}

}  // namespace

int main(int argc, char** argv) {
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    timing::Session session(L"vorn_snapshot_timing");
    ui::ScriptedPrompts& prompts = session.prompts();

    const std::wstring& folder = session.folder();

    TimingDialog dlg(folder);
    if (!dlg.Create(nullptr) || dlg.EndResult()) {
        std::fprintf(stderr, "the main window did not start\n");
        return 1;
    }
    // A live 1280x800 frame, then stop so every press saves the same one.
    SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_START_CAMERA, BN_CLICKED), 0);
    for (int i = 0; i < 400 && !dlg.LatestFrame(); ++i) PumpFor(10);
    SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_START_CAMERA, BN_CLICKED), 0);
    const vorn::Frame frame = dlg.LatestFrame();
    if (!frame) {
        std::fprintf(stderr, "no frame arrived\n");
        return 1;
    }
    std::printf("frame: 1280x800 JPEG, %d bytes; %d presses per format\n", frame.size, presses);

    struct Format {
        int type;
        const char* name;
    } formats[] = {{1, "JPG"}, {0, "BMP"}, {2, "PNG"}};
    for (const Format& f : formats) {
        dlg.m_fileType = f.type;
        dlg.SaveSnapshot();  // warm-up: codec loading
        const double start = NowMs();
        for (int i = 0; i < presses; ++i) dlg.SaveSnapshot();
        const double ms = (NowMs() - start) / presses;
        std::printf("%s: %.2f ms per snapshot\n", f.name, ms);
    }
    if (!prompts.Records().empty() || dlg.m_statusText.find(L"snapshot") != std::wstring::npos)
        std::fprintf(stderr, "a snapshot failed\n");
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder + L"\\images")) files += e.is_regular_file();
    std::printf("files written: %zu (expected %d)\n", files, 3 * (presses + 1));
    dlg.OnExit();
    dlg.Destroy();
    return 0;
}
