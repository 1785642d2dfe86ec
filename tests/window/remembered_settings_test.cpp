// Settings that follow the camera, in the real window over the simulated
// camera, each test with a %APPDATA% of its own: the switch, when the
// camera's file is written and applied, what the status box says, and that a
// camera's power-up values never replace what the user had.
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "config/file_open.h"
#include "camera_test_support.h"
#include "property_test_support.h"

namespace vorn::test {
namespace {

namespace fs = std::filesystem;

// Default ids 56 4f 52 4e: the file is 564f524e.csv.
const std::string kCamera = kCameraScenario;

const char kHeader[] = "PropName,Value,DataType\r\n";

// A file as Save Config writes it for the camera at its power-up values,
// but brightness 20, contrast 40, saturation 70.
const std::string kRemembered = std::string(kHeader) +
                                "BRIGHTNESS,20,int\r\nCONTRAST,40,int\r\nSATURATION,70,int\r\nSHARPNESS,3,int\r\n"
                                "GAMMA,100,int\r\nAUTO_EXPOSURE,TRUE,bool\r\nAEC_TARGET,128,int\r\n"
                                "AUTO_WHITE_BALANCE,TRUE,bool\r\nROTATE_180,FALSE,bool\r\n";

const std::wstring kCapturing = L"Start capturing images!\r\n";
const std::wstring kApplying = L"Applying the settings remembered for this camera.\r\n";
const std::wstring kApplied = L"Remembered settings applied.\r\n";
const std::wstring kSomeNotApplied = L"Some remembered settings could not be applied.\r\n";
const std::wstring kUnreadable = L"The remembered settings for this camera could not be read.\r\n";
const std::wstring kNotRemembered = L"The settings for this camera could not be remembered.\r\n";

class RememberTest : public PropertyWindowTest {
protected:
    void TearDown() override {
        // No frame may reach the window while it is destroyed.
        SonixSim_ResetDefault();
        PropertyWindowTest::TearDown();
    }

    // Start-up on a camera at its power-up values, the window shown.
    void Open(const std::string& scenario = kCamera) {
        LoadScenario(scenario);
        ASSERT_TRUE(Start());
        ShowWindow(Hwnd(), SW_SHOW);
        Pump();
    }
    // The program ends (Exit) and is started again: the camera powers up
    // afresh, the user's folder stays.
    void NextRun(const std::string& scenario = kCamera) {
        if (!Result()) Click(IDC_EXIT);
        ASSERT_EQ(Result(), IDCANCEL);
        Open(scenario);
    }
    void Press() { Click(IDC_START_CAMERA); }
    bool Running() const { return Text(IDC_START_CAMERA) == L"Stop Camera"; }
    void Tick() { Command(ID_TOOLS_REMEMBER_SETTINGS); }
    bool Ticked() const { return (MenuState(ID_TOOLS_REMEMBER_SETTINGS) & MF_CHECKED) != 0; }

    fs::path CameraFile(const std::wstring& id = L"564f524e") const {
        return fs::path(UserFolder()) / L"cameras" / (id + L".csv");
    }
    fs::path Preferences() const { return fs::path(UserFolder()) / L"preferences.ini"; }
    static std::optional<std::string> Bytes(const fs::path& p) {
        std::string bytes;
        if (!files::ReadAll(p, bytes)) return std::nullopt;
        return bytes;
    }
    static void Put(const fs::path& p, const std::string& bytes) {
        fs::create_directories(p.parent_path());
        files::FileHandle f(files::Open(p, "wb"));
        ASSERT_TRUE(f);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f.get()), bytes.size());
    }
    // What Save Config writes for the window as it stands.
    std::optional<std::string> SavedByHand() {
        const std::wstring path = ProgramFolder() + L"\\by-hand.csv";
        Prompts().QueuePath(path);
        Command(ID_FILE_SAVE_CONFIG);
        return Bytes(path);
    }
    static int CameraProperty(int property) {
        int value = 0, flags = 0;
        EXPECT_EQ(SonixCam_PropertyGet(property, &value, &flags), 0);
        return value;
    }
    // Message boxes other than Save Config's own.
    size_t Boxes() {
        size_t n = 0;
        for (const ui::PromptRecord& r : Prompts().Messages()) n += r.caption != L"Save Configuration";
        return n;
    }
};

TEST_F(RememberTest, OffUntilTickedAndTheChoiceIsKept) {
    Open();
    // After Restore Camera Defaults in the Tools menu, Forget after it.
    HMENU tools = GetSubMenu(GetMenu(Hwnd()), 1);
    ASSERT_TRUE(tools);
    const UINT order[] = {ID_TOOLS_BURN_FIRMWARE, ID_TOOLS_RESTORE_DEFAULTS, ID_TOOLS_REMEMBER_SETTINGS,
                          ID_TOOLS_FORGET_SETTINGS};
    ASSERT_EQ(GetMenuItemCount(tools), static_cast<int>(std::size(order)));
    for (int i = 0; i < GetMenuItemCount(tools); ++i) EXPECT_EQ(GetMenuItemID(tools, i), order[i]) << i;
    wchar_t text[64] = {};
    GetMenuStringW(tools, ID_TOOLS_REMEMBER_SETTINGS, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"Remember Settings per Camera");
    GetMenuStringW(tools, ID_TOOLS_FORGET_SETTINGS, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"Forget Settings for This Camera");
    EXPECT_FALSE(Ticked());

    // Off: a whole picture leaves nothing behind, not even preferences.
    Press();
    Replace(IDC_BRIGHTNESS_EDIT, L"20");
    Press();
    NextRun();
    Press();
    EXPECT_EQ(Dlg().m_statusText.find(kApplying), std::wstring::npos);
    Press();
    EXPECT_FALSE(fs::exists(fs::path(UserFolder())));

    Tick();
    EXPECT_TRUE(Ticked());
    EXPECT_EQ(Bytes(Preferences()), "[settings]\r\nremember = true\r\n");
    NextRun();
    EXPECT_TRUE(Ticked()) << "read at start-up";
    Tick();
    EXPECT_FALSE(Ticked());
    EXPECT_EQ(Bytes(Preferences()), "[settings]\r\nremember = false\r\n");
    NextRun();
    EXPECT_FALSE(Ticked());
}

TEST_F(RememberTest, WrittenInTheSaveConfigFormatWhenThePictureEnds) {
    enum class End { Stop, Exit, TickWhileRunning, Unplug, SessionEnds };
    const struct {
        const char* name;
        End end;
    } cases[] = {
        {"Stop", End::Stop}, {"Exit", End::Exit}, {"ticked while the picture runs", End::TickWhileRunning},
        {"the camera unplugged", End::Unplug}, {"Windows shuts down", End::SessionEnds},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        if (c.end != End::TickWhileRunning) Tick();
        Press();
        Replace(IDC_BRIGHTNESS_EDIT, L"-20");
        ClickBox(IDC_AUTO_EXPOSURE);
        Replace(IDC_MANUAL_EXPOSURE_EDIT, L"-9");
        ClickBox(IDC_AUTO_WB);
        Replace(IDC_GAIN_RED_EDIT, L"300");
        ASSERT_TRUE(Running());
        EXPECT_FALSE(fs::exists(CameraFile())) << "nothing is written while the picture runs";
        const std::optional<std::string> expected = SavedByHand();
        ASSERT_TRUE(expected);
        EXPECT_NE(expected->find("BRIGHTNESS,-20,int\r\n"), std::string::npos);
        EXPECT_NE(expected->find("MANUAL_EXPOSURE,-9,int\r\n"), std::string::npos);
        EXPECT_NE(expected->find("COLOR_GAIN_RED,300,int\r\n"), std::string::npos);
        Mark();
        ClearTrace();

        switch (c.end) {
        case End::Stop: Press(); break;
        case End::Exit: Click(IDC_EXIT); break;
        case End::TickWhileRunning:
            Tick();
            EXPECT_TRUE(Running());
            break;
        case End::Unplug: ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0); break;
        case End::SessionEnds:
            SendMessageW(Hwnd(), WM_QUERYENDSESSION, 0, 0);
            SendMessageW(Hwnd(), WM_ENDSESSION, TRUE, 0);
            break;
        }
        EXPECT_EQ(Bytes(CameraFile()), expected);
        // From the window's values: the camera is not asked for them.
        EXPECT_FALSE(TraceHas("SonixCam_PropertyGet("));
        EXPECT_FALSE(TraceHas("SonixCam_ControlGet("));
        EXPECT_EQ(Since().find(kNotRemembered), std::wstring::npos);
        EXPECT_EQ(Boxes(), 0u);
        // Only the camera's file and the preferences are there.
        std::vector<std::wstring> names;
        for (const auto& e : fs::directory_iterator(CameraFile().parent_path())) names.push_back(e.path().filename());
        EXPECT_EQ(names, std::vector<std::wstring>{L"564f524e.csv"});
        TearDown();
        SetUp();
    }
}

TEST_F(RememberTest, ASecondRunAppliesThemOverThePowerUpValues) {
    Open();
    Tick();
    Press();
    Replace(IDC_BRIGHTNESS_EDIT, L"20");
    Replace(IDC_CONTRAST_EDIT, L"40");
    ClickBox(IDC_AUTO_EXPOSURE);
    Replace(IDC_MANUAL_EXPOSURE_EDIT, L"-7");
    NextRun();
    EXPECT_EQ(Text(IDC_BRIGHTNESS_EDIT), L"0") << "the camera powered up at its defaults";
    Mark();
    ClearTrace();
    Press();
    ASSERT_TRUE(Running());
    // The read-out of the power-up values, then the file's rows with Load
    // Config's own lines.
    const std::wstring status = Since();
    const std::wstring tail = kCapturing + kApplying +
                              L"Set Brightness to 20 successfully\r\nSet Contrast to 40 successfully\r\n"
                              L"Skip setting Saturation\r\nSkip setting Sharpness\r\nSkip setting Gamma\r\n"
                              L"Set Manual Exposure to -7 successfully\r\n" +
                              kApplied;
    ASSERT_GE(status.size(), tail.size());
    EXPECT_EQ(status.substr(status.size() - tail.size()), tail);
    EXPECT_NE(status.find(L"Current Brightness value is 0\r\n"), std::wstring::npos);
    EXPECT_LT(TraceIndex("SonixCam_StartPreview"), TraceIndex("SonixCam_PropertySet(0, 20, 0)"));
    // The camera, the edits, the sliders and the boxes show them.
    EXPECT_EQ(CameraProperty(0), 20);
    EXPECT_EQ(CameraProperty(1), 40);
    EXPECT_EQ(Text(IDC_BRIGHTNESS_EDIT), L"20");
    EXPECT_EQ(Text(IDC_CONTRAST_EDIT), L"40");
    EXPECT_EQ(Text(IDC_MANUAL_EXPOSURE_EDIT), L"-7");
    EXPECT_EQ(SliderPos(IDC_BRIGHTNESS_SLIDER), 20);
    EXPECT_EQ(SliderPos(IDC_MANUAL_EXPOSURE_SLIDER), -7);
    EXPECT_FALSE(Checked(IDC_AUTO_EXPOSURE));
    EXPECT_TRUE(Enabled(IDC_MANUAL_EXPOSURE_EDIT));
    EXPECT_FALSE(Enabled(IDC_AEC_TARGET_EDIT));
    EXPECT_EQ(StatusBox(), Dlg().m_statusText);
    EXPECT_EQ(Boxes(), 0u);

    // Every start applies them again, after the values are read.
    ASSERT_EQ(vorn_uvc_setBrightness(5), 0);
    Press();
    Mark();
    Press();
    EXPECT_NE(Since().find(kApplying + L"Set Brightness to 20 successfully\r\n"), std::wstring::npos);
    EXPECT_EQ(CameraProperty(0), 20);
}

TEST_F(RememberTest, ARefusedRowKeepsThePictureAndTheFile) {
    // The camera refuses contrast.
    const std::string scenario = kCamera + "[faults]\nSonixCam_PropertySet.1 = always\n";
    Put(CameraFile(), kRemembered);
    Open(scenario);
    Tick();
    Mark();
    Press();
    ASSERT_TRUE(Running());
    const std::wstring tail = kCapturing + kApplying +
                              L"Set Brightness to 20 successfully\r\nFailed to set Contrast to 40\r\n"
                              L"Set Saturation to 70 successfully\r\nSkip setting Sharpness\r\n"
                              L"Skip setting Gamma\r\nSkip setting AEC Target\r\n" +
                              kSomeNotApplied;
    const std::wstring status = Since();
    ASSERT_GE(status.size(), tail.size());
    EXPECT_EQ(status.substr(status.size() - tail.size()), tail);
    EXPECT_EQ(CameraProperty(3), 70) << "the rows after the refused one were applied";
    EXPECT_EQ(Boxes(), 0u);

    // Not written over: the file still holds contrast 40.
    Press();
    EXPECT_EQ(Bytes(CameraFile()), kRemembered);
    NextRun(scenario);
    Press();
    EXPECT_EQ(Bytes(CameraFile()), kRemembered);
    Press();
    EXPECT_EQ(Bytes(CameraFile()), kRemembered);
    // Until the user changes a setting: here by Load Config.
    Press();
    const std::wstring loaded = ProgramFolder() + L"\\loaded.csv";
    Put(loaded, std::string(kHeader) + "BRIGHTNESS,25,int\r\n");
    Prompts().QueuePath(loaded);
    Command(ID_FILE_LOAD_CONFIG);
    Press();
    const std::optional<std::string> now = Bytes(CameraFile());
    ASSERT_TRUE(now);
    EXPECT_NE(now->find("BRIGHTNESS,25,int\r\nCONTRAST,32,int\r\n"), std::string::npos) << *now;
}

TEST_F(RememberTest, AnUnreadableFileIsLeftByteForByte) {
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"an unknown name after good rows", std::string(kHeader) + "BRIGHTNESS,20,int\r\nZOOM,2,int\r\n"},
        {"bad bytes", std::string(kHeader) + "BRIGHTNESS,2\x01,int\r\n"},
        {"a row with a field too many", std::string(kHeader) + "BRIGHTNESS,20,int,x\r\n"},
        {"a header alone", kHeader},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Put(CameraFile(), c.content);
        Open();
        Tick();
        Mark();
        ClearTrace();
        Press();
        ASSERT_TRUE(Running());
        EXPECT_TRUE(Since().ends_with(kCapturing + kUnreadable)) << Since().substr(Since().size() - 120);
        EXPECT_FALSE(TraceHas("SonixCam_PropertySet(0, ")) << "nothing of it reached the camera";
        EXPECT_EQ(Text(IDC_BRIGHTNESS_EDIT), L"0");
        EXPECT_EQ(Boxes(), 0u);
        Press();
        EXPECT_EQ(Bytes(CameraFile()), c.content);
        NextRun();
        Press();
        Click(IDC_EXIT);
        EXPECT_EQ(Bytes(CameraFile()), c.content);

        // The user's change makes the window's values worth keeping.
        NextRun();
        Press();
        Replace(IDC_BRIGHTNESS_EDIT, L"30");
        Press();
        const std::optional<std::string> now = Bytes(CameraFile());
        ASSERT_TRUE(now);
        EXPECT_EQ(now->rfind(std::string(kHeader) + "BRIGHTNESS,30,int\r\n", 0), 0u);
        TearDown();
        SetUp();
    }
}

TEST_F(RememberTest, AfterAnUnplugAndReplugTheNextStartAppliesThemAgain) {
    Open();
    Tick();
    Press();
    Replace(IDC_BRIGHTNESS_EDIT, L"25");
    ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0);
    EXPECT_FALSE(Running());
    std::optional<std::string> file = Bytes(CameraFile());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->rfind(std::string(kHeader) + "BRIGHTNESS,25,int\r\n", 0), 0u);

    // Back with its power-up values.
    ASSERT_EQ(SonixSim_SetPlugged(0, 1), 0);
    EXPECT_EQ(CameraProperty(0), 0);
    Mark();
    Press();
    ASSERT_TRUE(Running());
    EXPECT_NE(Since().find(kApplying + L"Set Brightness to 25 successfully\r\n"), std::wstring::npos);
    EXPECT_TRUE(Since().ends_with(kApplied));
    EXPECT_EQ(CameraProperty(0), 25);
    EXPECT_EQ(Text(IDC_BRIGHTNESS_EDIT), L"25");
    EXPECT_EQ(Boxes(), 0u);
}

TEST_F(RememberTest, ForgetRemovesTheFileOfTheCameraInTheDeviceBox) {
    const std::string two = kCamera +
                            "[camera]\n"
                            "product = Vorn UC-20 Camera\n"
                            "vid_pid = 56 4f 52 4f\n";
    Put(CameraFile(L"564f524e"), kRemembered);
    Put(CameraFile(L"564f524f"), kRemembered);
    Open(two);
    // The second camera chosen, nothing started.
    SendMessageW(Item(IDC_DEVICE), CB_SETCURSEL, 1, 0);
    SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_DEVICE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(IDC_DEVICE)));
    Pump();
    Mark();
    Command(ID_TOOLS_FORGET_SETTINGS);
    EXPECT_EQ(Since(), L"Remembered settings forgotten.\r\n");
    EXPECT_FALSE(fs::exists(CameraFile(L"564f524f")));
    EXPECT_EQ(Bytes(CameraFile(L"564f524e")), kRemembered);
    Mark();
    Command(ID_TOOLS_FORGET_SETTINGS);
    EXPECT_EQ(Since(), L"No settings are remembered for this camera.\r\n");
    EXPECT_EQ(StatusBox(), Dlg().m_statusText);

    // While the picture runs: the camera in use, and the end of the picture
    // does not bring the file back until the user changes a setting.
    SendMessageW(Item(IDC_DEVICE), CB_SETCURSEL, 0, 0);
    SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_DEVICE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(IDC_DEVICE)));
    Tick();
    Press();
    ASSERT_TRUE(Running());
    EXPECT_EQ(Text(IDC_BRIGHTNESS_EDIT), L"20");
    Mark();
    Command(ID_TOOLS_FORGET_SETTINGS);
    EXPECT_EQ(Since(), L"Remembered settings forgotten.\r\n");
    EXPECT_FALSE(fs::exists(CameraFile(L"564f524e")));
    Press();
    EXPECT_FALSE(fs::exists(CameraFile(L"564f524e")));
    Press();
    Replace(IDC_BRIGHTNESS_EDIT, L"21");
    Press();
    EXPECT_TRUE(fs::exists(CameraFile(L"564f524e")));
    EXPECT_FALSE(fs::exists(CameraFile(L"564f524f")));
    EXPECT_EQ(Boxes(), 0u);
}

TEST_F(RememberTest, AFailedWriteIsOneStatusLineAndTheOldFileStays) {
    const struct {
        const char* name;
        bool lockFile;  // the old file held open by another program
    } cases[] = {{"no folder can be made", false}, {"the old file is in use", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.lockFile) {
            Put(CameraFile(), kRemembered);
            // Open without delete sharing: nothing may replace it meanwhile.
            held = CreateFileW(CameraFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        } else {
            // A file where the cameras folder should be.
            Put(fs::path(UserFolder()) / L"cameras", "not a folder");
        }
        Open();
        Tick();
        Press();
        Replace(IDC_BRIGHTNESS_EDIT, L"33");
        Mark();
        Press();
        EXPECT_FALSE(Running());
        EXPECT_EQ(Since(), kNotRemembered);
        EXPECT_EQ(StatusBox(), Dlg().m_statusText);
        EXPECT_EQ(Boxes(), 0u);
        if (c.lockFile) {
            CloseHandle(held);
            EXPECT_EQ(Bytes(CameraFile()), kRemembered);
            std::vector<std::wstring> names;
            for (const auto& e : fs::directory_iterator(CameraFile().parent_path()))
                names.push_back(e.path().filename());
            EXPECT_EQ(names, std::vector<std::wstring>{L"564f524e.csv"}) << "no temporary file is left";
        }
        TearDown();
        SetUp();
    }
}

}  // namespace
}  // namespace vorn::test
