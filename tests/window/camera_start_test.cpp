// Camera start and stop of the main window against the simulated camera:
// the state after each press, the resolution and preview size, failed
// starts, and which camera the device combo box chooses.
#include "camera_test_support.h"

namespace vorn::test {
namespace {

class CameraStartTest : public CameraWindowTest {};

TEST_F(CameraStartTest, StartAndStopTwiceAtTwoResolutions) {
    LoadScenario(kCameraScenario);
    ASSERT_TRUE(Start());
    ExpectRunning(false, false);
    const POINT corner = PreviewCorner();

    struct Round {
        int resolution;
        const char* format;
        int previewHeight;
    } rounds[] = {{4, "SonixCam_SetVideoFormat(0, 4) = 0", 600}, {1, "SonixCam_SetVideoFormat(0, 1) = 0", 450}};
    for (const Round& r : rounds) {
        SCOPED_TRACE(r.resolution);
        SendMessageW(Item(IDC_RESOLUTION), CB_SETCURSEL, r.resolution, 0);
        ClearTrace();
        const size_t before = Dlg().m_statusText.size();

        Click(IDC_START_CAMERA);
        ExpectRunning(true, true);
        const std::wstring added = Dlg().m_statusText.substr(before);
        EXPECT_EQ(added.rfind(L"Open camera success!\r\n", 0), 0u) << std::string(added.begin(), added.end());
        EXPECT_TRUE(added.ends_with(L"Start capturing images!\r\n"));
        // The value read-out comes between the two lines.
        EXPECT_NE(added.find(L"\r\nCurrent Brightness value is "), std::wstring::npos);
        // The status box shows the same text.
        EXPECT_EQ(ui::WindowText(Item(IDC_STATUS)), Dlg().m_statusText);
        // Closed first, reopened with the preview window and frame function.
        EXPECT_LT(TraceIndex("SonixCam_CloseCamera"), TraceIndex("SonixCam_OpenCamera(hwnd, 0, fn) = 0"));
        EXPECT_LT(TraceIndex("SonixCam_OpenCamera(hwnd, 0, fn)"), TraceIndex(r.format));
        EXPECT_LT(TraceIndex(r.format), TraceIndex("SonixCam_StartPreview"));
        RECT preview = PreviewRect();
        EXPECT_EQ(preview.right - preview.left, 800);
        EXPECT_EQ(preview.bottom - preview.top, r.previewHeight);
        EXPECT_EQ(preview.left, corner.x);
        EXPECT_EQ(preview.top, corner.y);
        ASSERT_TRUE(WaitForFrame());

        const size_t running = Dlg().m_statusText.size();
        Click(IDC_START_CAMERA);
        ExpectRunning(false, false);
        EXPECT_EQ(Dlg().m_statusText.size(), running) << "the stop press adds nothing";
        EXPECT_TRUE(TraceHas("SonixCam_StopPreview"));
        EXPECT_EQ(TraceCount("SonixCam_StartPreview"), 1);
    }
    EXPECT_TRUE(Prompts().Messages().empty());
}

TEST_F(CameraStartTest, EnterPressesStartAndStop) {
    LoadScenario(kCameraScenario);
    ASSERT_TRUE(Start());
    SetFocus(Item(IDC_RESOLUTION));
    Key(VK_RETURN);
    EXPECT_EQ(CaptionOfStart(), L"Stop Camera");
    Key(VK_RETURN);
    EXPECT_EQ(CaptionOfStart(), L"Start Camera");
    EXPECT_FALSE(Result().has_value());
}

// A failed open or preview start: the status line, the controls enabled but
// the caption still "Start Camera" and the camera closed; the next press
// only returns to idle, and the one after tries again.
TEST_F(CameraStartTest, AFailedStartLeavesTheStartFailedStateAndTheNextPressIdles) {
    struct Case {
        const char* name;
        const char* fault;
        const wchar_t* line;
    } cases[] = {
        // The first open is start-up's, without preview.
        {"open", "SonixCam_OpenCamera = 2\n", L"Open camera failed!\r\n"},
        {"preview", "SonixCam_StartPreview = 1\n", L"Fail to capture the image!\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadScenario(std::string(kCameraScenario) + "[faults]\n" + c.fault);
        ASSERT_TRUE(Start());
        const size_t before = Dlg().m_statusText.size();
        Click(IDC_START_CAMERA);
        EXPECT_NE(Dlg().m_statusText.find(c.line, before), std::wstring::npos);
        EXPECT_EQ(Dlg().m_statusText.find(L"Start capturing images!", before), std::wstring::npos);
        EXPECT_EQ(CaptionOfStart(), L"Start Camera");
        EXPECT_TRUE(Dlg().m_controlsEnabled);
        EXPECT_TRUE(Enabled(IDC_SNAPSHOT_SAVE));
        EXPECT_FALSE(Enabled(IDC_RESOLUTION));
        EXPECT_FALSE(Enabled(IDC_DEVICE));
        EXPECT_TRUE(MenuGrayed(ID_FILE_SAVE_CONFIG));
        EXPECT_FALSE(MenuGrayed(ID_TOOLS_BURN_FIRMWARE));
        bool open = true;
        EXPECT_EQ(vorn_uvc_isOpenCamera(&open), 0);
        EXPECT_FALSE(open);

        ClearTrace();
        Click(IDC_START_CAMERA);
        ExpectRunning(false, false);
        EXPECT_FALSE(TraceHas("SonixCam_OpenCamera"));

        Click(IDC_START_CAMERA);
        ExpectRunning(true, true);
        EXPECT_TRUE(Prompts().Messages().empty());
        Click(IDC_START_CAMERA);
        TearDown();
        SetUp();
    }
}

// Selection or firmware query failing on a press ends the program.
TEST_F(CameraStartTest, ASelectionOrFirmwareFailureOnAPressEndsTheWindow) {
    struct Case {
        const char* name;
        const char* fault;
        const wchar_t* box;
    } cases[] = {
        // Start-up selects twice (scan, then the chosen slot).
        {"select", "SonixCam_SelectDevice = 3\n", L"Can't select video device!"},
        {"firmware", "SonixCam_GetFwVersion = 2\n", L"Failed to get camera FW version info"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadScenario(std::string(kCameraScenario) + "[faults]\n" + c.fault);
        ASSERT_TRUE(Start());
        ClearTrace();
        Click(IDC_START_CAMERA);
        EXPECT_EQ(Result(), std::optional<INT_PTR>(-1));
        auto boxes = Prompts().Messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.box);
        EXPECT_EQ(boxes[0].caption, L"ERROR");
        EXPECT_FALSE(TraceHas("SonixCam_OpenCamera"));
        TearDown();
        SetUp();
    }
}

TEST_F(CameraStartTest, DeviceItemsStandForTheUsableSlotsInOrder) {
    // Five cameras; the second and fourth don't answer the product query.
    std::string scenario;
    for (int i = 0; i < 5; ++i) {
        scenario += "[camera]\nproduct = Cam " + std::to_string(i) + "\n";
        if (i == 1 || i == 3) scenario += "product_query = false\n";
    }
    LoadScenario(scenario);
    ASSERT_TRUE(Start());
    ASSERT_EQ(ComboItems(IDC_DEVICE), (std::vector<std::wstring>{L"1", L"2", L"3"}));
    struct Pick {
        int item;
        int slot;
    } picks[] = {{1, 2}, {2, 4}, {0, 0}, {-1, 0}};
    for (const Pick& p : picks) {
        SCOPED_TRACE(p.item);
        ChooseDevice(p.item);
        EXPECT_EQ(Dlg().m_selectedDevice, p.slot);
    }
    // Nothing changes until the next start, which selects the slot.
    ClearTrace();
    ChooseDevice(2);
    EXPECT_EQ(TraceCount("SonixCam_SelectDevice(4)"), 0);
    Click(IDC_START_CAMERA);
    EXPECT_TRUE(TraceHas("SonixCam_SelectDevice(4) = 0"));
    EXPECT_EQ(CaptionOfStart(), L"Stop Camera");
}

// Closing reports only a preview or camera it knows to be live: a press with
// nothing selected (as a burn's restart leaves the library) starts quietly,
// while a camera that won't close is named, also across the start's read of
// the controls.
TEST_F(CameraStartTest, ClosingNamesOnlyACameraThatWasLiveAndWouldNotClose) {
    LoadScenario(kCameraScenario);
    ASSERT_TRUE(Start());
    ASSERT_EQ(vorn_uvc_unInit(), 0);
    ASSERT_EQ(vorn_uvc_init(), 0);
    size_t before = Dlg().m_statusText.size();
    Click(IDC_START_CAMERA);
    std::wstring added = Dlg().m_statusText.substr(before);
    EXPECT_EQ(added.find(L"Failed to"), std::wstring::npos) << std::string(added.begin(), added.end());
    ExpectRunning(true, true);

    ASSERT_EQ(SonixSim_SetFaults("SonixCam_CloseCamera = once\n"), 0);
    before = Dlg().m_statusText.size();
    Click(IDC_START_CAMERA);
    added = Dlg().m_statusText.substr(before);
    EXPECT_EQ(added, L"Failed to close the camera.\r\n");
    ExpectRunning(false, false);
    EXPECT_EQ(ui::WindowText(Item(IDC_STATUS)), Dlg().m_statusText);

    // The camera is still open, so the next start can't open it.
    ASSERT_EQ(SonixSim_SetFaults("SonixCam_CloseCamera = always\n"), 0);
    before = Dlg().m_statusText.size();
    Click(IDC_START_CAMERA);
    added = Dlg().m_statusText.substr(before);
    EXPECT_EQ(added.rfind(L"Failed to close the camera.\r\nOpen camera failed!\r\n", 0), 0u)
        << std::string(added.begin(), added.end());
    ExpectRunning(false, true);
}

}  // namespace
}  // namespace vorn::test
