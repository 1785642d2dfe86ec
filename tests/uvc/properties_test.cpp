// Picture property and mode exports: the vendor property and control calls
// they make, their range checks, and the register mode bits they switch on.
#include "uvc_fixture.h"

namespace vorn::test {
namespace {

struct PropertyRow {
    const char* name;
    int id;
    int writeFlags;
    int (*get)(int*);
    int (*set)(int);
    int (*range)(int*, int*);
    const char* getFailure;
    const char* setFailure;
    const char* rangeFailure;
    int (*dflt)(int*);
    const char* defaultFailure;
};

const PropertyRow kProperties[] = {
    {"Brightness", 0, 0, vorn_uvc_getBrightness, vorn_uvc_setBrightness, vorn_uvc_getBrightnessRange,
     "Failed to get Property Brightness current value", "Failed to set Property Brightness current value",
     "Failed to get Property Brightness range values", vorn_uvc_getBrightnessDefault,
     "Failed to get Property Brightness default value"},
    {"Contrast", 1, 0, vorn_uvc_getContrast, vorn_uvc_setContrast, vorn_uvc_getContrastRange,
     "Failed to get Property Contrast current value", "Failed to set Property Contrast current value",
     "Failed to get Property Contrast range values", vorn_uvc_getContrastDefault,
     "Failed to get Property Contrast default value"},
    {"Saturation", 3, 0, vorn_uvc_getSaturation, vorn_uvc_setSaturation, vorn_uvc_getSaturationRange,
     "Failed to get Property Saturation current value", "Failed to set Property Saturation current value",
     "Failed to get Property Saturation range values", vorn_uvc_getSaturationDefault,
     "Failed to get Property Saturation default value"},
    {"Sharpness", 4, 0, vorn_uvc_getSharpness, vorn_uvc_setSharpness, vorn_uvc_getSharpnessRange,
     "Failed to get Property Sharpness current value", "Failed to set Property Sahrpness current value",
     "Failed to get Property Sharpness range values", vorn_uvc_getSharpnessDefault,
     "Failed to get Property Sharpness default value"},
    {"Gamma", 5, 0, vorn_uvc_getGamma, vorn_uvc_setGamma, vorn_uvc_getGammaRange,
     "Failed to get Property Gamma current value", "Failed to set Property Gamma current value",
     "Failed to get Property Gamma range values", vorn_uvc_getGammaDefault,
     "Failed to get Property Gamma default value"},
    {"AecTarget", 8, 1, vorn_uvc_getAEC_Target, vorn_uvc_setAEC_Target, vorn_uvc_getAEC_TargetRange,
     "Failed to get Property AEC Target current value", "Failed to set Property AEC Target current value",
     "Failed to get Property AEC Target range values", vorn_uvc_getAEC_TargetDefault,
     "Failed to get Property AEC Target default value"},
};

// Each property is given the same distinctive setting: value 17, range 10 to
// 90, so a mixed-up id or out-parameter shows.
std::string propertyLine(const PropertyRow& p) {
    return "property." + std::to_string(p.id) + " = 17 10 90 1 50 0";
}

TEST_F(SimulatorTest, PropertyFamilyForwardsIdValueAndFlags) {
    for (const PropertyRow& p : kProperties) {
        SCOPED_TRACE(p.name);
        const std::string id = std::to_string(p.id);
        arrangeCamera(propertyLine(p), "", Session::Selected);

        int value = -1;
        Observed seen = observe([&] { return p.get(&value); });
        EXPECT_EQ(seen.code, 0);
        EXPECT_EQ(value, 17);
        EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_PropertyGet", id + ", &, &")});
        EXPECT_TRUE(seen.out.empty() && seen.err.empty());

        int min = -1, max = -1;
        seen = observe([&] { return p.range(&min, &max); });
        EXPECT_EQ(seen.code, 0);
        EXPECT_EQ(min, 10);
        EXPECT_EQ(max, 90);
        EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_PropertyGetRange", id + ", &, &, &, &, &")});
        EXPECT_TRUE(seen.out.empty() && seen.err.empty());

        seen = observe([&] { return p.set(40); });
        EXPECT_EQ(seen.code, 0);
        EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_PropertySet", id + ", 40, " + std::to_string(p.writeFlags))});
        EXPECT_TRUE(seen.out.empty() && seen.err.empty());
        value = -1;
        EXPECT_EQ(p.get(&value), 0);
        EXPECT_EQ(value, 40);

        // The default travels with the range; only it is kept.
        value = -1;
        seen = observe([&] { return p.dflt(&value); });
        EXPECT_EQ(seen.code, 0);
        EXPECT_EQ(value, 50);
        EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_PropertyGetRange", id + ", &, &, &, &, &")});
        EXPECT_TRUE(seen.out.empty() && seen.err.empty());

        // The library leaves range checks to the camera.
        seen = observe([&] { return p.set(91); });
        EXPECT_EQ(seen.code, 1);
        EXPECT_EQ(seen.err, Lines{p.setFailure});
    }
}

TEST_F(SimulatorTest, PropertyFamilyReportsEachFailureOnTheErrorStream) {
    for (const PropertyRow& p : kProperties) {
        SCOPED_TRACE(p.name);
        const std::string id = std::to_string(p.id);
        arrangeCamera(propertyLine(p),
                      "SonixCam_PropertyGet." + id + " = always\nSonixCam_PropertySet." + id +
                          " = always\nSonixCam_PropertyGetRange." + id + " = always",
                      Session::Selected);
        Observed seen = observe([&] {
            int value = 0;
            return p.get(&value);
        });
        EXPECT_EQ(seen.code, 1);
        EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_PropertyGet", id + ", &, &", kFault)});
        EXPECT_TRUE(seen.out.empty());
        EXPECT_EQ(seen.err, Lines{p.getFailure});

        seen = observe([&] { return p.set(20); });
        EXPECT_EQ(seen.code, 1);
        EXPECT_EQ(seen.err, Lines{p.setFailure});

        seen = observe([&] {
            int min = 0, max = 0;
            return p.range(&min, &max);
        });
        EXPECT_EQ(seen.code, 1);
        EXPECT_TRUE(seen.out.empty());
        EXPECT_EQ(seen.err, Lines{p.rangeFailure});

        int value = 77;
        seen = observe([&] { return p.dflt(&value); });
        EXPECT_EQ(seen.code, 1);
        EXPECT_EQ(value, 77) << "written on failure";
        EXPECT_TRUE(seen.out.empty());
        EXPECT_EQ(seen.err, Lines{p.defaultFailure});
    }
}

const std::string kModeRead = regRead(kModeAddress, 1);
const std::string kModeReadFails = "SonixCam_AsicRegisterRead.3965 = always";

std::string controlSet(int id, int value, int flags, int status = 0) {
    return vendor("SonixCam_ControlSet", std::to_string(id) + ", " + std::to_string(value) + ", " + std::to_string(flags),
                  status);
}
std::string controlGet(int id, int status = 0) {
    return vendor("SonixCam_ControlGet", std::to_string(id) + ", &, &", status);
}

class ExposureModeTest : public UvcCaseTest {};
TEST_P(ExposureModeTest, SwitchesRegisterBitThenControl) { runCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Properties, ExposureModeTest, ::testing::Values(
    UvcCase{"AutoFromBitOffSwitchesBitFirst", "register.3965 = 00\ncontrol.4 = -3 2", "", Session::Selected,
            setsBool(vorn_uvc_setAEC_Mode, true), 0,
            {kModeRead, kModeRead, regWrite(kModeAddress, {0x02}), controlSet(4, -6, 1)},
            {"bit[6] is  ZERO ", "AEC is OFF", "Successfully set AEC Mode ON"}, {}, {{kModeAddress, {0x02}}}},
    UvcCase{"AutoAlwaysSendsMinusSix", "register.3965 = 02\ncontrol.4 = -11 2", "", Session::Selected,
            setsBool(vorn_uvc_setAEC_Mode, true), 0, {kModeRead, controlSet(4, -6, 1)},
            {"bit[6] is  ONE ", "Successfully set AEC Mode ON"}, {}},
    UvcCase{"ManualKeepsTheCameraExposure", "register.3965 = 02\ncontrol.4 = -8 1", "", Session::Selected,
            setsBool(vorn_uvc_setAEC_Mode, false), 0, {kModeRead, controlGet(4), controlSet(4, -8, 2)},
            {"bit[6] is  ONE ", "Successfully set AEC Mode OFF"}, {}},
    UvcCase{"RegisterQueryFailureStopsBeforeCamera", "", kModeReadFails, Session::Selected,
            setsBool(vorn_uvc_setAEC_Mode, true), 1, {regRead(kModeAddress, 1, kFault)}, {},
            {"cannot read AEC data", "Failed to get Exposure info"}},
    UvcCase{"RegisterSwitchFailureIsIgnored", "register.3965 = 00", "SonixCam_AsicRegisterWrite.3965 = always",
            Session::Selected, setsBool(vorn_uvc_setAEC_Mode, true), 0,
            {kModeRead, kModeRead, regWrite(kModeAddress, {0x02}, kFault), controlSet(4, -6, 1)},
            {"bit[6] is  ZERO ", "AEC is OFF", "Successfully set AEC Mode ON"}, {"Failed to set AEC mode"}},
    UvcCase{"AutoControlFailure", "register.3965 = 02", "SonixCam_ControlSet.4 = always", Session::Selected,
            setsBool(vorn_uvc_setAEC_Mode, true), 1, {kModeRead, controlSet(4, -6, 1, kFault)},
            {"bit[6] is  ONE "}, {"Failed to set AEC Mode ON"}},
    UvcCase{"ManualReadFailure", "register.3965 = 02", "SonixCam_ControlGet.4 = always", Session::Selected,
            setsBool(vorn_uvc_setAEC_Mode, false), 1, {kModeRead, controlGet(4, kFault)}, {"bit[6] is  ONE "},
            {"Failed to get AEC Exposure info"}},
    UvcCase{"ManualWriteFailure", "register.3965 = 02\ncontrol.4 = -5 1", "SonixCam_ControlSet.4 = always",
            Session::Selected, setsBool(vorn_uvc_setAEC_Mode, false), 1,
            {kModeRead, controlGet(4), controlSet(4, -5, 2, kFault)}, {"bit[6] is  ONE "}, {"Failed to set AEC Mode OFF"}},
    UvcCase{"AutoFlagReadsOn", "control.4 = -4 1", "", Session::Selected, readsBool(vorn_uvc_isAECModeOn, true), 0,
            {controlGet(4)}, {}, {}},
    UvcCase{"ManualFlagReadsOff", "control.4 = -4 2", "", Session::Selected, readsBool(vorn_uvc_isAECModeOn, false),
            0, {controlGet(4)}, {}, {}},
    UvcCase{"BothFlagsIsNotAuto", "control.4 = -4 3", "", Session::Selected, readsBool(vorn_uvc_isAECModeOn, false), 0,
            {controlGet(4)}, {}, {}},
    UvcCase{"ModeQueryFailureLeavesFlag", "", "SonixCam_ControlGet.4 = always", Session::Selected,
            leavesBool(vorn_uvc_isAECModeOn), 1, {controlGet(4, kFault)}, {}, {"Failed to get AEC Exposure info"}},
    UvcCase{"ExposureReadWhateverTheMode", "control.4 = -9 1", "", Session::Selected,
            readsInt(vorn_uvc_getManualExposureValue, -9), 0, {controlGet(4)}, {}, {}},
    UvcCase{"ExposureReadFailure", "", "SonixCam_ControlGet.4 = always", Session::Selected,
            leavesInt(vorn_uvc_getManualExposureValue), 1, {controlGet(4, kFault)}, {}, {"Failed to get AEC Exposure info"}},
    UvcCase{"ManualLowestStepSwitchesBitFirst", "register.3965 = 00", "", Session::Selected,
            setsInt(vorn_uvc_setManualExposureValue, -13), 0,
            {kModeRead, kModeRead, regWrite(kModeAddress, {0x02}), controlSet(4, -13, 2)},
            {"bit[6] is  ZERO ", "AEC is OFF", "Successfully set Manual Exposure value to -13"}, {}},
    UvcCase{"ManualHighestStep", "register.3965 = 02", "", Session::Selected,
            setsInt(vorn_uvc_setManualExposureValue, -1), 0, {kModeRead, controlSet(4, -1, 2)},
            {"bit[6] is  ONE ", "Successfully set Manual Exposure value to -1"}, {}},
    UvcCase{"ManualBelowRange", "", "", Session::Selected, setsInt(vorn_uvc_setManualExposureValue, -14), 5, {}, {},
            {"Manual Exposure Value range is -1 to -13."}},
    UvcCase{"ManualZeroOutOfRange", "", "", Session::Selected, setsInt(vorn_uvc_setManualExposureValue, 0), 5, {}, {},
            {"Manual Exposure Value range is -1 to -13."}},
    UvcCase{"ManualPositiveOutOfRange", "", "", Session::Selected, setsInt(vorn_uvc_setManualExposureValue, 5), 5, {},
            {}, {"Manual Exposure Value range is -1 to -13."}},
    UvcCase{"ManualQueryFailure", "", kModeReadFails, Session::Selected, setsInt(vorn_uvc_setManualExposureValue, -5),
            1, {regRead(kModeAddress, 1, kFault)}, {}, {"cannot read AEC data", "Failed to get Manual Exposure info"}},
    UvcCase{"ManualWriteFailureLine", "register.3965 = 02", "SonixCam_ControlSet.4 = always", Session::Selected,
            setsInt(vorn_uvc_setManualExposureValue, -5), 1, {kModeRead, controlSet(4, -5, 2, kFault)},
            {"bit[6] is  ONE "}, {"Failed to write Exposure data"}}), caseName);

std::string propertySet(int id, int value, int flags, int status = 0) {
    return vendor("SonixCam_PropertySet", std::to_string(id) + ", " + std::to_string(value) + ", " +
                                             std::to_string(flags), status);
}

class WhiteBalanceTest : public UvcCaseTest {};
TEST_P(WhiteBalanceTest, SwitchesRegisterBitThenProperty) { runCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Properties, WhiteBalanceTest, ::testing::Values(
    UvcCase{"AutoFromBitOff", "register.3965 = 80", "", Session::Selected, setsBool(vorn_uvc_setAWB_Mode, true), 0,
            {kModeRead, kModeRead, regWrite(kModeAddress, {0x81}), propertySet(7, 0, 1)},
            {"bit[7] is  ZERO ", "Successfully set AWB Mode ON"}, {}, {{kModeAddress, {0x81}}}},
    UvcCase{"ManualKeepsCurrentValue", "register.3965 = 01\nproperty.7 = 5000 2800 6500 10 4600 1", "",
            Session::Selected, setsBool(vorn_uvc_setAWB_Mode, false), 0,
            {kModeRead, vendor("SonixCam_PropertyGet", "7, &, &"), propertySet(7, 5000, 2)},
            {"bit[7] is  ONE ", "Successfully set AWB Mode OFF"}, {}},
    UvcCase{"QueryFailureStops", "", kModeReadFails, Session::Selected, setsBool(vorn_uvc_setAWB_Mode, true), 1,
            {regRead(kModeAddress, 1, kFault)}, {}, {"cannot read AWB data", "Failed to get White Balance info"}},
    UvcCase{"AutoFailure", "register.3965 = 01", "SonixCam_PropertySet.7 = always", Session::Selected,
            setsBool(vorn_uvc_setAWB_Mode, true), 1, {kModeRead, propertySet(7, 0, 1, kFault)}, {"bit[7] is  ONE "},
            {"Failed to set AWB Mode ON"}},
    UvcCase{"ManualReadFailure", "register.3965 = 01", "SonixCam_PropertyGet.7 = always", Session::Selected,
            setsBool(vorn_uvc_setAWB_Mode, false), 1, {kModeRead, vendor("SonixCam_PropertyGet", "7, &, &", kFault)},
            {"bit[7] is  ONE "}, {"Failed to get AWB info"}},
    UvcCase{"ManualWriteFailure", "register.3965 = 01\nproperty.7 = 5000 2800 6500 10 4600 1",
            "SonixCam_PropertySet.7 = always", Session::Selected, setsBool(vorn_uvc_setAWB_Mode, false), 1,
            {kModeRead, vendor("SonixCam_PropertyGet", "7, &, &"), propertySet(7, 5000, 2, kFault)},
            {"bit[7] is  ONE "}, {"Failed to set AWB Mode OFF"}},
    UvcCase{"RedGainLowestSwitchesBitFirst", "register.3965 = 00", "", Session::Selected,
            setsInt(vorn_uvc_set_AWB_Gain_Red, 128), 0,
            {kModeRead, kModeRead, regWrite(kModeAddress, {0x01}), controlSet(1, 128, 2)},
            {"bit[7] is  ZERO ", "Successfully set Color Gain Red value to 128"}, {}},
    UvcCase{"BlueGainHighestAccepted", "register.3965 = 01", "", Session::Selected,
            setsInt(vorn_uvc_set_AWB_Gain_Blue, 512), 0, {kModeRead, controlSet(0, 512, 2)},
            {"bit[7] is  ONE ", "Successfully set Color Gain Blue value to 512"}, {}},
    UvcCase{"RedGainBelowRange", "", "", Session::Selected, setsInt(vorn_uvc_set_AWB_Gain_Red, 127), 5, {}, {},
            {"Color Gain Red Value range is 128 to 512."}},
    UvcCase{"BlueGainAboveRange", "", "", Session::Selected, setsInt(vorn_uvc_set_AWB_Gain_Blue, 513), 5, {}, {},
            {"Color Gain Blue Value range is 128 to 512."}},
    UvcCase{"RedGainQueryFailure", "", kModeReadFails, Session::Selected, setsInt(vorn_uvc_set_AWB_Gain_Red, 300), 1,
            {regRead(kModeAddress, 1, kFault)}, {}, {"cannot read AWB data", "Failed to get Color Gain Red info"}},
    UvcCase{"BlueGainWriteFailure", "register.3965 = 01", "SonixCam_ControlSet.0 = always", Session::Selected,
            setsInt(vorn_uvc_set_AWB_Gain_Blue, 300), 1, {kModeRead, controlSet(0, 300, 2, kFault)},
            {"bit[7] is  ONE "}, {"Failed to write Color Gain Blue data"}}), caseName);

class RotationIlluminationTest : public UvcCaseTest {};
TEST_P(RotationIlluminationTest, MapsSwitchToControlValue) { runCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Properties, RotationIlluminationTest, ::testing::Values(
    UvcCase{"RotateOn", "", "", Session::Selected, setsBool(vorn_uvc_rotate180, true), 0, {controlSet(2, 3, 2)},
            {"Successfully to rotate3"}, {}},
    UvcCase{"RotateOff", "control.2 = 3 2", "", Session::Selected, setsBool(vorn_uvc_rotate180, false), 0,
            {controlSet(2, 0, 2)}, {"Successfully to rotate0"}, {}},
    UvcCase{"RotateFailure", "", "SonixCam_ControlSet.2 = always", Session::Selected,
            setsBool(vorn_uvc_rotate180, true), 1, {controlSet(2, 3, 2, kFault)}, {}, {"Failed to rotate"}},
    UvcCase{"LampValueZeroIsOn", "control.6 = 0", "", Session::Selected, readsBool(vorn_uvc_isIlluminationOn, true), 0,
            {controlGet(6)}, {}, {}},
    UvcCase{"LampValueOneIsOff", "control.6 = 1", "", Session::Selected, readsBool(vorn_uvc_isIlluminationOn, false),
            0, {controlGet(6)}, {}, {}},
    UvcCase{"LampQueryFailureLeavesFlag", "", "SonixCam_ControlGet.6 = always", Session::Selected,
            leavesBool(vorn_uvc_isIlluminationOn), 1, {controlGet(6, kFault)}, {},
            {"Failed to get Illumination info"}},
    UvcCase{"LampOnWritesZero", "control.6 = 1", "", Session::Selected, setsBool(vorn_uvc_setIllumination, true), 0,
            {controlSet(6, 0, 0)}, {}, {}},
    UvcCase{"LampOffWritesOne", "control.6 = 0", "", Session::Selected, setsBool(vorn_uvc_setIllumination, false), 0,
            {controlSet(6, 1, 0)}, {}, {}},
    UvcCase{"LampSetFailure", "", "SonixCam_ControlSet.6 = always", Session::Selected,
            setsBool(vorn_uvc_setIllumination, true), 1, {controlSet(6, 0, 0, kFault)}, {},
            {"Failed to set Illumination info"}}), caseName);

// Read-backs added after the 60: the mode and rotation a saved configuration
// or a script needs to know.
class ReadBackTest : public UvcCaseTest {};
TEST_P(ReadBackTest, ReportsStateWithoutChangingIt) { runCase(GetParam()); }

std::string propertyGet(int id, int status = 0) {
    return vendor("SonixCam_PropertyGet", std::to_string(id) + ", &, &", status);
}

INSTANTIATE_TEST_SUITE_P(Properties, ReadBackTest, ::testing::Values(
    UvcCase{"WhiteBalanceAutoFlag", "property.7 = 4600 2800 6500 1 4600 1", "", Session::Selected,
            readsBool(vorn_uvc_isAWBModeOn, true), 0, {propertyGet(7)}, {}, {}},
    UvcCase{"WhiteBalanceManualFlag", "property.7 = 5000 2800 6500 1 4600 2", "", Session::Selected,
            readsBool(vorn_uvc_isAWBModeOn, false), 0, {propertyGet(7)}, {}, {}},
    UvcCase{"WhiteBalanceFailureLeavesFlag", "", "SonixCam_PropertyGet.7 = always", Session::Selected,
            leavesBool(vorn_uvc_isAWBModeOn), 1, {propertyGet(7, kFault)}, {}, {"Failed to get AWB info"}},
    UvcCase{"RotatedIsThree", "control.2 = 3 2", "", Session::Selected, readsBool(vorn_uvc_isRotate180On, true), 0,
            {controlGet(2)}, {}, {}},
    UvcCase{"UprightIsZero", "control.2 = 0 2", "", Session::Selected, readsBool(vorn_uvc_isRotate180On, false), 0,
            {controlGet(2)}, {}, {}},
    UvcCase{"RotationFailureLeavesFlag", "", "SonixCam_ControlGet.2 = always", Session::Selected,
            leavesBool(vorn_uvc_isRotate180On), 1, {controlGet(2, kFault)}, {}, {"Failed to get Rotation info"}},
    UvcCase{"FlashTypeAsReported", "flash_type = 4", "", Session::Selected, readsInt(vorn_uvc_getSerialFlashType, 4),
            0, {vendor("SonixCam_GetSerialFlashType", "&, 1")}, {}, {}},
    UvcCase{"FlashTypeFailureLeavesValue", "", "SonixCam_GetSerialFlashType = always", Session::Selected,
            leavesInt(vorn_uvc_getSerialFlashType), 1, {vendor("SonixCam_GetSerialFlashType", "&, 1", kFault)}, {},
            {"Cannot get camera serial flash type"}}), caseName);

}  // namespace
}  // namespace vorn::test
