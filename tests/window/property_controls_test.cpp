// The nine property pairs: ranges at start-up, sliders and edit boxes
// driving the camera, the half-typed-number rule, the integer prompt and the
// range warning, against the simulated camera.
#include "property_test_support.h"

namespace vorn::test {
namespace {

const char kCamera[] =
    "[camera]\n"
    "firmware = Vorn-Corvanith-211015K-1.3\n";

std::string CameraWith(const std::string& lines) { return std::string(kCamera) + lines; }

std::string Faults(const std::string& lines) { return std::string(kCamera) + "[faults]\n" + lines; }

// One property as the user and the camera see it.
struct Pair {
    const char* name;
    int edit;
    int slider;
    const char* setFault;    // the vendor call that refuses the set
    std::string traceOf(int v) const { return trace + std::to_string(v) + traceTail; }
    std::string trace;       // the vendor call a set makes, up to the value
    std::string traceTail;
    const wchar_t* success;  // formats with %d
    const wchar_t* sliderFailure;
    const wchar_t* editFailure;
    const wchar_t* skip;
};

const Pair kPairs[] = {
    {"AEC Target", IDC_AEC_TARGET_EDIT, IDC_AEC_TARGET_SLIDER, "SonixCam_PropertySet.8", "SonixCam_PropertySet(8, ",
     ", 1) = ", L"Set AEC Target to %d successfully\r\n", L"Failed to set AEC Target to %d\r\n",
     L"Failed to set AEC Target to %d\r\n", L"Skip setting AEC Target\r\n"},
    {"Manual Exposure", IDC_MANUAL_EXPOSURE_EDIT, IDC_MANUAL_EXPOSURE_SLIDER, "SonixCam_ControlSet.4",
     "SonixCam_ControlSet(4, ", ", 2) = ", L"Set Manual Exposure to %d successfully\r\n",
     L"Failed to set Manual Exposure to %d\r\n", L"Failed to set Manual Exposure to %d\r\n",
     L"Skip setting Manual Exposure\r\n"},
    {"Color Gain Blue", IDC_GAIN_BLUE_EDIT, IDC_GAIN_BLUE_SLIDER, "SonixCam_ControlSet.0", "SonixCam_ControlSet(0, ",
     ", 2) = ", L"Set Color Gain Blue to %d successfully\r\n", L"Failed to set Color Gain Blue to %d\r\n",
     L"Failed to set Color Gain Blue to %d\r\n", L"Skip setting Color Gain Blue\r\n"},
    {"Color Gain Red", IDC_GAIN_RED_EDIT, IDC_GAIN_RED_SLIDER, "SonixCam_ControlSet.1", "SonixCam_ControlSet(1, ",
     ", 2) = ", L"Set Color Gain Red to %d successfully\r\n", L"Failed to set Color Gain Red to %d\r\n",
     L"Failed to set Color Gain Red to %d\r\n", L"Skip setting Color Gain Red\r\n"},
    {"Brightness", IDC_BRIGHTNESS_EDIT, IDC_BRIGHTNESS_SLIDER, "SonixCam_PropertySet.0", "SonixCam_PropertySet(0, ",
     ", 0) = ", L"Set Brightness to %d successfully\r\n", L"Failed to set Brightness to %d\r\n",
     L"Failed to setBrightness to %d\r\n", L"Skip setting Brighness\r\n"},
    {"Contrast", IDC_CONTRAST_EDIT, IDC_CONTRAST_SLIDER, "SonixCam_PropertySet.1", "SonixCam_PropertySet(1, ",
     ", 0) = ", L"Set Contrast to %d successfully\r\n", L"Failed to set Contrast to %d\r\n",
     L"Failed to set Contrast to %d\r\n", L"Skip setting Contrast\r\n"},
    {"Saturation", IDC_SATURATION_EDIT, IDC_SATURATION_SLIDER, "SonixCam_PropertySet.3", "SonixCam_PropertySet(3, ",
     ", 0) = ", L"Set Saturation to %d successfully\r\n", L"Failed to set Saturation to %d\r\n",
     L"Failed to set Saturation to %d\r\n", L"Skip setting Saturation\r\n"},
    {"Sharpness", IDC_SHARPNESS_EDIT, IDC_SHARPNESS_SLIDER, "SonixCam_PropertySet.4", "SonixCam_PropertySet(4, ",
     ", 0) = ", L"Set Sharpness to %d successfully\r\n", L"Failed to set Sharpness to %d\r\n",
     L"Failed to set Sharpness to %d\r\n", L"Skip setting Sharpness\r\n"},
    {"Gamma", IDC_GAMMA_EDIT, IDC_GAMMA_SLIDER, "SonixCam_PropertySet.5", "SonixCam_PropertySet(5, ", ", 0) = ",
     L"Set Gamma to %d successfully\r\n", L"Failed to set Gamma to %d\r\n", L"Failed to set Gamma to %d\r\n",
     L"Skip setting Gamma\r\n"},
};

std::wstring F(const wchar_t* format, int v) {
    wchar_t buf[128] = {};
    swprintf(buf, 128, format, v);
    return buf;
}

class PropertyControlsTest : public PropertyWindowTest {};

// ---------------------------------------------------------------------------
// Start-up: the resolutions and the nine ranges.

TEST_F(PropertyControlsTest, StartupReportsResolutionsAndAllNineRangesInOrder) {
    LoadScenario(kCamera);
    ASSERT_TRUE(Start());
    const std::wstring& status = Dlg().m_statusText;
    const wchar_t* lines[] = {
        L"No. 0: resolution = 1280 * 800\r\n", L"No. 4: resolution = 320 * 240\r\n",
        L"Brightness range: -64 - 64\r\n",     L"Contrast range: 0 - 95\r\n",
        L"Saturation range: 0 - 100\r\n",      L"Sharpness range: 0 - 7\r\n",
        L"Gamma range: 72 - 500\r\n",          L"AEC Target range: 0 - 255\r\n",
        L"Manual Exposure range: -13 - -1\r\n", L"Color Gain Blue range: 128 - 511\r\n",
        L"Color Gain Red range: 128 - 511\r\n",
    };
    size_t at = 0;
    for (size_t i = 0; i < std::size(lines); ++i) {
        SCOPED_TRACE(testing::Message() << "line " << i);
        size_t found = status.find(lines[i], at);
        ASSERT_NE(found, std::wstring::npos);
        at = found;
    }
    struct Range {
        int slider, min, max;
        PropertyRange CVornControlsDlg::*field;
    } ranges[] = {
        {IDC_BRIGHTNESS_SLIDER, -64, 64, &CVornControlsDlg::m_brightnessRange},
        {IDC_CONTRAST_SLIDER, 0, 95, &CVornControlsDlg::m_contrastRange},
        {IDC_SATURATION_SLIDER, 0, 100, &CVornControlsDlg::m_saturationRange},
        {IDC_SHARPNESS_SLIDER, 0, 7, &CVornControlsDlg::m_sharpnessRange},
        {IDC_GAMMA_SLIDER, 72, 500, &CVornControlsDlg::m_gammaRange},
        {IDC_AEC_TARGET_SLIDER, 0, 255, &CVornControlsDlg::m_aecTargetRange},
        {IDC_MANUAL_EXPOSURE_SLIDER, -13, -1, &CVornControlsDlg::m_exposureRange},
        {IDC_GAIN_BLUE_SLIDER, 128, 511, &CVornControlsDlg::m_gainBlueRange},
        {IDC_GAIN_RED_SLIDER, 128, 511, &CVornControlsDlg::m_gainRedRange},
    };
    for (const Range& r : ranges) {
        SCOPED_TRACE(r.slider);
        EXPECT_EQ(SliderMin(r.slider), r.min);
        EXPECT_EQ(SliderMax(r.slider), r.max);
        EXPECT_EQ((Dlg().*r.field).min, r.min);
        EXPECT_EQ((Dlg().*r.field).max, r.max);
    }
}

TEST_F(PropertyControlsTest, FailedRangeAndResolutionCallsWriteNoLineAndKeepTheDefaults) {
    // The camera's own limits differ from the window's, and the fixed ones
    // are never asked for.
    LoadScenario(CameraWith("property.0 = 0 -10 10 1 0 2\n[faults]\nSonixCam_PropertyGetRange.0 = always\n"
                            "SonixCam_GetPreviewResolutionInfo.1 = always\n"));
    ASSERT_TRUE(Start());
    const std::wstring& status = Dlg().m_statusText;
    EXPECT_EQ(status.find(L"Brightness range"), std::wstring::npos);
    EXPECT_EQ(SliderMin(IDC_BRIGHTNESS_SLIDER), 0);
    EXPECT_EQ(SliderMax(IDC_BRIGHTNESS_SLIDER), 100);
    EXPECT_EQ(Dlg().m_brightnessRange.min, 0);
    EXPECT_EQ(Dlg().m_brightnessRange.max, 100);
    EXPECT_NE(status.find(L"Contrast range: 0 - 95\r\n"), std::wstring::npos);
    // The record the camera did not fill is not reported, the others are.
    EXPECT_EQ(status.find(L"No. 1:"), std::wstring::npos);
    EXPECT_EQ(status.find(L"0 * 0"), std::wstring::npos);
    EXPECT_NE(status.find(L"No. 0: resolution = 1280 * 800\r\n"), std::wstring::npos);
    EXPECT_NE(status.find(L"No. 2: resolution = 800 * 600\r\n"), std::wstring::npos);
    EXPECT_FALSE(TraceHas("SonixCam_ControlGetRange"));
}

// ---------------------------------------------------------------------------
// Sliders.

TEST_F(PropertyControlsTest, DragAppliesEveryPositionAndEndsWithOneSkipLine) {
    StartLive(kCamera);
    Drag(IDC_BRIGHTNESS_SLIDER, 0, 3);
    EXPECT_EQ(Since(),
              L"Set Brightness to 1 successfully\r\nSet Brightness to 2 successfully\r\n"
              L"Set Brightness to 3 successfully\r\nSkip setting Brighness\r\n");
    EXPECT_EQ(TraceCount("SonixCam_PropertySet(0, "), 3);
    EXPECT_TRUE(TraceHas("SonixCam_PropertySet(0, 2, 0) = 0"));
    EXPECT_EQ(Dlg().m_brightness, 3);
    EXPECT_EQ(Dlg().m_brightnessPos, 3);
    EXPECT_EQ(Text(IDC_BRIGHTNESS_EDIT), L"3");
    // The skip line waits for the next refresh.
    EXPECT_EQ(Count(StatusBox(), L"Skip setting Brighness"), 0);
    Drag(IDC_CONTRAST_SLIDER, 32, 33);
    EXPECT_EQ(Count(StatusBox(), L"Skip setting Brighness\r\nSet Contrast to 33 successfully\r\n"), 1);
}

TEST_F(PropertyControlsTest, ArrowKeysMoveTheSliderAndSkipAtTheEnd) {
    StartLive(kCamera);
    SliderKey(IDC_SHARPNESS_SLIDER, VK_RIGHT);
    EXPECT_EQ(Since(), L"Set Sharpness to 4 successfully\r\n");
    EXPECT_TRUE(TraceHas("SonixCam_PropertySet(4, 4, 0) = 0"));
    Drag(IDC_SHARPNESS_SLIDER, 4, 7);
    Mark();
    ClearTrace();
    // At the end the trackbar still reports the key (TB_LINEDOWN at its
    // maximum), as the common controls of Windows do.
    Scroll(IDC_SHARPNESS_SLIDER, TB_LINEDOWN, 7);
    EXPECT_EQ(Since(), L"Skip setting Sharpness\r\n");
    EXPECT_FALSE(TraceHas("SonixCam_PropertySet"));
    // A keystroke in a box whose text is not pending reads the controls
    // first, which drops the unshown skip line.
    const std::wstring shown = StatusBox();
    Replace(IDC_CONTRAST_EDIT, L"40");
    EXPECT_EQ(Dlg().m_statusText, shown + L"Set Contrast to 40 successfully\r\n");
}

TEST_F(PropertyControlsTest, EachSliderSetsItsPropertyOrSpringsBackWithItsOwnTexts) {
    for (const Pair& p : kPairs) {
        SCOPED_TRACE(p.name);
        for (bool refuse : {false, true}) {
            SCOPED_TRACE(refuse ? "refused" : "accepted");
            StartLive(refuse ? Faults(std::string(p.setFault) + " = always\n") : std::string(kCamera));
            const int before = SliderPos(p.slider);
            const int to = before + 1;
            SendMessageW(Item(p.slider), TBM_SETPOS, TRUE, to);
            Scroll(p.slider, TB_THUMBPOSITION, to);
            if (refuse) {
                EXPECT_EQ(Since(), F(p.sliderFailure, to));
                EXPECT_EQ(SliderPos(p.slider), before);
                EXPECT_TRUE(TraceHas(p.traceOf(to) + "1"));
            } else {
                EXPECT_EQ(Since(), F(p.success, to));
                EXPECT_EQ(SliderPos(p.slider), to);
                EXPECT_EQ(Text(p.edit), std::to_wstring(to));
                EXPECT_TRUE(TraceHas(p.traceOf(to) + "0"));
                Scroll(p.slider, TB_THUMBPOSITION, to);
                EXPECT_EQ(Since(), F(p.success, to) + p.skip);
            }
            // The whole outcome is in view: the box was refreshed and scrolled.
            EXPECT_NE(StatusBox().find(F(refuse ? p.sliderFailure : p.success, to)), std::wstring::npos);
            TearDown();
            SetUp();
        }
    }
}

TEST_F(PropertyControlsTest, EndTrackAndForeignScrollbarsWriteNothing) {
    StartLive(kCamera);
    Scroll(IDC_BRIGHTNESS_SLIDER, TB_ENDTRACK, 0);
    SendMessageW(Hwnd(), WM_HSCROLL, MAKEWPARAM(TB_LINEDOWN, 0), 0);
    Pump();
    EXPECT_EQ(Since(), L"");
    EXPECT_TRUE(Trace().empty());
}

// ---------------------------------------------------------------------------
// Edit boxes.

TEST_F(PropertyControlsTest, EachEditBoxSetsItsPropertyWithItsOwnTexts) {
    for (const Pair& p : kPairs) {
        SCOPED_TRACE(p.name);
        for (bool refuse : {false, true}) {
            SCOPED_TRACE(refuse ? "refused" : "accepted");
            StartLive(refuse ? Faults(std::string(p.setFault) + " = always\n") : std::string(kCamera));
            // Every pair typed into must be live; the gains and manual
            // exposure are behind their automatic modes.
            if (p.edit == IDC_MANUAL_EXPOSURE_EDIT) ClickBox(IDC_AUTO_EXPOSURE);
            if (p.edit == IDC_GAIN_BLUE_EDIT || p.edit == IDC_GAIN_RED_EDIT) ClickBox(IDC_AUTO_WB);
            Mark();
            ClearTrace();
            const int before = SliderPos(p.slider);
            const int to = before + 1;
            Replace(p.edit, std::to_wstring(to));
            if (refuse) {
                EXPECT_EQ(Since(), F(p.editFailure, to));
                EXPECT_EQ(SliderPos(p.slider), before);
                EXPECT_EQ(Text(p.edit), std::to_wstring(to));
            } else {
                EXPECT_EQ(Since(), F(p.success, to));
                EXPECT_EQ(SliderPos(p.slider), to);
                EXPECT_TRUE(TraceHas(p.traceOf(to) + "0"));
            }
            EXPECT_TRUE(Prompts().Messages().empty());
            TearDown();
            SetUp();
        }
    }
}

TEST_F(PropertyControlsTest, HalfTypedNumbersSendNothing) {
    StartLive(kCamera);
    ClickBox(IDC_AUTO_WB);
    ClickBox(IDC_AUTO_EXPOSURE);
    Mark();
    ClearTrace();

    // Gamma: one digit, then 15, are too short to mean anything; 150 is sent.
    Replace(IDC_GAMMA_EDIT, L"");
    Type(IDC_GAMMA_EDIT, L"15");
    EXPECT_EQ(Since(), L"");
    Type(IDC_GAMMA_EDIT, L"0");
    EXPECT_EQ(Since(), L"Set Gamma to 150 successfully\r\n");
    Replace(IDC_GAMMA_EDIT, L"50");
    EXPECT_EQ(Count(Since(), L"Gamma to 50"), 0);

    // Colour gain: the single 5 waits, 52 goes (with its warning), 51 waits.
    Mark();
    Replace(IDC_GAIN_BLUE_EDIT, L"");
    Type(IDC_GAIN_BLUE_EDIT, L"5");
    EXPECT_EQ(Since(), L"");
    Type(IDC_GAIN_BLUE_EDIT, L"2");
    EXPECT_EQ(Since(), L"Failed to set Color Gain Blue to 52\r\n");
    // The read validates every box: the 50 left in Gamma warns as well.
    auto boxes = Prompts().Messages();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, L"Invalid Gamma Value");
    EXPECT_EQ(boxes[0].text, L"Enter an integer between 72 and 500\r\n");
    EXPECT_EQ(boxes[1].text, L"Enter an integer between 128 and 511\r\n");
    EXPECT_EQ(boxes[1].caption, L"Invalid Color Gain Blue Value");
    EXPECT_EQ(boxes[1].flags, static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK));
    Mark();
    Prompts().Clear();
    Replace(IDC_GAIN_RED_EDIT, L"51");
    EXPECT_EQ(Since(), L"");
    EXPECT_TRUE(Prompts().Messages().empty());

    // A lone minus where the range goes negative, and an empty box.
    Replace(IDC_MANUAL_EXPOSURE_EDIT, L"-");
    Replace(IDC_BRIGHTNESS_EDIT, L"-");
    Replace(IDC_CONTRAST_EDIT, L"");
    EXPECT_EQ(Since(), L"");
    EXPECT_TRUE(Prompts().Messages().empty());
    EXPECT_FALSE(TraceHas("SonixCam_PropertySet(0, ") || TraceHas("SonixCam_ControlSet(4, ") ||
                 TraceHas("SonixCam_ControlSet(1, ") || TraceHas("SonixCam_PropertySet(1, "));
}

TEST_F(PropertyControlsTest, TextThatIsNotAnIntegerPromptsAndHoldsTheFocus) {
    StartLive(kCamera);
    struct Case {
        const char* name;
        int edit;
        const wchar_t* text;
    } cases[] = {
        {"minus where the range has no negatives", IDC_CONTRAST_EDIT, L"-"},
        {"letters", IDC_SATURATION_EDIT, L"4x"},
        {"a fraction", IDC_AEC_TARGET_EDIT, L"12.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prompts().Clear();
        ClearTrace();
        Mark();
        Replace(c.edit, c.text);
        auto boxes = Prompts().Messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, L"Enter an integer.");
        EXPECT_EQ(GetFocus(), Item(c.edit));
        DWORD start = 0, end = 0;
        SendMessageW(Item(c.edit), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, wcslen(c.text));
        EXPECT_EQ(Since(), L"");
        EXPECT_FALSE(TraceHas("Set("));
        // Put it right again for the next case.
        Replace(c.edit, std::to_wstring(SliderPos(c.edit + 1)));
    }
}

TEST_F(PropertyControlsTest, ABadBoxBlocksTheBoxesAfterItButNotThoseBefore) {
    StartLive(kCamera);
    Replace(IDC_CONTRAST_EDIT, L"abc");
    Prompts().Clear();
    Mark();
    ClearTrace();

    // Sharpness comes after contrast in the exchange: it is never read.
    Replace(IDC_SHARPNESS_EDIT, L"5");
    EXPECT_EQ(Since(), L"");
    EXPECT_FALSE(TraceHas("SonixCam_PropertySet"));
    ASSERT_EQ(Prompts().Messages().size(), 1u);
    EXPECT_EQ(GetFocus(), Item(IDC_CONTRAST_EDIT));

    // Brightness comes before it: it is sent, and the refresh replaces the
    // bad text with contrast's last value.
    Replace(IDC_BRIGHTNESS_EDIT, L"9");
    EXPECT_EQ(Since(), L"Set Brightness to 9 successfully\r\n");
    EXPECT_EQ(Text(IDC_CONTRAST_EDIT), L"32");
}

TEST_F(PropertyControlsTest, OutOfRangeNumberWarnsOnEveryReadAndIsStillSent) {
    // The camera takes 0..255 but does not say so: the window keeps 0..100.
    StartLive(CameraWith("property.0 = 0 0 255 1 0 2\n[faults]\nSonixCam_PropertyGetRange.0 = always\n"));
    Replace(IDC_BRIGHTNESS_EDIT, L"150");
    auto boxes = Prompts().Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Enter an integer between 0 and 100\r\n");
    EXPECT_EQ(boxes[0].caption, L"Invalid Brightness Value");
    EXPECT_EQ(boxes[0].owner, Hwnd());
    EXPECT_EQ(Since(), L"Set Brightness to 150 successfully\r\n");
    EXPECT_TRUE(TraceHas("SonixCam_PropertySet(0, 150, 0) = 0"));
    EXPECT_EQ(Dlg().m_brightnessPos, 150);
    EXPECT_EQ(SliderPos(IDC_BRIGHTNESS_SLIDER), 100);

    // Every later read warns again, whichever box caused it.
    Prompts().Clear();
    Replace(IDC_CONTRAST_EDIT, L"40");
    boxes = Prompts().Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Invalid Brightness Value");
}

TEST_F(PropertyControlsTest, RefusedEditKeepsTheTypedTextAndLeadingZerosAreRewritten) {
    StartLive(Faults("SonixCam_PropertySet.0 = always\n"));
    Replace(IDC_BRIGHTNESS_EDIT, L"12");
    EXPECT_EQ(Since(), L"Failed to setBrightness to 12\r\n");
    EXPECT_EQ(Text(IDC_BRIGHTNESS_EDIT), L"12");
    EXPECT_EQ(SliderPos(IDC_BRIGHTNESS_SLIDER), 0);
    EXPECT_EQ(Dlg().m_brightnessPos, 0);
    // The failed value was not applied, so the same text is tried again.
    Mark();
    Replace(IDC_BRIGHTNESS_EDIT, L"12");
    EXPECT_EQ(Since(), L"Failed to setBrightness to 12\r\n");

    Mark();
    Replace(IDC_CONTRAST_EDIT, L"007");
    EXPECT_EQ(Since(), L"Set Contrast to 7 successfully\r\n");
    EXPECT_EQ(Text(IDC_CONTRAST_EDIT), L"7");
    // The refresh does not echo the value back to the camera.
    EXPECT_EQ(TraceCount("SonixCam_PropertySet(1, "), 1);
}

}  // namespace
}  // namespace vorn::test
