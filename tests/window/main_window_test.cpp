// The main window's start-up, its Idle state, the enabling rule, closing the
// camera, Exit and the About boxes, against the simulated camera.
#include <filesystem>
#include <fstream>

#include "window_fixture.h"

namespace vorn::test {
namespace {

const char kHealthyCamera[] =
    "[camera]\n"
    "product = Vorn UC-20 Camera\n"
    "firmware = Vorn-Corvanith-211015K-1.3\n"
    "vid_pid = 56 4f 52 4e 01 00\n";

std::string WithFaults(const std::string& faults) { return std::string(kHealthyCamera) + "[faults]\n" + faults; }

class StartupTest : public MainWindowTest {};

// ---------------------------------------------------------------------------
// Start-up failures: each shows its box (or none for the open) and ends the
// window with -1 before it is ever shown.

struct StartupFailure {
    const char* name;
    std::string scenario;
    const wchar_t* box;  // nullptr: no box at all
};

TEST_F(StartupTest, EachFailureShowsItsBoxAndEndsTheWindowWithMinusOne) {
    const StartupFailure cases[] = {
        {"init", WithFaults("SonixCam_Init = always\n"), L"Can't initialize camera device!"},
        {"no camera", "[sim]\nfps = 30\n", L"Can't find a valid Vorn camera!"},
        {"no camera answers", std::string(kHealthyCamera) + "product_query = false\n",
         L"Can't find a valid Vorn camera!"},
        // The scan selects the slot once; the second selection is the one that fails.
        {"select", WithFaults("SonixCam_SelectDevice = 2\n"), L"Can't select video device!"},
        {"firmware", WithFaults("SonixCam_GetFwVersion = always\n"), L"Failed to get camera FW version info"},
        {"open", WithFaults("SonixCam_OpenCamera = always\n"), nullptr},
        // The scan asks for the product once; the second query fails.
        {"product", WithFaults("SonixCam_GetProduct = 2\n"), L"Failed to get camera product info"},
        {"vid pid", WithFaults("SonixCam_GetVidPid = always\n"), L"Can't get Vendor ID and Product ID!"},
    };
    for (const StartupFailure& c : cases) {
        SCOPED_TRACE(c.name);
        LoadScenario(c.scenario);
        Prompts().Clear();
        EXPECT_FALSE(Start());
        EXPECT_EQ(Result(), std::optional<INT_PTR>(-1));
        EXPECT_FALSE(IsWindowVisible(Hwnd()));
        auto boxes = Prompts().Messages();
        if (c.box) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, c.box);
            EXPECT_EQ(boxes[0].caption, L"ERROR");
            EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK));
        } else {
            EXPECT_TRUE(boxes.empty());
            EXPECT_NE(Dlg().m_statusText.find(L"Failed to access UVC properties!\r\n"), std::wstring::npos);
        }
        // The teardown of Exit does not run on these paths.
        EXPECT_FALSE(TraceHas("SonixCam_UnInit"));
        TearDown();
        SetUp();
    }
}

TEST_F(StartupTest, NoBoxOrTraceCallAfterTheFirstFailure) {
    LoadScenario(WithFaults("SonixCam_GetFwVersion = always\n"));
    EXPECT_FALSE(Start());
    EXPECT_EQ(Prompts().Messages().size(), 1u);
    EXPECT_FALSE(TraceHas("SonixCam_OpenCamera"));
    EXPECT_FALSE(TraceHas("SonixCam_GetVidPid"));
}

// ---------------------------------------------------------------------------
// Firmware gates and the boxes they decide.

struct GateCase {
    const char* firmware;
    bool settingsAskForIllumination;
    bool rotate;
    bool illumination;  // supported
    bool illuminationShown;
};

TEST_F(StartupTest, FirmwareGatesShowOrHideRotateAndIllumination) {
    const GateCase cases[] = {
        {"Vorn-Corvanith-211015K-1.3", true, true, true, true},
        {"Vorn-Corvanith-211015K-1.3", false, true, true, false},
        {"Vorn-Corvanith-210824K-1.0", true, true, false, false},
        {"Vorn-Corvanith-210811", true, true, false, false},
        {"Vorn-Corvanith-210810K", true, false, false, false},
        {"Vorn-Generic-230101K-2.0", true, false, false, false},
        {"Corvanith-", true, false, false, false},
        {"Vorn-Corvanith-K211015", true, true, true, true},
    };
    for (const GateCase& c : cases) {
        SCOPED_TRACE(c.firmware);
        SCOPED_TRACE(c.settingsAskForIllumination ? "settings: illuminate=TRUE" : "no settings");
        LoadScenario(std::string("[camera]\nfirmware = ") + c.firmware + "\n");
        if (c.settingsAskForIllumination) WriteSettings("illuminate=TRUE\n");
        ASSERT_TRUE(Start());
        EXPECT_EQ(Dlg().m_rotateSupported, c.rotate);
        EXPECT_EQ(Dlg().m_illuminationSupported, c.illumination ? 1 : 0);
        EXPECT_EQ(Visible(IDC_ROTATE_180), c.rotate);
        EXPECT_EQ(Visible(IDC_ILLUMINATION), c.illuminationShown);
        TearDown();
        SetUp();
    }
}

TEST_F(StartupTest, SettingsInTheConfigFolderCountOnlyWithoutOneBesideTheProgram) {
    LoadScenario(kHealthyCamera);
    WriteSettings("illuminate=TRUE\n", true);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Visible(IDC_ILLUMINATION));
    TearDown();
    SetUp();

    LoadScenario(kHealthyCamera);
    WriteSettings("illuminate=TRUE\n", true);
    WriteSettings("illuminate=FALSE\n");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Visible(IDC_ILLUMINATION));
}

// ---------------------------------------------------------------------------
// Slot scanning.

TEST_F(StartupTest, FirstSlotFailingTheProductQueryIsSkipped) {
    LoadScenario("[camera]\nproduct_query = false\n[camera]\nproduct = second\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Dlg().m_selectedDevice, 1);
    EXPECT_EQ(Dlg().m_validDeviceCount, 1);
    EXPECT_FALSE(Dlg().m_deviceValid[0]);
    EXPECT_TRUE(Dlg().m_deviceValid[1]);
    EXPECT_FALSE(Visible(IDC_DEVICE));
    EXPECT_FALSE(Visible(IDC_DEVICE_LABEL));
    // The About box names the camera that was kept.
    EXPECT_EQ(Dlg().m_aboutDlg.m_productText, L"second");
}

TEST_F(StartupTest, UnselectableSlotIsSkippedSilently) {
    LoadScenario("[camera]\nselectable = false\n[camera]\n[camera]\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Dlg().m_selectedDevice, 1);
    EXPECT_EQ(Dlg().m_validDeviceCount, 2);
    EXPECT_TRUE(Prompts().Messages().empty());
    EXPECT_TRUE(Visible(IDC_DEVICE));
    EXPECT_TRUE(Visible(IDC_DEVICE_LABEL));
    EXPECT_EQ(ComboItems(IDC_DEVICE), (std::vector<std::wstring>{L"1", L"2"}));
}

TEST_F(StartupTest, SeveralUsableCamerasFillTheDeviceComboWithTheirNumbers) {
    const std::vector<std::wstring> all = {L"1", L"2", L"3", L"4", L"5"};
    for (int cameras : {3, 5}) {
        SCOPED_TRACE(cameras);
        std::string scenario;
        for (int i = 0; i < cameras; ++i) scenario += "[camera]\n";
        LoadScenario(scenario);
        ASSERT_TRUE(Start());
        EXPECT_EQ(Dlg().m_validDeviceCount, cameras);
        EXPECT_EQ(Dlg().m_selectedDevice, 0);
        for (int i = 0; i < kMaxDevices; ++i) EXPECT_EQ(Dlg().m_deviceValid[i], i < cameras) << i;
        EXPECT_TRUE(Visible(IDC_DEVICE));
        EXPECT_TRUE(Visible(IDC_DEVICE_LABEL));
        EXPECT_EQ(ComboItems(IDC_DEVICE), std::vector<std::wstring>(all.begin(), all.begin() + cameras));
        EXPECT_EQ(SendMessageW(Item(IDC_DEVICE), CB_GETCURSEL, 0, 0), 0);
        TearDown();
        SetUp();
    }
}

// ---------------------------------------------------------------------------
// The Idle state after a good start.

TEST_F(StartupTest, IdleStateHasOnlyStartExitCombosStatusCheckAndMenuLive) {
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Prompts().Messages().empty());
    EXPECT_FALSE(Dlg().m_controlsEnabled);

    for (int id : {IDC_START_CAMERA, IDC_EXIT, IDC_RESOLUTION, IDC_DEVICE, IDC_SHOW_STATUS}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(Enabled(id));
    }
    const int grayed[] = {IDC_AUTO_EXPOSURE,     IDC_AUTO_WB,        IDC_AEC_TARGET_EDIT, IDC_AEC_TARGET_SLIDER,
                          IDC_MANUAL_EXPOSURE_EDIT, IDC_MANUAL_EXPOSURE_SLIDER, IDC_GAIN_BLUE_EDIT,
                          IDC_GAIN_BLUE_SLIDER,  IDC_GAIN_RED_EDIT,  IDC_GAIN_RED_SLIDER, IDC_BRIGHTNESS_EDIT,
                          IDC_BRIGHTNESS_SLIDER, IDC_CONTRAST_EDIT,  IDC_CONTRAST_SLIDER, IDC_SATURATION_EDIT,
                          IDC_SATURATION_SLIDER, IDC_SHARPNESS_EDIT, IDC_SHARPNESS_SLIDER, IDC_GAMMA_EDIT,
                          IDC_GAMMA_SLIDER,      IDC_PREVIEW,        IDC_ROTATE_180,      IDC_SNAPSHOT_SAVE,
                          IDC_FILETYPE_BMP,      IDC_FILETYPE_JPG,   IDC_FILETYPE_PNG,    IDC_SNAPSHOT_FOLDER,
                          IDC_BROWSE_FOLDER,     IDC_ILLUMINATION};
    for (int id : grayed) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(Enabled(id));
    }
    EXPECT_TRUE(MenuGrayed(ID_FILE_SAVE_CONFIG));
    EXPECT_TRUE(MenuGrayed(ID_FILE_LOAD_CONFIG));
    EXPECT_FALSE(MenuGrayed(ID_TOOLS_BURN_FIRMWARE));
    EXPECT_FALSE(MenuGrayed(ID_HELP_ABOUT));

    EXPECT_FALSE(Visible(IDC_STATUS));
    EXPECT_EQ(Text(IDC_START_CAMERA), L"Start Camera");
    EXPECT_EQ(SendMessageW(Item(IDC_RESOLUTION), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ComboItems(IDC_RESOLUTION),
              (std::vector<std::wstring>{L"1280*800", L"1280*720", L"800*600", L"640*480", L"320*240"}));
    EXPECT_EQ(Dlg().m_fileType, 1);
    EXPECT_EQ(Dlg().m_exeDir, ProgramFolder());
    EXPECT_EQ(g_mainDlg, &Dlg());

    // The camera stays open without preview.
    EXPECT_TRUE(TraceHas("SonixCam_OpenCamera(null, 0, null) = 0"));
    EXPECT_FALSE(TraceHas("SonixCam_StartPreview"));
    EXPECT_FALSE(TraceHas("SonixCam_CloseCamera"));
}

TEST_F(StartupTest, SystemMenuCarriesTheAboutEntry) {
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    HMENU sys = GetSystemMenu(Hwnd(), FALSE);
    ASSERT_NE(sys, nullptr);
    wchar_t text[64] = {};
    ASSERT_GT(GetMenuStringW(sys, IDM_ABOUTBOX, text, 64, MF_BYCOMMAND), 0);
    EXPECT_STREQ(text, L"&About Vorn_Controls...");
    int n = GetMenuItemCount(sys);
    ASSERT_GE(n, 2);
    EXPECT_EQ(GetMenuItemID(sys, n - 1), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_TRUE(GetMenuState(sys, n - 2, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(StartupTest, SnapshotFolderIsCreatedOrAnExistingFileLeftAlone) {
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    std::wstring images = ProgramFolder() + L"\\images";
    EXPECT_EQ(Dlg().m_snapshotFolder, images);
    EXPECT_TRUE(std::filesystem::is_directory(images));
    EXPECT_EQ(Text(IDC_SNAPSHOT_FOLDER), images);
    TearDown();
    SetUp();

    std::wstring file = ProgramFolder() + L"\\images";
    std::ofstream(file.c_str()) << "not a folder";
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Dlg().m_snapshotFolder, file);
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

// ---------------------------------------------------------------------------
// The enabling rule.

struct EnablingCase {
    int aec;
    int awb;
};

TEST_F(StartupTest, EnablingFollowsTheExposureAndWhiteBalanceModes) {
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    const EnablingCase cases[] = {{1, 1}, {1, 0}, {0, 1}, {0, 0}};
    for (const EnablingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "aec " << c.aec << " awb " << c.awb);
        Dlg().m_aecOn = c.aec;
        Dlg().m_awbOn = c.awb;
        Dlg().EnableControls(true);
        EXPECT_TRUE(Dlg().m_controlsEnabled);
        // The resolution combo is live exactly while the rest is not.
        EXPECT_FALSE(Enabled(IDC_RESOLUTION));
        EXPECT_EQ(Enabled(IDC_AEC_TARGET_EDIT), c.aec == 1);
        EXPECT_EQ(Enabled(IDC_AEC_TARGET_SLIDER), c.aec == 1);
        EXPECT_EQ(Enabled(IDC_MANUAL_EXPOSURE_EDIT), c.aec == 0);
        EXPECT_EQ(Enabled(IDC_MANUAL_EXPOSURE_SLIDER), c.aec == 0);
        for (int id = IDC_GAIN_BLUE_EDIT; id <= IDC_GAIN_RED_SLIDER; ++id) EXPECT_EQ(Enabled(id), c.awb == 0) << id;
        for (int id : {IDC_AUTO_EXPOSURE, IDC_AUTO_WB, IDC_BRIGHTNESS_SLIDER, IDC_GAMMA_EDIT, IDC_PREVIEW,
                       IDC_SNAPSHOT_SAVE, IDC_FILETYPE_JPG, IDC_SNAPSHOT_FOLDER, IDC_BROWSE_FOLDER, IDC_ILLUMINATION})
            EXPECT_TRUE(Enabled(id)) << id;
        // The status box is not a camera control.
        EXPECT_TRUE(Enabled(IDC_STATUS));

        Dlg().EnableControls(false);
        EXPECT_TRUE(Enabled(IDC_RESOLUTION));
        for (int id = IDC_AEC_TARGET_EDIT; id <= IDC_GAMMA_SLIDER; ++id) EXPECT_FALSE(Enabled(id)) << id;
    }
}

TEST_F(StartupTest, FileTypeButtonsNeedTheirEncoders) {
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    const struct {
        bool bmp, png;
    } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << "bmp " << c.bmp << " png " << c.png);
        Dlg().m_bmpEncoderFound = c.bmp;
        Dlg().m_pngEncoderFound = c.png;
        Dlg().EnableControls(true);
        EXPECT_EQ(Enabled(IDC_FILETYPE_BMP), c.bmp);
        EXPECT_TRUE(Enabled(IDC_FILETYPE_JPG));
        EXPECT_EQ(Enabled(IDC_FILETYPE_PNG), c.png);
        Dlg().EnableControls(false);
        EXPECT_FALSE(Enabled(IDC_FILETYPE_BMP));
        EXPECT_FALSE(Enabled(IDC_FILETYPE_PNG));
    }
}

// ---------------------------------------------------------------------------
// Closing the camera and Exit.

TEST_F(StartupTest, CloseCameraClosesTheOpenCameraAndResetsTheMenu) {
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    EnableMenuItem(GetMenu(Hwnd()), ID_FILE_SAVE_CONFIG, MF_ENABLED);
    EnableMenuItem(GetMenu(Hwnd()), ID_FILE_LOAD_CONFIG, MF_ENABLED);
    EnableMenuItem(GetMenu(Hwnd()), ID_TOOLS_BURN_FIRMWARE, MF_GRAYED);
    ClearTrace();

    Dlg().CloseCamera();
    int preview = TraceIndex("SonixCam_IsPreviewing(");
    int close = TraceIndex("SonixCam_CloseCamera() = 0");
    EXPECT_GE(preview, 0);
    EXPECT_GT(close, preview);
    // No preview runs, so none is stopped.
    EXPECT_FALSE(TraceHas("SonixCam_StopPreview"));
    EXPECT_TRUE(MenuGrayed(ID_FILE_SAVE_CONFIG));
    EXPECT_TRUE(MenuGrayed(ID_FILE_LOAD_CONFIG));
    EXPECT_FALSE(MenuGrayed(ID_TOOLS_BURN_FIRMWARE));

    // A second close finds the camera closed and does not call the vendor's close.
    ClearTrace();
    Dlg().CloseCamera();
    EXPECT_FALSE(TraceHas("SonixCam_CloseCamera"));
}

TEST_F(StartupTest, CloseCameraStopsAPreviewThatRunsOrCannotBeQueried) {
    LoadScenario(WithFaults("SonixCam_IsPreviewing = always\n"));
    ASSERT_TRUE(Start());
    ClearTrace();
    Dlg().CloseCamera();
    EXPECT_TRUE(TraceHas("SonixCam_StopPreview"));
    EXPECT_TRUE(TraceHas("SonixCam_CloseCamera() = 0"));
}

struct ExitWay {
    const char* name;
    std::function<void(MainWindowTest&)> act;
};

class ExitTest : public MainWindowTest {
public:
    void RunExit(const std::function<void()>& act) {
        LoadScenario(kHealthyCamera);
        ASSERT_TRUE(Start());
        ::ShowWindow(Hwnd(), SW_SHOW);
        SetFocus(Item(IDC_START_CAMERA));
        Pump();
        ClearTrace();
        act();
        ASSERT_TRUE(PumpUntil([&] { return Result().has_value(); }));
        EXPECT_EQ(Result(), std::optional<INT_PTR>(IDCANCEL));
        int close = TraceIndex("SonixCam_CloseCamera() = 0");
        int uninit = TraceIndex("SonixCam_UnInit() = 0");
        EXPECT_GE(close, 0);
        EXPECT_GT(uninit, close);
        EXPECT_EQ(g_gdiplusToken, 0u);
        EXPECT_FALSE(IsWindowVisible(Hwnd()));
        EXPECT_TRUE(Prompts().Messages().empty());
    }
};

TEST_F(ExitTest, ExitButtonClosesTheCameraThenUninitialises) { RunExit([&] { Click(IDC_EXIT); }); }
TEST_F(ExitTest, EscapeRunsTheSameTeardown) { RunExit([&] { Key(VK_ESCAPE); }); }
TEST_F(ExitTest, CloseBoxRunsTheSameTeardown) {
    RunExit([&] {
        SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
        Pump();
    });
}

TEST_F(ExitTest, EnterDoesNotEndTheWindow) {
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    ::ShowWindow(Hwnd(), SW_SHOW);
    SetFocus(Item(IDC_START_CAMERA));
    Key(VK_RETURN);
    Pump(std::chrono::milliseconds(50));
    EXPECT_FALSE(Result().has_value());
    EXPECT_FALSE(TraceHas("SonixCam_UnInit"));
}

TEST_F(StartupTest, DeviceNotificationIsRegisteredAndDroppedWithTheWindow) {
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    ASSERT_NE(Dlg().m_hDeviceNotify, nullptr);
    Dlg().Destroy();
    Pump();
    EXPECT_EQ(Dlg().m_hDeviceNotify, nullptr);
}

// ---------------------------------------------------------------------------
// Painting and the drag icon.

TEST_F(StartupTest, DragIconIsTheWindowIcon) {
    LoadScenario(kHealthyCamera);
    ASSERT_TRUE(Start());
    ASSERT_NE(Dlg().m_hIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(Hwnd(), WM_QUERYDRAGICON, 0, 0)), Dlg().m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(Hwnd(), WM_GETICON, ICON_BIG, 0)), Dlg().m_hIcon);
}

}  // namespace
}  // namespace vorn::test
