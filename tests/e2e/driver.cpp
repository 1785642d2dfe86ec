// Drives the shipped Vorn_Controls.exe from outside its process, as a user
// would: starts it with a scenario for the simulated camera, finds its
// windows by title, reads their texts, presses buttons and checks how the
// program ends. Every wait is bounded.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
constexpr auto kWindowTimeout = 30s;
constexpr auto kExitTimeout = 30s;

std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.rfind(L'\\'));
}

std::wstring WindowText(HWND hwnd) {
    wchar_t text[512] = {};
    // WM_GETTEXT rather than GetWindowText: the latter does not ask a window
    // of another process for its text.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

struct FindArgs {
    DWORD pid;
    std::wstring title;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lp) {
    auto* args = reinterpret_cast<FindArgs*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == args->pid && IsWindowVisible(hwnd) && WindowText(hwnd) == args->title) {
        args->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process with exactly this title.
HWND FindProcessWindow(DWORD pid, const std::wstring& title) {
    FindArgs args{pid, title, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

// A running Vorn_Controls.exe; killed if a test leaves it running.
class Program {
public:
    // scenario: the text of a simulator scenario file, or none for the
    // simulator's built-in camera.
    explicit Program(const std::optional<std::string>& scenario) {
        std::wstring bin = BinFolder();
        if (scenario) {
            wchar_t tmp[MAX_PATH] = {};
            GetTempPathW(MAX_PATH, tmp);
            scenarioPath_ = std::wstring(tmp) + L"vorn_e2e_" + std::to_wstring(GetCurrentProcessId()) + L".ini";
            std::ofstream(scenarioPath_.c_str(), std::ios::binary) << *scenario;
            SetEnvironmentVariableW(L"SONIXCAM_SIM", scenarioPath_.c_str());
        } else {
            SetEnvironmentVariableW(L"SONIXCAM_SIM", nullptr);
        }
        std::wstring exe = bin + L"\\Vorn_Controls.exe";
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        started_ = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, bin.c_str(), &si,
                                  &pi_) != 0;
        SetEnvironmentVariableW(L"SONIXCAM_SIM", nullptr);
    }
    ~Program() {
        if (started_) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
            CloseHandle(pi_.hThread);
            CloseHandle(pi_.hProcess);
        }
        if (!scenarioPath_.empty()) DeleteFileW(scenarioPath_.c_str());
    }

    bool started() const { return started_; }
    DWORD pid() const { return pi_.dwProcessId; }

    HWND WaitForWindow(const std::wstring& title, std::chrono::milliseconds timeout = kWindowTimeout) const {
        auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            if (HWND w = FindProcessWindow(pi_.dwProcessId, title)) return w;
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0) return nullptr;
            std::this_thread::sleep_for(50ms);
        }
        return nullptr;
    }

    // The exit code, or none if the program still runs after the timeout.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = kExitTimeout) const {
        if (WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
            return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION pi_ = {};
    std::wstring scenarioPath_;
};

// What a click on the button produces for its dialog.
void PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// The message text of a message box: its static text control.
std::wstring MessageBoxText(HWND box) {
    std::wstring result;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") == 0) {
            std::wstring text = WindowText(child);
            if (!text.empty()) result = text;
        }
    }
    return result;
}

TEST(EndToEnd, DefaultCameraShowsMainWindowAndExitEndsWithZero) {
    Program program(std::nullopt);
    ASSERT_TRUE(program.started());
    HWND main = program.WaitForWindow(L"Vorn Camera Control Tool");
    ASSERT_NE(main, nullptr) << "the main window did not appear";
    EXPECT_NE(GetDlgItem(main, 1), nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(main, 1)), L"Start Camera");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, 2)));
    EXPECT_EQ(FindProcessWindow(program.pid(), L"ERROR"), nullptr);

    PressButton(main, 2);
    std::optional<DWORD> code = program.WaitForExit();
    ASSERT_TRUE(code.has_value()) << "the program did not end after Exit";
    EXPECT_EQ(*code, 0u);
}

TEST(EndToEnd, NoCameraShowsOnlyTheErrorBoxAndEndsAfterOk) {
    // A scenario without any camera section: nothing to enumerate.
    Program program(std::string("[sim]\nfps = 30\n"));
    ASSERT_TRUE(program.started());
    HWND box = program.WaitForWindow(L"ERROR");
    ASSERT_NE(box, nullptr) << "no ERROR box appeared";
    EXPECT_EQ(MessageBoxText(box), L"Can't find a valid Vorn camera!");
    EXPECT_EQ(FindProcessWindow(program.pid(), L"Vorn Camera Control Tool"), nullptr)
        << "the main window showed although start-up failed";

    PressButton(box, IDOK);
    std::optional<DWORD> code = program.WaitForExit();
    ASSERT_TRUE(code.has_value()) << "the program did not end after OK";
    EXPECT_EQ(*code, 0u);
}

// The whole text of a window of another process, however long.
std::wstring LongWindowText(HWND hwnd) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    text.resize(copied);
    return text;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = kWindowTimeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

TEST(EndToEnd, ShowStatusInformationRevealsTheStartupReadOut) {
    constexpr int kStatus = 1024;
    constexpr int kShowStatus = 1047;
    Program program(std::nullopt);
    ASSERT_TRUE(program.started());
    HWND main = program.WaitForWindow(L"Vorn Camera Control Tool");
    ASSERT_NE(main, nullptr) << "the main window did not appear";
    HWND status = GetDlgItem(main, kStatus);
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(IsWindowVisible(status));

    // A click on the check box, as the user's mouse gives it.
    PostMessageW(GetDlgItem(main, kShowStatus), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(status) != FALSE; })) << "the status box stayed hidden";

    const std::wstring text = LongWindowText(status);
    const wchar_t* lines[] = {
        L"No. 0: resolution = 1280 * 800\r\n",   L"Brightness range: -64 - 64\r\n",
        L"AEC Target range: 0 - 255\r\n",        L"Manual Exposure range: -13 - -1\r\n",
        L"Color Gain Red range: 128 - 511\r\n",  L"Current Brightness value is 0\r\n",
        L"Current Gamma value is 100\r\n",       L"Current Color Gain Blue value is 420\r\n",
        L"Current Manual Exposure value = -6\r\n", L" AEC Mode is ON\r\n",
        L"AWB Mode is ON\r\n",
    };
    size_t at = 0;
    for (const wchar_t* line : lines) {
        size_t found = text.find(line, at);
        EXPECT_NE(found, std::wstring::npos) << "missing or out of order: " << std::string(line, line + wcslen(line));
        if (found != std::wstring::npos) at = found;
    }

    PressButton(main, 2);
    std::optional<DWORD> code = program.WaitForExit();
    ASSERT_TRUE(code.has_value()) << "the program did not end after Exit";
    EXPECT_EQ(*code, 0u);
}

}  // namespace
