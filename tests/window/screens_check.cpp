// The shipped Vorn_Controls.exe on one screen, driven from another process:
// the window opens whole inside the work area, every visible control lies
// inside the client area, none overlaps another (group boxes aside), no text
// is cut, and the preview takes at least half the width, idle and with the
// picture running. With --resize also: 1.5 times the first size and back,
// maximised and back, and the least size.
//
// screens_test.sh runs it once per screen, inside a Wine desktop as large as
// that screen's work area:
//   window_screens_check.exe --dpi N [--resize] [--gtest_output=xml:FILE]
// It sets the scale (LogPixels of the prefix) before starting the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kTitle[] = L"Vorn Camera Control Tool";
constexpr int kStart = 1, kExit = 2, kPreview = 1025, kStatus = 1024, kShowStatus = 1047;
// The Start Camera button in the template, in dialog units: how the font
// the program chose is found again.
constexpr int kStartWidthDlu = 110, kStartHeightDlu = 24;

int g_dpi = 96;
bool g_resize = false;

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 30s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

RECT ClientRectOf(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Show(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct Control {
    HWND hwnd;
    int id;
    std::wstring cls;
    LONG style;
    RECT rect;  // client coordinates of the main window
};

std::vector<Control> Controls(HWND main) {
    std::vector<Control> out;
    for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        out.push_back({c, GetDlgCtrlID(c), ClassOf(c), GetWindowLongW(c, GWL_STYLE), ClientRectOf(main, c)});
    return out;
}

bool IsGroupBox(const Control& c) { return c.cls == L"Button" && (c.style & BS_TYPEMASK) == BS_GROUPBOX; }
bool IsCheckOrRadio(const Control& c) {
    const LONG type = c.style & BS_TYPEMASK;
    return c.cls == L"Button" && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
                                  type == BS_RADIOBUTTON);
}
bool IsTextStatic(const Control& c) {
    const LONG type = c.style & SS_TYPEMASK;
    return c.cls == L"Static" && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
}

// The dialog font, found again from the size of Start Camera: the font of
// the dialog's face whose dialog base units give the button that size.
class DialogFont {
public:
    explicit DialogFont(SIZE button) : dc_(CreateCompatibleDC(nullptr)) {
        // Several heights can give the same units: the largest, so that no
        // text is found whole that the program cuts.
        for (int height = 80; height >= 6 && !font_; --height) {
            HFONT font = CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                                     L"MS Shell Dlg");
            HGDIOBJ old = SelectObject(dc_, font);
            TEXTMETRICW tm{};
            GetTextMetricsW(dc_, &tm);
            SIZE letters{};
            GetTextExtentPoint32W(dc_, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
            const int baseX = (letters.cx / 26 + 1) / 2, baseY = tm.tmHeight;
            SelectObject(dc_, old);
            if (MulDiv(kStartWidthDlu, baseX, 4) == button.cx && MulDiv(kStartHeightDlu, baseY, 8) == button.cy) {
                font_ = font;
                pixels_ = height;
                SelectObject(dc_, font_);
            } else {
                DeleteObject(font);
            }
        }
    }
    ~DialogFont() {
        DeleteDC(dc_);
        if (font_) DeleteObject(font_);
    }
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;

    bool found() const { return font_ != nullptr; }
    int pixels() const { return pixels_; }
    SIZE Extent(const std::wstring& text) const {
        SIZE s{};
        GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &s);
        return s;
    }

private:
    HDC dc_;
    HFONT font_ = nullptr;
    int pixels_ = 0;
};

// The program's window, as a user sees it.
class Program {
public:
    Program() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring bin(path);
        bin = bin.substr(0, bin.rfind(L'\\'));
        const std::wstring exe = bin + L"\\Vorn_Controls.exe";
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        SetEnvironmentVariableW(L"SONIXCAM_SIM", nullptr);
        started_ = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, bin.c_str(), &si,
                                  &pi_) != 0;
    }
    ~Program() {
        if (!started_) return;
        if (main_) PostMessageW(main_, WM_COMMAND, MAKEWPARAM(kExit, BN_CLICKED), 0);
        if (WaitForSingleObject(pi_.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 99);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HWND WaitForMain() {
        WaitFor([this] {
            HWND w = FindWindowW(L"#32770", kTitle);
            if (w && IsWindowVisible(w) && TextOf(GetDlgItem(w, kStart)) == L"Start Camera") main_ = w;
            return main_ != nullptr || WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0;
        });
        return main_;
    }
    bool started() const { return started_; }

private:
    bool started_ = false;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

RECT WorkAreaOf(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

RECT Client(HWND main) {
    RECT r{};
    GetClientRect(main, &r);
    return r;
}

// Everything the issue asks of one look at the window.
void ExpectWhole(HWND main, const DialogFont& font) {
    const RECT work = WorkAreaOf(main);
    RECT window{};
    GetWindowRect(main, &window);
    EXPECT_TRUE(Inside(window, work)) << "window " << Show(window) << " work area " << Show(work);
    const RECT client = Client(main);
    std::vector<Control> shown;
    for (const Control& c : Controls(main))
        if (IsWindowVisible(c.hwnd)) shown.push_back(c);
    for (size_t i = 0; i < shown.size(); ++i) {
        const Control& c = shown[i];
        SCOPED_TRACE("control " + std::to_string(c.id) + " '" + Narrow(TextOf(c.hwnd)) + "' at " + Show(c.rect));
        EXPECT_TRUE(Inside(c.rect, client)) << "outside the client area " << Show(client);
        for (size_t j = 0; j < i && !IsGroupBox(c); ++j) {
            RECT both;
            if (IsGroupBox(shown[j])) continue;
            EXPECT_FALSE(IntersectRect(&both, &c.rect, &shown[j].rect))
                << "overlaps " << shown[j].id << " at " << Show(shown[j].rect);
        }
        // Texts: the label, check box or button holds its whole text.
        const std::wstring text = TextOf(c.hwnd);
        if (text.empty() || !(IsTextStatic(c) || c.cls == L"Button")) continue;
        const SIZE extent = font.Extent(text);
        int room = c.rect.right - c.rect.left;
        if (IsCheckOrRadio(c)) room -= MulDiv(17, g_dpi, 96);  // the box and the gap after it
        else if (c.cls == L"Button") room -= 2 * MulDiv(4, g_dpi, 96);  // borders
        EXPECT_LE(extent.cx, room) << "text " << extent.cx << " pixels wide";
        EXPECT_LE(extent.cy, c.rect.bottom - c.rect.top) << "text " << extent.cy << " pixels high";
    }
    const RECT preview = ClientRectOf(main, GetDlgItem(main, kPreview));
    EXPECT_GE(2 * (preview.right - preview.left), client.right) << "preview " << Show(preview);
}

// Width to height of the picture of resolution item 0, 16:10, within a pixel.
void ExpectPictureAspect(const RECT& preview) {
    const int width = preview.right - preview.left, height = preview.bottom - preview.top;
    EXPECT_LE(std::abs(height * 16 - width * 10), 16) << "preview " << Show(preview);
}

std::map<HWND, RECT> RectsOf(HWND main) {
    std::map<HWND, RECT> out;
    for (const Control& c : Controls(main)) out[c.hwnd] = c.rect;
    return out;
}

// The layout follows a size change on the program's own thread: the rects
// are looked at once they have settled, or the deadline passed.
void ExpectRects(HWND main, const std::map<HWND, RECT>& want) {
    WaitFor([&] {
        for (const auto& [hwnd, rect] : RectsOf(main))
            if (!want.contains(hwnd) || !Same(rect, want.at(hwnd))) return false;
        return true;
    });
    for (const Control& c : Controls(main))
        EXPECT_TRUE(Same(c.rect, want.at(c.hwnd))) << "control " << c.id << " at " << Show(c.rect) << ", was at "
                                                   << Show(want.at(c.hwnd));
}

// Resized at the work area's top-left corner, where the larger size fits.
bool Resize(HWND main, int width, int height) {
    const RECT work = WorkAreaOf(main);
    SetWindowPos(main, nullptr, work.left, work.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return WaitFor([&] {
        RECT now{};
        GetWindowRect(main, &now);
        return now.right - now.left == width && now.bottom - now.top == height;
    });
}

TEST(Screen, WindowFitsAndLaysItselfOut) {
    // The scale for the program: Wine reads it when a program starts.
    HKEY desktop = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &desktop, nullptr),
              ERROR_SUCCESS);
    const DWORD dpi = static_cast<DWORD>(g_dpi);
    RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(desktop);

    Program program;
    ASSERT_TRUE(program.started());
    const HWND main = program.WaitForMain();
    ASSERT_NE(main, nullptr) << "the main window did not show";

    // The program runs at the asked scale: its frame is the one of that scale.
    RECT window{}, client = Client(main);
    GetWindowRect(main, &window);
    using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjust = reinterpret_cast<AdjustFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    ASSERT_NE(adjust, nullptr);
    RECT frame{0, 0, 0, 0};
    adjust(&frame, static_cast<DWORD>(GetWindowLongW(main, GWL_STYLE)), TRUE,
           static_cast<DWORD>(GetWindowLongW(main, GWL_EXSTYLE)), dpi);
    EXPECT_EQ((window.bottom - window.top) - client.bottom, frame.bottom - frame.top);

    const RECT start = ClientRectOf(main, GetDlgItem(main, kStart));
    const DialogFont font({start.right - start.left, start.bottom - start.top});
    ASSERT_TRUE(font.found()) << "no font of the dialog's face gives Start Camera " << Show(start);
    std::printf("work area %s, dpi %d: window %s, client %ldx%ld, font %d pixels (%.1f pt at this scale)\n",
                Show(WorkAreaOf(main)).c_str(), g_dpi, Show(window).c_str(), client.right, client.bottom,
                font.pixels(), font.pixels() * 72.0 / g_dpi);
    // Not below 8 points where the work area is 768 pixels high or more at 100 %.
    const RECT work = WorkAreaOf(main);
    if ((work.bottom - work.top) * 96 >= 768 * g_dpi) {
        EXPECT_GE(font.pixels(), MulDiv(8, g_dpi, 72));
    }

    {
        SCOPED_TRACE("idle");
        ExpectWhole(main, font);
    }

    // The picture running, the status box shown.
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(kStart, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main, kStart)));
    ASSERT_TRUE(WaitFor([&] { return TextOf(GetDlgItem(main, kStart)) == L"Stop Camera"; }));
    PostMessageW(GetDlgItem(main, kShowStatus), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(GetDlgItem(main, kStatus)) != FALSE; }));
    {
        SCOPED_TRACE("running");
        ExpectWhole(main, font);
        ExpectPictureAspect(ClientRectOf(main, GetDlgItem(main, kPreview)));
    }
    if (!g_resize) return;

    GetWindowRect(main, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    const std::map<HWND, RECT> first = RectsOf(main);
    const RECT firstPreview = first.at(GetDlgItem(main, kPreview));
    const RECT firstStatus = first.at(GetDlgItem(main, kStatus));
    {
        SCOPED_TRACE("1.5 times the first size");
        ASSERT_TRUE(Resize(main, width * 3 / 2, height * 3 / 2));
        WaitFor([&] {
            return ClientRectOf(main, GetDlgItem(main, kStatus)).right > firstStatus.right &&
                   ClientRectOf(main, GetDlgItem(main, kPreview)).right > firstPreview.right;
        });
        const RECT preview = ClientRectOf(main, GetDlgItem(main, kPreview));
        const RECT status = ClientRectOf(main, GetDlgItem(main, kStatus));
        EXPECT_GT(preview.right - preview.left, firstPreview.right - firstPreview.left);
        EXPECT_GT(preview.bottom - preview.top, firstPreview.bottom - firstPreview.top);
        ExpectPictureAspect(preview);
        EXPECT_EQ(status.right - status.left - (firstStatus.right - firstStatus.left), width * 3 / 2 - width);
        EXPECT_EQ(status.left, firstStatus.left);
        ExpectWhole(main, font);
    }
    {
        SCOPED_TRACE("back to the first size");
        ASSERT_TRUE(Resize(main, width, height));
        ExpectRects(main, first);
    }
    {
        SCOPED_TRACE("maximised, then restored");
        // The caption's maximise button, which sends this command.
        EXPECT_TRUE(GetWindowLongW(main, GWL_STYLE) & WS_MAXIMIZEBOX);
        PostMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_TRUE(WaitFor([&] { return IsZoomed(main) != FALSE; }));
        ASSERT_TRUE(WaitFor([&] { return ClientRectOf(main, GetDlgItem(main, kPreview)).right > firstPreview.right; }));
        const RECT preview = ClientRectOf(main, GetDlgItem(main, kPreview));
        EXPECT_GT(preview.right - preview.left, firstPreview.right - firstPreview.left);
        ExpectPictureAspect(preview);
        PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsZoomed(main); }));
        ASSERT_TRUE(WaitFor([&] {
            RECT now{};
            GetWindowRect(main, &now);
            return now.right - now.left == width && now.bottom - now.top == height;
        }));
        ExpectRects(main, first);
    }
    {
        SCOPED_TRACE("the least size");
        SetWindowPos(main, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitFor([&] {
            RECT now{};
            GetWindowRect(main, &now);
            return now.right - now.left < width;
        }));
        const RECT preview = ClientRectOf(main, GetDlgItem(main, kPreview));
        EXPECT_GE(preview.right - preview.left, MulDiv(320, g_dpi, 96));
        const RECT client = Client(main);
        for (const Control& c : Controls(main)) {
            if (!IsWindowVisible(c.hwnd)) continue;
            EXPECT_TRUE(Inside(c.rect, client)) << "control " << c.id << " at " << Show(c.rect);
        }
        ASSERT_TRUE(Resize(main, width, height));
        ExpectRects(main, first);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dpi") == 0 && i + 1 < argc) g_dpi = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--resize") == 0) g_resize = true;
    }
    if (g_dpi < 72 || g_dpi > 480) {
        std::fprintf(stderr, "usage: window_screens_check --dpi N [--resize]\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
