// Tools > Restore Camera Defaults over the simulated camera: when the item is
// live, what each step writes and sends, and what the controls show after.
#include "property_test_support.h"

namespace vorn::test {
namespace {

// Every property away from its default; defaults inside the ranges.
const std::string kCamera =
    "[sim]\n"
    "fps = 30\n"
    "[camera]\n"
    "firmware = Vorn-Corvanith-211015K-1.3\n"
    "property.0 = 10 -64 64 1 -3 2\n"
    "property.1 = 40 0 95 1 31 2\n"
    "property.3 = 70 0 100 1 62 2\n"
    "property.4 = 5 0 7 1 2 2\n"
    "property.5 = 300 72 500 1 110 2\n"
    "property.8 = 150 0 255 1 120 1\n";

const std::wstring kAllSet =
    L"Set Brightness to -3 successfully\r\nSet Contrast to 31 successfully\r\n"
    L"Set Saturation to 62 successfully\r\nSet Sharpness to 2 successfully\r\n"
    L"Set Gamma to 110 successfully\r\nSet AEC Target to 120 successfully\r\n";

class RestoreDefaultsTest : public PropertyWindowTest {
protected:
    void TearDown() override {
        // No frame may reach the window while it is destroyed.
        SonixSim_ResetDefault();
        PropertyWindowTest::TearDown();
    }
    // Start-up, then Start Camera as the user presses it.
    void StartCamera(const std::string& scenario) {
        LoadScenario(scenario);
        ASSERT_TRUE(Start());
        ShowWindow(Hwnd(), SW_SHOW);
        Click(IDC_START_CAMERA);
        ASSERT_EQ(Text(IDC_START_CAMERA), L"Stop Camera");
        Prompts().Clear();
        ClearTrace();
        Mark();
    }
    void Restore() { Command(ID_TOOLS_RESTORE_DEFAULTS); }
    static int Current(int property) {
        int value = 0, flags = 0;
        EXPECT_EQ(SonixCam_PropertyGet(property, &value, &flags), 0);
        return value;
    }
};

TEST_F(RestoreDefaultsTest, LiveExactlyWhileThePictureRuns) {
    LoadScenario(kCamera);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(MenuGrayed(ID_TOOLS_RESTORE_DEFAULTS));
    // A command that arrives while grayed does nothing.
    ClearTrace();
    Mark();
    Restore();
    EXPECT_FALSE(TraceHas("Set("));
    EXPECT_EQ(Since(), L"");

    Click(IDC_START_CAMERA);
    EXPECT_FALSE(MenuGrayed(ID_TOOLS_RESTORE_DEFAULTS));
    Click(IDC_START_CAMERA);
    EXPECT_TRUE(MenuGrayed(ID_TOOLS_RESTORE_DEFAULTS));

    // A start that fails at the preview stays grayed, as Save and Load do.
    TearDown();
    SetUp();
    LoadScenario(kCamera + "[faults]\nSonixCam_StartPreview = always\n");
    ASSERT_TRUE(Start());
    Click(IDC_START_CAMERA);
    EXPECT_TRUE(MenuGrayed(ID_FILE_SAVE_CONFIG));
    EXPECT_TRUE(MenuGrayed(ID_TOOLS_RESTORE_DEFAULTS));
}

TEST_F(RestoreDefaultsTest, DefaultsAndModesReachTheCameraAndTheControls) {
    StartCamera(kCamera);
    // The user has switched both automatic modes off and rotated the picture.
    ClickBox(IDC_AUTO_EXPOSURE);
    ClickBox(IDC_AUTO_WB);
    ClickBox(IDC_ROTATE_180);
    ASSERT_EQ(Dlg().m_aecOn, 0);
    ASSERT_EQ(Dlg().m_awbOn, 0);
    ASSERT_EQ(Dlg().m_rotate180, 1);
    ClearTrace();
    Mark();

    Restore();
    EXPECT_EQ(Since(), kAllSet + L"AEC Mode is set to ON\r\nAWB Mode is ON\r\nRotate Image 180 is set to OFF\r\n"
                                 L"Camera defaults restored.\r\n");
    for (const char* call : {"SonixCam_PropertySet(0, -3, 0) = 0", "SonixCam_PropertySet(8, 120, 1) = 0",
                             "SonixCam_ControlSet(4, -6, 1) = 0", "SonixCam_PropertySet(7, 0, 1) = 0",
                             "SonixCam_ControlSet(2, 0, 2) = 0"})
        EXPECT_TRUE(TraceHas(call)) << call;
    EXPECT_EQ(Current(0), -3);
    EXPECT_EQ(Current(5), 110);

    // Fields, edits and slider thumbs show the defaults.
    EXPECT_EQ(Dlg().m_brightness, -3);
    EXPECT_EQ(Dlg().m_brightnessPos, -3);
    EXPECT_EQ(Text(IDC_BRIGHTNESS_EDIT), L"-3");
    EXPECT_EQ(SliderPos(IDC_BRIGHTNESS_SLIDER), -3);
    EXPECT_EQ(Text(IDC_GAMMA_EDIT), L"110");
    EXPECT_EQ(SliderPos(IDC_GAMMA_SLIDER), 110);
    EXPECT_EQ(SliderPos(IDC_AEC_TARGET_SLIDER), 120);
    // The modes, and the pairs they leave to the user.
    EXPECT_TRUE(Checked(IDC_AUTO_EXPOSURE));
    EXPECT_TRUE(Checked(IDC_AUTO_WB));
    EXPECT_FALSE(Checked(IDC_ROTATE_180));
    EXPECT_EQ(Dlg().m_rotate180, 0);
    EXPECT_TRUE(Enabled(IDC_AEC_TARGET_EDIT));
    EXPECT_FALSE(Enabled(IDC_MANUAL_EXPOSURE_SLIDER));
    EXPECT_FALSE(Enabled(IDC_GAIN_RED_EDIT));
    EXPECT_FALSE(Enabled(IDC_GAIN_BLUE_SLIDER));
    // A value already applied is not sent twice by a following slider move.
    Scroll(IDC_BRIGHTNESS_SLIDER, TB_THUMBPOSITION, -3);
    EXPECT_NE(Dlg().m_statusText.find(L"Skip setting Brighness\r\n"), std::wstring::npos);
    EXPECT_TRUE(Prompts().Messages().empty());
}

TEST_F(RestoreDefaultsTest, FailedStepsAreCountedAndTheOthersStillRun) {
    struct Case {
        const char* name;
        std::string firmware;
        std::string faults;
        std::wstring lines;
        bool rotationSent;
    };
    const Case cases[] = {
        {"default unreadable", "Vorn-Corvanith-211015K-1.3", "SonixCam_PropertyGetRange.3 = always\n",
         L"Set Brightness to -3 successfully\r\nSet Contrast to 31 successfully\r\n"
         L"Failed to get Saturation default value\r\nSet Sharpness to 2 successfully\r\n"
         L"Set Gamma to 110 successfully\r\nSet AEC Target to 120 successfully\r\n"
         L"AEC Mode is set to ON\r\nAWB Mode is ON\r\nRotate Image 180 is set to OFF\r\n"
         L"Camera defaults: 1 of 9 steps failed.\r\n",
         true},
        {"set and switch refused", "Vorn-Corvanith-211015K-1.3",
         "SonixCam_PropertySet.0 = always\nSonixCam_ControlSet.4 = always\n",
         L"Failed to set Brightness to -3\r\nSet Contrast to 31 successfully\r\n"
         L"Set Saturation to 62 successfully\r\nSet Sharpness to 2 successfully\r\n"
         L"Set Gamma to 110 successfully\r\nSet AEC Target to 120 successfully\r\n"
         L"Set AEC Mode failed!\r\nAWB Mode is ON\r\nRotate Image 180 is set to OFF\r\n"
         L"Camera defaults: 2 of 9 steps failed.\r\n",
         true},
        {"no rotation in this firmware", "Vorn-Corvanith-210810K-1.0", "SonixCam_PropertySet.5 = always\n",
         L"Set Brightness to -3 successfully\r\nSet Contrast to 31 successfully\r\n"
         L"Set Saturation to 62 successfully\r\nSet Sharpness to 2 successfully\r\n"
         L"Failed to set Gamma to 110\r\nSet AEC Target to 120 successfully\r\n"
         L"AEC Mode is set to ON\r\nAWB Mode is ON\r\nCamera defaults: 1 of 8 steps failed.\r\n",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string scenario = kCamera;
        scenario.replace(scenario.find("Vorn-Corvanith-211015K-1.3"), 26, c.firmware);
        StartCamera(scenario + "[faults]\n" + c.faults);
        const int brightnessBefore = Dlg().m_brightness;
        const int saturationBefore = Dlg().m_saturation;
        Restore();
        EXPECT_EQ(Since(), c.lines);
        EXPECT_EQ(TraceHas("SonixCam_ControlSet(2, 0, 2)"), c.rotationSent);
        // A failed step leaves its field and slider where they were.
        if (c.lines.find(L"Failed to set Brightness") != std::wstring::npos) {
            EXPECT_EQ(Dlg().m_brightness, brightnessBefore);
            EXPECT_EQ(SliderPos(IDC_BRIGHTNESS_SLIDER), brightnessBefore);
        }
        if (c.lines.find(L"Saturation default") != std::wstring::npos) {
            EXPECT_EQ(Dlg().m_saturation, saturationBefore);
            EXPECT_EQ(Text(IDC_SATURATION_EDIT), std::to_wstring(saturationBefore));
        }
        // The status box shows the last line.
        EXPECT_NE(StatusBox().find(L"steps failed.\r\n"), std::wstring::npos);
        TearDown();
        SetUp();
    }
}

}  // namespace
}  // namespace vorn::test
