// The mode check boxes and the read-out of the camera's current values,
// against the simulated camera.
#include "property_test_support.h"

namespace vorn::test {
namespace {

const char kCamera[] =
    "[camera]\n"
    "firmware = Vorn-Corvanith-211015K-1.3\n"
    "awb_gains = 300 256 400\n";

std::string CameraWith(const std::string& lines) { return std::string(kCamera) + lines; }
std::string Faults(const std::string& lines) { return std::string(kCamera) + "[faults]\n" + lines; }

class ModeSwitchesTest : public PropertyWindowTest {};

// ---------------------------------------------------------------------------
// The start-up read-out.

TEST_F(ModeSwitchesTest, ReadOutOfACameraWithAutomaticExposureOn) {
    LoadScenario(kCamera);
    ASSERT_TRUE(Start());
    const std::wstring& status = Dlg().m_statusText;
    const std::wstring readOut =
        L"Current Brightness value is 0\r\nCurrent Contrast value is 32\r\nCurrent Saturation value is 64\r\n"
        L"Current Sharpness value is 3\r\nCurrent Gamma value is 100\r\nCurrent AEC Target value is 128\r\n"
        L"Current Color Gain Red value is 300\r\nCurrent Color Gain Blue value is 400\r\n"
        L"Current Manual Exposure value = -6\r\n AEC Mode is ON\r\nAWB Mode is ON\r\n";
    ASSERT_GE(status.size(), readOut.size());
    EXPECT_EQ(status.substr(status.size() - readOut.size()), readOut);
    // Nothing asked the camera to change its exposure mode.
    EXPECT_FALSE(TraceHas("SonixCam_ControlSet(4, "));
    EXPECT_TRUE(TraceHas("SonixCam_PropertySet(7, 0, 1) = 0"));
    // Fields, sliders and boxes show the values once the start-up refreshed.
    EXPECT_EQ(Dlg().m_gammaPos, 100);
    EXPECT_EQ(SliderPos(IDC_GAMMA_SLIDER), 100);
    EXPECT_EQ(Text(IDC_GAMMA_EDIT), L"100");
    EXPECT_EQ(Dlg().m_gainRed, 300);
    EXPECT_EQ(SliderPos(IDC_GAIN_BLUE_SLIDER), 400);
    EXPECT_EQ(Dlg().m_manualExposure, -6);
    EXPECT_EQ(SliderPos(IDC_MANUAL_EXPOSURE_SLIDER), -6);
}

TEST_F(ModeSwitchesTest, ReadOutOfACameraWithAutomaticExposureOffTurnsItOn) {
    LoadScenario(CameraWith("control.4 = -9 2\n"));
    ASSERT_TRUE(Start());
    const std::wstring& status = Dlg().m_statusText;
    const std::wstring tail =
        L"Current Manual Exposure value = -9\r\n AEC Mode is OFF\r\nAEC Mode is set to ON\r\nAWB Mode is ON\r\n";
    ASSERT_GE(status.size(), tail.size());
    EXPECT_EQ(status.substr(status.size() - tail.size()), tail);
    EXPECT_TRUE(TraceHas("SonixCam_ControlSet(4, -6, 1) = 0"));
}

TEST_F(ModeSwitchesTest, ReadOutWithTheBoxesClearSaysWhatWasDone) {
    // Both modes switched off by the user, then a read-out as a camera
    // start runs it.
    StartLive(kCamera);
    ClickBox(IDC_AUTO_EXPOSURE);
    ClickBox(IDC_AUTO_WB);
    ASSERT_EQ(Dlg().m_aecOn, 0);
    ASSERT_EQ(Dlg().m_awbOn, 0);
    Mark();
    ClearTrace();
    Dlg().ReadCurrentValues();
    EXPECT_NE(Since().find(L" AEC Mode is OFF\r\nAEC Mode is set to OFF\r\nAWB Mode is OFF\r\n"), std::wstring::npos);
    EXPECT_EQ(Since().find(L"ON"), std::wstring::npos);
    EXPECT_TRUE(TraceHas("SonixCam_ControlSet(4, -6, 2) = 0"));
    EXPECT_FALSE(TraceHas("SonixCam_PropertySet(7, 0, 1)"));
}

TEST_F(ModeSwitchesTest, ReadOutSkipsFailedAndOutOfRangeValuesSilently) {
    struct Case {
        const char* name;
        std::string scenario;
        const wchar_t* absent;
        const wchar_t* present;
    } cases[] = {
        // The window keeps 0..100 for brightness; the camera reports 200.
        {"out of range", CameraWith("property.0 = 200 0 255 1 0 2\n[faults]\nSonixCam_PropertyGetRange.0 = always\n"),
         L"Current Brightness", L"Current Contrast value is 32\r\n"},
        {"failed get", Faults("SonixCam_PropertyGet.5 = always\n"), L"Current Gamma", L"Current AEC Target value"},
        // Without the exposure mode neither the exposure nor the AEC lines come.
        {"failed AEC query", Faults("SonixCam_ControlGet.4 = always\n"), L"AEC Mode", L"AWB Mode is ON\r\n"},
        {"failed AWB switch", Faults("SonixCam_PropertySet.7 = always\n"), L"AWB Mode", L" AEC Mode is ON\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadScenario(c.scenario);
        ASSERT_TRUE(Start());
        EXPECT_EQ(Dlg().m_statusText.find(c.absent), std::wstring::npos);
        EXPECT_NE(Dlg().m_statusText.find(c.present), std::wstring::npos);
        EXPECT_TRUE(Prompts().Messages().empty());
        TearDown();
        SetUp();
    }
}

TEST_F(ModeSwitchesTest, OutOfRangeBrightnessLeavesTheSliderWhereItWas) {
    LoadScenario(CameraWith("property.0 = 200 0 255 1 0 2\n[faults]\nSonixCam_PropertyGetRange.0 = always\n"));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Dlg().m_brightness, 0);
    EXPECT_EQ(Dlg().m_brightnessPos, 0);
    EXPECT_EQ(SliderPos(IDC_BRIGHTNESS_SLIDER), 0);
}

TEST_F(ModeSwitchesTest, IlluminationStateComesFromTheCamera) {
    // The camera's control counts 0 as lit.
    for (int control : {0, 1}) {
        SCOPED_TRACE(control);
        LoadScenario(CameraWith("control.6 = " + std::to_string(control) + "\n"));
        WriteSettings("illuminate=TRUE\n");
        ASSERT_TRUE(Start());
        EXPECT_EQ(Dlg().m_illuminationOn, control == 0 ? 1 : 0);
        EXPECT_EQ(Checked(IDC_ILLUMINATION), control == 0);
        TearDown();
        SetUp();
    }
}

// ---------------------------------------------------------------------------
// The check boxes.

TEST_F(ModeSwitchesTest, AutoExposureDecidesWhichExposurePairIsLive) {
    StartLive(kCamera);
    ClickBox(IDC_AUTO_EXPOSURE);
    EXPECT_EQ(Dlg().m_aecOn, 0);
    EXPECT_FALSE(Checked(IDC_AUTO_EXPOSURE));
    EXPECT_TRUE(Enabled(IDC_MANUAL_EXPOSURE_EDIT));
    EXPECT_TRUE(Enabled(IDC_MANUAL_EXPOSURE_SLIDER));
    EXPECT_FALSE(Enabled(IDC_AEC_TARGET_EDIT));
    EXPECT_FALSE(Enabled(IDC_AEC_TARGET_SLIDER));
    EXPECT_EQ(Since(), L"");
    EXPECT_TRUE(TraceHas("SonixCam_ControlSet(4, -6, 2) = 0"));

    ClickBox(IDC_AUTO_EXPOSURE);
    EXPECT_EQ(Dlg().m_aecOn, 1);
    EXPECT_TRUE(Enabled(IDC_AEC_TARGET_SLIDER));
    EXPECT_FALSE(Enabled(IDC_MANUAL_EXPOSURE_EDIT));
    EXPECT_TRUE(TraceHas("SonixCam_ControlSet(4, -6, 1) = 0"));
}

TEST_F(ModeSwitchesTest, RefusedSwitchWritesItsLineAndPutsTheBoxBack) {
    struct Case {
        const char* name;
        const char* fault;
        int box;
        int32_t CVornControlsDlg::*field;
        const wchar_t* line;
        int keptLive;  // a control whose enabling must not change
    } cases[] = {
        {"auto exposure", "SonixCam_ControlSet.4", IDC_AUTO_EXPOSURE, &CVornControlsDlg::m_aecOn,
         L"Set AEC Mode failed!\r\n", IDC_AEC_TARGET_EDIT},
        {"auto white balance", "SonixCam_PropertySet.7", IDC_AUTO_WB, &CVornControlsDlg::m_awbOn,
         L"Set AWB Mode failed!\r\n", IDC_GAIN_BLUE_EDIT},
        {"illumination", "SonixCam_ControlSet.6", IDC_ILLUMINATION, &CVornControlsDlg::m_illuminationOn,
         L"Set Ilumination failed!\r\n", 0},
        {"rotation", "SonixCam_ControlSet.2", IDC_ROTATE_180, &CVornControlsDlg::m_rotate180, L"Rotation failed!\r\n",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The read-out at start-up sets the white balance once; only the
        // click's call is refused.
        const std::string rule = std::string(c.fault) + (c.box == IDC_AUTO_WB ? " = 2\n" : " = always\n");
        WriteSettings("illuminate=TRUE\n");
        StartLive(Faults(rule));
        const int before = Dlg().*c.field;
        const bool live = c.keptLive ? Enabled(c.keptLive) : false;
        ClickBox(c.box);
        EXPECT_EQ(Dlg().*c.field, before);
        EXPECT_EQ(Checked(c.box), before != 0);
        EXPECT_EQ(Since(), c.line);
        EXPECT_NE(StatusBox().find(c.line), std::wstring::npos);
        if (c.keptLive) {
            EXPECT_EQ(Enabled(c.keptLive), live);
        }
        EXPECT_TRUE(Prompts().Messages().empty());
        TearDown();
        SetUp();
    }
}

TEST_F(ModeSwitchesTest, WhiteBalanceOffShowsTheCameraGainsAndOnLocksThem) {
    StartLive(kCamera);
    // The edits and sliders show something else before the switch.
    Dlg().m_gainRed = Dlg().m_gainRedPos = 200;
    Dlg().m_gainBlue = Dlg().m_gainBluePos = 201;
    Dlg().UpdateData(false);
    ClearTrace();
    ClickBox(IDC_AUTO_WB);
    EXPECT_EQ(Dlg().m_awbOn, 0);
    EXPECT_EQ(Text(IDC_GAIN_RED_EDIT), L"300");
    EXPECT_EQ(Text(IDC_GAIN_BLUE_EDIT), L"400");
    EXPECT_EQ(SliderPos(IDC_GAIN_RED_SLIDER), 300);
    EXPECT_EQ(SliderPos(IDC_GAIN_BLUE_SLIDER), 400);
    EXPECT_EQ(Dlg().m_gainBluePos, 400);
    for (int id = IDC_GAIN_BLUE_EDIT; id <= IDC_GAIN_RED_SLIDER; ++id) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_EQ(Since(), L"");
    // Writing the gains into the boxes does not send them back.
    EXPECT_FALSE(TraceHas("SonixCam_ControlSet(0, "));
    EXPECT_FALSE(TraceHas("SonixCam_ControlSet(1, "));

    ClearTrace();
    ClickBox(IDC_AUTO_WB);
    EXPECT_EQ(Dlg().m_awbOn, 1);
    for (int id = IDC_GAIN_BLUE_EDIT; id <= IDC_GAIN_RED_SLIDER; ++id) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(TraceHas("SonixCam_AsicRegisterRead(49210"));
    EXPECT_EQ(Since(), L"");
}

TEST_F(ModeSwitchesTest, WhiteBalanceOffWithUnreadableGainsKeepsTheOldOnes) {
    // 0xC03A holds the blue gain, 0xC036 the red one.
    StartLive(Faults("SonixCam_AsicRegisterRead.49210 = 2\nSonixCam_AsicRegisterRead.49206 = 2\n"));
    const int red = Dlg().m_gainRed, blue = Dlg().m_gainBlue;
    ClickBox(IDC_AUTO_WB);
    EXPECT_EQ(Dlg().m_awbOn, 0);
    EXPECT_EQ(Since(), L"Failed to get Color Gain Blue value\r\nFailed to get Color Gain Red value\r\n");
    EXPECT_EQ(Dlg().m_gainRed, red);
    EXPECT_EQ(Dlg().m_gainBlue, blue);
    EXPECT_TRUE(Enabled(IDC_GAIN_RED_EDIT));
}

TEST_F(ModeSwitchesTest, RotationWithOldFirmwareIsIgnored) {
    StartLive("[camera]\nfirmware = Vorn-Corvanith-210801K-1.0\n");
    ASSERT_FALSE(Dlg().m_rotateSupported);
    ClickBox(IDC_ROTATE_180);
    EXPECT_EQ(Dlg().m_rotate180, 0);
    EXPECT_FALSE(TraceHas("SonixCam_ControlSet(2, "));
    EXPECT_EQ(Since(), L"");
}

TEST_F(ModeSwitchesTest, RotationAndIlluminationSwitchTheCamera) {
    WriteSettings("illuminate=TRUE\n");
    StartLive(kCamera);
    ClickBox(IDC_ROTATE_180);
    EXPECT_EQ(Dlg().m_rotate180, 1);
    EXPECT_TRUE(TraceHas("SonixCam_ControlSet(2, 3, 2) = 0"));
    const int lit = Dlg().m_illuminationOn;
    ClickBox(IDC_ILLUMINATION);
    EXPECT_EQ(Dlg().m_illuminationOn, lit ? 0 : 1);
    EXPECT_TRUE(TraceHas(lit ? "SonixCam_ControlSet(6, 1, 0) = 0" : "SonixCam_ControlSet(6, 0, 0) = 0"));
    EXPECT_TRUE(Dlg().IsIlluminationShown());
    EXPECT_EQ(Since(), L"");
}

TEST_F(ModeSwitchesTest, ShowStatusShowsEverythingAndWarnsAboutABadNumberFirst) {
    StartLive(CameraWith("property.0 = 0 0 255 1 0 2\n[faults]\nSonixCam_PropertyGetRange.0 = always\n"));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_STATUS)));
    Replace(IDC_BRIGHTNESS_EDIT, L"150");
    Prompts().Clear();
    ClickBox(IDC_SHOW_STATUS);
    auto boxes = Prompts().Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Invalid Brightness Value");
    EXPECT_EQ(Dlg().m_showStatus, 1);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_STATUS)));
    // Lines written while it was hidden are all there.
    EXPECT_NE(StatusBox().find(L"Contrast range: 0 - 95\r\n"), std::wstring::npos);
    EXPECT_NE(StatusBox().find(L"Set Brightness to 150 successfully\r\n"), std::wstring::npos);

    // A number that is not one does not keep the box from hiding.
    Replace(IDC_CONTRAST_EDIT, L"x");
    Prompts().Clear();
    ClickBox(IDC_SHOW_STATUS);
    EXPECT_EQ(Dlg().m_showStatus, 0);
    EXPECT_FALSE(IsWindowVisible(Item(IDC_STATUS)));
    EXPECT_EQ(Prompts().Messages().size(), 1u);
}

}  // namespace
}  // namespace vorn::test
