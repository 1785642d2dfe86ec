// vorn_windriver: drives a Windows program from outside its process, one
// step per line of a script, as a user's mouse and keyboard would. The
// screenshots and the package tests use it under Wine.
//
//   vorn_windriver.exe SCRIPT
//
// Steps (a '#' line is a comment; ids are control ids of the current window):
//   scale DPI              the scale (dots per inch) programs started after this
//                          step get; Wine reads it when a program starts
//   run CMDLINE            start the program (working folder: its own)
//   run-console CMDLINE    the same in a console window of its own
//   window TITLE           wait for its visible top-level window TITLE; make it current
//   next-window TITLE      the same for a window TITLE other than the current one
//   wait-window TITLE      wait for window TITLE, the current one stays (for pictures
//                          of a box over the window)
//   console-window TITLE   wait for a console window TITLE (the console host owns
//                          it, not the program); make it current
//   click ID               a click on push button ID
//   check ID               a click on check box or radio button ID
//   menu ID                choose menu command ID
//   open-menu INDEX [N]    open the INDEX-th menu of the menu bar (0: the first) as the
//                          keyboard does, move N items down, and leave it open (for
//                          pictures of a menu)
//   type ID TEXT           replace the text of edit ID
//   slide ID POS           drag slider ID to POS
//   select ID INDEX        choose item INDEX of combo box ID
//   drop ID                open the list of combo box ID
//   size WIDTH HEIGHT      resize the current window, centred in its work area
//   wait-text ID TEXT      wait until the text of ID is TEXT
//   wait-contains ID TEXT  wait until the text of ID contains TEXT
//   wait-visible ID        wait until ID is visible
//   wait-enabled ID        wait until ID is enabled
//   wait-progress ID PCT   wait until progress bar ID is at PCT percent or beyond
//   wait-file PATTERN      wait until a non-empty file matches PATTERN (wildcards in its name)
//   wait-video ID          wait until ID shows a picture that changes twice (the
//                          frames before the last have been delivered)
//   wait-still             wait until the current window looks the same for a while
//   shot FILE.bmp          save the current window's area as the screen shows it
//   exit CODE              wait for the program to end with CODE
// Every wait ends after a deadline (VORN_DRIVER_TIMEOUT seconds, default 60);
// the first failing step ends the driver with 1 and the program is killed.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::seconds Timeout() {
    const char* env = std::getenv("VORN_DRIVER_TIMEOUT");
    int seconds = env ? std::atoi(env) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 60);
}

std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string Narrow(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// The text of a window of another process (GetWindowText does not ask it).
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        2000, &copied);
    text.resize(copied);
    return text;
}

struct FindArgs {
    DWORD pid;  // 0: any process
    std::wstring title;
    HWND other;  // a window that does not count
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lp) {
    auto* args = reinterpret_cast<FindArgs*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if ((args->pid == 0 || pid == args->pid) && hwnd != args->other && IsWindowVisible(hwnd) && TextOf(hwnd) == args->title) {
        args->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

class Driver {
public:
    ~Driver() {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }

    // Runs one step; false with a reason in error() when it failed.
    bool Step(const std::string& command, const std::string& rest) {
        std::istringstream in(rest);
        if (command == "scale") return Scale(std::atoi(rest.c_str()));
        if (command == "run") return Run(Widen(rest), 0);
        if (command == "run-console") return Run(Widen(rest), CREATE_NEW_CONSOLE);
        if (command == "console-window") return WaitWindow(Widen(rest), true, nullptr, true);
        if (command == "window") return WaitWindow(Widen(rest), true, nullptr, false);
        if (command == "next-window") return WaitWindow(Widen(rest), true, current_, false);
        if (command == "wait-window") return WaitWindow(Widen(rest), false, nullptr, false);
        if (command == "exit") return WaitExit(std::strtoul(rest.c_str(), nullptr, 10));
        if (command == "wait-file") return WaitFile(Widen(rest));
        if (!current_) return Fail("no current window (a 'window' step comes first)");
        if (command == "shot") return Shot(Widen(rest));
        if (command == "wait-still") return WaitStill([this] { return current_; }, "the window stops changing");

        int id = 0;
        in >> id;
        if (command == "size") {
            int height = 0;
            in >> height;
            return Size(id, height);
        }
        if (command == "menu") return PostMessageW(current_, WM_COMMAND, MAKEWPARAM(id, 0), 0) != 0;
        if (command == "open-menu") {
            // The menu loop that SC_KEYMENU starts takes the keys queued behind it.
            SetForegroundWindow(current_);
            bool posted = PostMessageW(current_, WM_SYSCOMMAND, SC_KEYMENU, 0) != 0;
            int down = 0;
            in >> down;
            for (int i = 0; i < id; ++i) posted = posted && PostMessageW(current_, WM_KEYDOWN, VK_RIGHT, 1) != 0;
            for (int i = 0; i <= down; ++i) posted = posted && PostMessageW(current_, WM_KEYDOWN, VK_DOWN, 1) != 0;
            if (!posted) return Fail("the menu keys were refused");
            // Then the drop-down menu, shown and painted.
            return WaitStill(
                [] {
                    HWND popup = FindWindowW(L"#32768", nullptr);
                    return popup && IsWindowVisible(popup) ? popup : nullptr;
                },
                "menu " + std::to_string(id) + " is open and painted");
        }
        std::string arg;
        std::getline(in >> std::ws, arg);
        HWND item = GetDlgItem(current_, id);
        if (!item) return Fail("no control " + std::to_string(id));
        if (command == "click") {
            PostMessageW(current_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
            return true;
        }
        if (command == "check") return PostMessageW(item, BM_CLICK, 0, 0) != 0;
        if (command == "type") {
            std::wstring text = Widen(arg);
            wchar_t cls[32] = {};
            GetClassNameW(item, cls, 32);
            if (lstrcmpiW(cls, L"Edit") == 0) {
                // The edit notifies its parent (EN_CHANGE) as it does for typing.
                SendMessageW(item, EM_SETSEL, 0, -1);
                SendMessageW(item, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
            } else {
                SendMessageW(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            }
            return true;
        }
        if (command == "slide") {
            int pos = std::atoi(arg.c_str());
            SendMessageW(item, TBM_SETPOS, TRUE, pos);
            SendMessageW(current_, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, static_cast<WORD>(pos)),
                         reinterpret_cast<LPARAM>(item));
            SendMessageW(current_, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(item));
            return true;
        }
        if (command == "select") {
            SendMessageW(item, CB_SETCURSEL, std::atoi(arg.c_str()), 0);
            PostMessageW(current_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item));
            return true;
        }
        if (command == "drop") return PostMessageW(item, CB_SHOWDROPDOWN, TRUE, 0) != 0;
        if (command == "wait-text") {
            std::wstring want = Widen(arg);
            return WaitFor([&] { return TextOf(item) == want; }, "text of " + std::to_string(id) + " is '" + arg + "'",
                           [&] { return "it is '" + Narrow(TextOf(item)) + "'"; });
        }
        if (command == "wait-contains") {
            std::wstring want = Widen(arg);
            return WaitFor([&] { return TextOf(item).find(want) != std::wstring::npos; },
                           "text of " + std::to_string(id) + " contains '" + arg + "'");
        }
        if (command == "wait-visible")
            return WaitFor([&] { return IsWindowVisible(item) != FALSE; }, std::to_string(id) + " is visible");
        if (command == "wait-enabled")
            return WaitFor([&] { return IsWindowEnabled(item) != FALSE; }, std::to_string(id) + " is enabled");
        if (command == "wait-progress") {
            const int want = std::atoi(arg.c_str());
            return WaitFor(
                [&] {
                    DWORD_PTR pos = 0, high = 0;
                    SendMessageTimeoutW(item, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &pos);
                    SendMessageTimeoutW(item, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 2000, &high);
                    return high > 0 && static_cast<int>(pos) * 100 >= want * static_cast<int>(high);
                },
                "progress of " + std::to_string(id) + " reaches " + arg + "%");
        }
        if (command == "wait-video") {
            // Two changes: the first may only finish a frame being painted.
            std::vector<uint32_t> last;
            int changes = 0;
            return WaitFor(
                [&] {
                    std::vector<uint32_t> now = Look(item);
                    if (last.empty()) {
                        if (SeveralColours(now)) last = now;
                    } else if (now != last) {
                        ++changes;
                        last = now;
                    }
                    return changes >= 2;
                },
                std::to_string(id) + " shows a moving picture");
        }
        return Fail("unknown step '" + command + "'");
    }

    const std::string& error() const { return error_; }

private:
    bool Fail(const std::string& why) {
        error_ = why;
        return false;
    }

    bool WaitFor(const std::function<bool()>& done, const std::string& what,
                 const std::function<std::string()>& detail = nullptr) {
        const auto end = Clock::now() + Timeout();
        while (!done()) {
            if (Clock::now() >= end) return Fail("timed out waiting until " + what + (detail ? ": " + detail() : ""));
            if (process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0)
                return Fail("the program ended while waiting until " + what);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }

    // Three looks 100 ms apart that agree: painting has ended. `window`
    // gives the window to look at, or nothing while there is none yet.
    bool WaitStill(const std::function<HWND()>& window, const std::string& what) {
        std::vector<uint32_t> last;
        int same = 0;
        return WaitFor(
            [&] {
                const HWND hwnd = window();
                if (!hwnd) return false;
                std::vector<uint32_t> now = Look(hwnd);
                same = (!last.empty() && now == last) ? same + 1 : 0;
                last = std::move(now);
                if (same >= 2) return true;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                return false;
            },
            what);
    }

    bool Scale(int dpi) {
        if (dpi < 72 || dpi > 480) return Fail("a scale of 72 to 480 dots per inch");
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return Fail("cannot open the desktop settings");
        const DWORD value = static_cast<DWORD>(dpi);
        const LONG written =
            RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
        return written == ERROR_SUCCESS || Fail("cannot set the scale");
    }

    // The program lays itself out on its own thread: done when the size holds.
    bool Size(int width, int height) {
        if (width <= 0 || height <= 0) return Fail("a width and a height");
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(current_, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        SetWindowPos(current_, nullptr, work.left + (work.right - work.left - width) / 2,
                     work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        return WaitFor(
            [&] {
                RECT r;
                GetWindowRect(current_, &r);
                return r.right - r.left == width && r.bottom - r.top == height;
            },
            "the window is " + std::to_string(width) + "x" + std::to_string(height));
    }

    bool Run(std::wstring commandLine, DWORD flags) {
        if (process_.hProcess) return Fail("a program already runs");
        std::wstring exe = commandLine;
        if (!exe.empty() && exe[0] == L'"') {
            size_t close = exe.find(L'"', 1);
            exe = exe.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        } else {
            exe = exe.substr(0, exe.find(L' '));
        }
        std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, folder.c_str(),
                            &si, &process_))
            return Fail("could not start " + Narrow(exe) + " (error " + std::to_string(GetLastError()) + ")");
        return true;
    }

    bool WaitWindow(const std::wstring& title, bool makeCurrent, HWND other, bool anyProcess) {
        if (!process_.hProcess) return Fail("no program runs");
        FindArgs args{anyProcess ? 0 : process_.dwProcessId, title, other, nullptr};
        bool found = WaitFor(
            [&] {
                EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&args));
                return args.found != nullptr;
            },
            "window '" + Narrow(title) + "' shows");
        if (found && makeCurrent) current_ = args.found;
        return found;
    }

    bool WaitExit(DWORD expected) {
        if (!process_.hProcess) return Fail("no program runs");
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Timeout()).count();
        if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(ms)) != WAIT_OBJECT_0)
            return Fail("the program did not end");
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        if (code != expected) return Fail("the program ended with " + std::to_string(code));
        return true;
    }

    bool WaitFile(const std::wstring& pattern) {
        return WaitFor(
            [&] {
                WIN32_FIND_DATAW data;
                HANDLE find = FindFirstFileW(pattern.c_str(), &data);
                if (find == INVALID_HANDLE_VALUE) return false;
                bool any = false;
                do {
                    any = any || (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.nFileSizeLow > 0);
                } while (!any && FindNextFileW(find, &data));
                FindClose(find);
                return any;
            },
            "a file matches " + Narrow(pattern));
    }

    // The pixels of a window's rectangle as the screen shows them, 32 bits
    // per pixel, top row first.
    static std::vector<uint32_t> Grab(HWND hwnd, int& width, int& height) {
        RECT r;
        GetWindowRect(hwnd, &r);
        width = r.right - r.left;
        height = r.bottom - r.top;
        std::vector<uint32_t> pixels;
        if (width <= 0 || height <= 0) return pixels;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        SelectObject(memory, old);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        pixels.resize(static_cast<size_t>(width) * height);
        GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return pixels;
    }

    static std::vector<uint32_t> Look(HWND hwnd) {
        int width = 0, height = 0;
        return Grab(hwnd, width, height);
    }

    static bool SeveralColours(const std::vector<uint32_t>& pixels) {
        for (uint32_t p : pixels)
            if ((p & 0xFFFFFF) != (pixels[0] & 0xFFFFFF)) return true;
        return false;
    }

    bool Shot(const std::wstring& path) {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels = Grab(current_, width, height);
        if (pixels.empty()) return Fail("the window has no area");
        BITMAPINFOHEADER header = {};
        header.biSize = sizeof header;
        header.biWidth = width;
        header.biHeight = -height;
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        const DWORD bytes = static_cast<DWORD>(pixels.size() * sizeof(uint32_t));
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + bytes;
        std::ofstream out(path.c_str(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&header), sizeof header);
        out.write(reinterpret_cast<const char*>(pixels.data()), bytes);
        if (!out) return Fail("could not write " + Narrow(path));
        return true;
    }

    PROCESS_INFORMATION process_ = {};
    HWND current_ = nullptr;
    std::string error_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorn_windriver SCRIPT\n");
        return 2;
    }
    std::ifstream script(argv[1]);
    if (!script) {
        std::fprintf(stderr, "vorn_windriver: cannot read %s\n", Narrow(argv[1]).c_str());
        return 2;
    }
    Driver driver;
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        line = line.substr(start);
        size_t space = line.find(' ');
        std::string command = line.substr(0, space);
        size_t restStart = space == std::string::npos ? space : line.find_first_not_of(' ', space);
        std::string rest = restStart == std::string::npos ? "" : line.substr(restStart);
        if (!driver.Step(command, rest)) {
            std::fprintf(stderr, "vorn_windriver: line %d (%s): %s\n", number, line.c_str(), driver.error().c_str());
            return 1;
        }
    }
    return 0;
}
