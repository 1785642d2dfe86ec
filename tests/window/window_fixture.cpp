#include "window_fixture.h"

#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "ui/dialog.h"

namespace vorn::test {

namespace {

std::wstring FreshFolder() {
    static std::atomic<int> counter{0};
    wchar_t tmp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tmp);
    std::wstring folder = std::wstring(tmp) + L"vorn_window_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                          std::to_wstring(counter++);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::optional<std::wstring> Environment(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    const DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n == 0 || n >= value.size()) return std::nullopt;
    value.resize(n);
    return value;
}

struct CommonControls {
    CommonControls() {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
    }
};

}  // namespace

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

void MainWindowTest::SetUp() {
    static CommonControls controls;
    folder_ = FreshFolder();
    savedAppData_ = Environment(L"APPDATA");
    SetEnvironmentVariableW(L"APPDATA", (folder_ + L"\\AppData").c_str());
    prompts_.Clear();
    scoped_ = std::make_unique<ui::ScopedPrompts>(prompts_);
    ASSERT_EQ(SonixSim_ResetDefault(), 0);
}

void MainWindowTest::TearDown() {
    if (dlg_) {
        dlg_->Destroy();
        Pump();
        dlg_.reset();
    }
    // Leave the library as the next test expects to find it: not initialised.
    SonixSim_ResetDefault();
    scoped_.reset();
    SetEnvironmentVariableW(L"APPDATA", savedAppData_ ? savedAppData_->c_str() : nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void MainWindowTest::LoadScenario(const std::string& text) {
    ASSERT_EQ(SonixSim_LoadScenarioText(text.c_str()), 0) << "scenario refused: " << [] {
        char buf[512] = {};
        SonixSim_LastError(buf, sizeof buf);
        return std::string(buf);
    }();
}

void MainWindowTest::WriteSettings(const std::string& text, bool inConfigFolder) {
    std::filesystem::path dir(folder_);
    if (inConfigFolder) dir /= L"config";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / L"vorn_settings.cfg", std::ios::binary) << text;
}

bool MainWindowTest::Start() {
    dlg_ = std::make_unique<TestMainDialog>(folder_);
    if (!dlg_->Create(nullptr)) {
        ADD_FAILURE() << "the main window could not be created";
        return false;
    }
    Pump();
    return !dlg_->EndResult().has_value();
}

std::optional<INT_PTR> MainWindowTest::Result() const {
    if (!dlg_) return std::nullopt;
    return dlg_->EndResult();
}

void MainWindowTest::Pump(std::chrono::milliseconds forAtLeast) {
    auto end = std::chrono::steady_clock::now() + forAtLeast;
    do {
        ui::PumpMessages();
        if (std::chrono::steady_clock::now() >= end) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (true);
}

bool MainWindowTest::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        ui::PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void MainWindowTest::Click(int id) {
    SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    Pump();
}

void MainWindowTest::Command(int id) {
    SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

void MainWindowTest::SysCommand(UINT id) {
    SendMessageW(Hwnd(), WM_SYSCOMMAND, id, 0);
    Pump();
}

void MainWindowTest::Key(UINT virtualKey) {
    // Posted to the focused control (or the window), so the dialog manager
    // sees it in the message loop as it would a real key press.
    HWND target = GetFocus();
    if (!target || (target != Hwnd() && !IsChild(Hwnd(), target))) target = Hwnd();
    UINT scan = MapVirtualKeyW(virtualKey, 0);
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
    Pump();
}

bool MainWindowTest::Visible(int id) const {
    return (GetWindowLongW(Item(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring MainWindowTest::Text(int id) const {
    wchar_t buf[1024] = {};
    GetWindowTextW(Item(id), buf, 1024);
    return buf;
}

UINT MainWindowTest::MenuState(UINT command) const {
    return GetMenuState(GetMenu(Hwnd()), command, MF_BYCOMMAND);
}

std::vector<std::wstring> MainWindowTest::ComboItems(int id) const {
    std::vector<std::wstring> items;
    int n = static_cast<int>(SendMessageW(Item(id), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        wchar_t buf[64] = {};
        SendMessageW(Item(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        items.emplace_back(buf);
    }
    return items;
}

std::vector<std::string> MainWindowTest::Trace() {
    int length = SonixSim_GetTrace(nullptr, 0);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SonixSim_GetTrace(text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

void MainWindowTest::ClearTrace() { SonixSim_ClearTrace(); }

bool MainWindowTest::TraceHas(const std::string& fragment) { return TraceIndex(fragment) >= 0; }

int MainWindowTest::TraceCount(const std::string& fragment) {
    int n = 0;
    for (const std::string& line : Trace())
        if (line.find(fragment) != std::string::npos) ++n;
    return n;
}

int MainWindowTest::TraceIndex(const std::string& fragment, int from) {
    std::vector<std::string> lines = Trace();
    for (int i = from < 0 ? 0 : from; i < static_cast<int>(lines.size()); ++i)
        if (lines[i].find(fragment) != std::string::npos) return i;
    return -1;
}

}  // namespace vorn::test
