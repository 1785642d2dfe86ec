// Help > About and the system menu's short About box.
#include <gmock/gmock.h>

#include "window_fixture.h"

namespace vorn::test {
namespace {

class AboutTest : public MainWindowTest {};

std::wstring StaticText(HWND dialog, int id) {
    wchar_t buf[256] = {};
    GetWindowTextW(GetDlgItem(dialog, id), buf, 256);
    return buf;
}

TEST_F(AboutTest, HelpAboutShowsVersionProductIdsAndFirmware) {
    LoadScenario(
        "[camera]\nproduct = Vorn UC-20 Camera\nfirmware = Vorn-Corvanith-211015K-1.3\n"
        "vid_pid = 0a 0b c0 ff 77 88\n");
    ASSERT_TRUE(Start());
    HWND about = Dlg().m_aboutDlg.hwnd();
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsWindowVisible(about));

    Command(ID_HELP_ABOUT);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(StaticText(about, IDC_ABOUT_VERSION), L"v1.0.0");
    EXPECT_EQ(StaticText(about, IDC_ABOUT_PRODUCT), L"Vorn UC-20 Camera");
    // Two lower-case digits per byte, the first four bytes only.
    EXPECT_EQ(StaticText(about, IDC_ABOUT_VIDPID), L"0a0bc0ff");
    EXPECT_EQ(StaticText(about, IDC_ABOUT_FIRMWARE), L"Vorn-Corvanith-211015K-1.3");
    EXPECT_TRUE(Prompts().Messages().empty());
    // Modeless: the main window goes on.
    EXPECT_FALSE(Result().has_value());
}

TEST_F(AboutTest, EachAboutRereadsTheFirmwareIntoTheSameBox) {
    LoadScenario("[camera]\nfirmware = Vorn-Corvanith-211015K-1.3\n");
    ASSERT_TRUE(Start());
    HWND about = Dlg().m_aboutDlg.hwnd();
    ClearTrace();
    Command(ID_HELP_ABOUT);
    Command(ID_HELP_ABOUT);
    EXPECT_EQ(TraceCount("SonixCam_GetFwVersion("), 2);
    EXPECT_EQ(TraceCount("SonixCam_SelectDevice(0)"), 2);
    EXPECT_EQ(Dlg().m_aboutDlg.hwnd(), about);

    // Closing hides it; the next About shows the same box again.
    SendMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(about));
    Command(ID_HELP_ABOUT);
    EXPECT_TRUE(IsWindowVisible(about));
}

TEST_F(AboutTest, FirmwareTextFillingTheWholeBufferIsShownWhole) {
    // 59 characters and the terminating zero: exactly the 60 bytes read.
    const std::string text = "Vorn-Corvanith-211015K-" + std::string(36, 'x');
    ASSERT_EQ(text.size(), 59u);
    LoadScenario("[camera]\nfirmware = " + text + "\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Dlg().m_aboutDlg.m_firmwareText, Widen(text));
    EXPECT_TRUE(Dlg().m_rotateSupported);
    Command(ID_HELP_ABOUT);
    EXPECT_EQ(StaticText(Dlg().m_aboutDlg.hwnd(), IDC_ABOUT_FIRMWARE), Widen(text));
}

struct AboutFailure {
    const char* name;
    const char* faults;
    const wchar_t* box;
};

TEST_F(AboutTest, AboutFailuresEndTheToolWithMinusOne) {
    const AboutFailure cases[] = {
        // Scan and start-up select twice; the third selection is About's.
        {"select", "SonixCam_SelectDevice = 3\n", L"Can't select video device!"},
        // Start-up reads the firmware once; the second read is About's.
        {"firmware", "SonixCam_GetFwVersion = 2\n", L"Failed to get camera FW version info"},
    };
    for (const AboutFailure& c : cases) {
        SCOPED_TRACE(c.name);
        LoadScenario(std::string("[camera]\n[faults]\n") + c.faults);
        ASSERT_TRUE(Start());
        Command(ID_HELP_ABOUT);
        EXPECT_EQ(Result(), std::optional<INT_PTR>(-1));
        auto boxes = Prompts().Messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.box);
        EXPECT_EQ(boxes[0].caption, L"ERROR");
        EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK));
        EXPECT_FALSE(IsWindowVisible(Dlg().m_aboutDlg.hwnd()));
        TearDown();
        SetUp();
    }
}

TEST_F(AboutTest, SelectFailureDoesNotReadTheFirmware) {
    LoadScenario("[camera]\n[faults]\nSonixCam_SelectDevice = 3\n");
    ASSERT_TRUE(Start());
    ClearTrace();
    Command(ID_HELP_ABOUT);
    EXPECT_FALSE(TraceHas("SonixCam_GetFwVersion"));
}

// The system menu's box is modal: a timer inside its loop reads it and
// presses OK, as a user would.
struct SeenBox {
    bool found = false;
    std::wstring caption;
    std::vector<std::wstring> lines;
};
SeenBox g_seen;
HWND g_owner = nullptr;

BOOL CALLBACK CollectStatics(HWND child, LPARAM) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    wchar_t text[128] = {};
    GetWindowTextW(child, text, 128);
    if (lstrcmpiW(cls, L"Static") == 0 && text[0]) g_seen.lines.push_back(text);
    return TRUE;
}

void CALLBACK CloseShortAbout(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = GetLastActivePopup(g_owner);
    wchar_t caption[64] = {};
    if (box && box != g_owner) GetWindowTextW(box, caption, 64);
    if (box == g_owner || !caption[0]) {
        // Not up yet; the timer fires again.
        return;
    }
    KillTimer(nullptr, id);
    g_seen.found = true;
    g_seen.caption = caption;
    EnumChildWindows(box, CollectStatics, 0);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void CALLBACK GiveUpOnShortAbout(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND box = GetLastActivePopup(g_owner);
    if (box && box != g_owner) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
}

TEST_F(AboutTest, SystemMenuAboutShowsTheShortBoxModally) {
    LoadScenario("[camera]\n");
    ASSERT_TRUE(Start());
    ::ShowWindow(Hwnd(), SW_SHOW);
    g_seen = {};
    g_owner = Hwnd();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseShortAbout);
    // A safety net so that a box nobody recognises cannot hang the test.
    UINT_PTR guard = SetTimer(nullptr, 0, 10000, GiveUpOnShortAbout);
    SysCommand(IDM_ABOUTBOX);
    KillTimer(nullptr, timer);
    KillTimer(nullptr, guard);
    ASSERT_TRUE(g_seen.found);
    EXPECT_EQ(g_seen.caption, L"About Vorn_Controls");
    EXPECT_THAT(g_seen.lines, testing::Contains(std::wstring(L"Vorn Controls, Version 1.0")));
    // Nothing is read from the camera, and the main window lives on.
    EXPECT_FALSE(Result().has_value());
    EXPECT_TRUE(Prompts().Messages().empty());
}

}  // namespace
}  // namespace vorn::test
