// Register exports over the simulated camera's register space: read-modify-
// write of the mode bits, the 10-bit gain layout with its trigger, and the
// exposure registers.
#include "uvc_fixture.h"

namespace vorn::test {
namespace {

constexpr int kRed = 49206, kGreen = 49208, kBlue = 49210, kTrigger = 49328;
constexpr int kExposureRead = 3489, kExposureWrite = 3897;

const std::string kModeOff = "register.3965 = 00";
const std::string kModeFaultRead = "SonixCam_AsicRegisterRead.3965 = always";

class ModeBitTest : public UvcCaseTest {};
TEST_P(ModeBitTest, ReadsAndWritesOnlyItsBit) { runCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Registers, ModeBitTest, ::testing::Values(
    UvcCase{"AwbBitSetReadsOne", "register.3965 = 01", "", Session::Selected, readsBool(vorn_uvc_is_RegAWB_On, true),
            0, {regRead(kModeAddress, 1)}, {"bit[7] is  ONE "}, {}},
    UvcCase{"AwbBitClearAmongOthersReadsZero", "register.3965 = FE", "", Session::Selected,
            readsBool(vorn_uvc_is_RegAWB_On, false), 0, {regRead(kModeAddress, 1)}, {"bit[7] is  ZERO "}, {}},
    UvcCase{"AecBitSetReadsOne", "register.3965 = 02", "", Session::Selected, readsBool(vorn_uvc_is_RegAEC_On, true),
            0, {regRead(kModeAddress, 1)}, {"bit[6] is  ONE "}, {}},
    UvcCase{"AecBitClearAmongOthersReadsZero", "register.3965 = FD", "", Session::Selected,
            readsBool(vorn_uvc_is_RegAEC_On, false), 0, {regRead(kModeAddress, 1)}, {"bit[6] is  ZERO "}, {}},
    UvcCase{"AwbQueryReadFailureLeavesFlag", "", kModeFaultRead, Session::Selected,
            leavesBool(vorn_uvc_is_RegAWB_On), 1, {regRead(kModeAddress, 1, kFault)}, {},
            {"cannot read AWB data"}},
    UvcCase{"AecQueryReadFailureLeavesFlag", "", kModeFaultRead, Session::Selected,
            leavesBool(vorn_uvc_is_RegAEC_On), 1, {regRead(kModeAddress, 1, kFault)}, {},
            {"cannot read AEC data"}},
    UvcCase{"AwbOffClearsOnlyBit0", "register.3965 = 03", "", Session::Selected, setsBool(vorn_uvc_set_RegAWB_Mode, false),
            0, {regRead(kModeAddress, 1), regWrite(kModeAddress, {0x02})}, {}, {}, {{kModeAddress, {0x02}}}},
    UvcCase{"AecOffClearsOnlyBit1AndNamesOldState", "register.3965 = 03", "", Session::Selected,
            setsBool(vorn_uvc_set_RegAEC_Mode, false), 0, {regRead(kModeAddress, 1), regWrite(kModeAddress, {0x01})},
            {"AEC is ON"}, {}, {{kModeAddress, {0x01}}}},
    UvcCase{"AwbOnKeepsHighBits", "register.3965 = 80", "", Session::Selected, setsBool(vorn_uvc_set_RegAWB_Mode, true), 0,
            {regRead(kModeAddress, 1), regWrite(kModeAddress, {0x81})}, {}, {}, {{kModeAddress, {0x81}}}},
    UvcCase{"AecOnKeepsHighBitsAndNamesOldState", "register.3965 = 80", "", Session::Selected,
            setsBool(vorn_uvc_set_RegAEC_Mode, true), 0, {regRead(kModeAddress, 1), regWrite(kModeAddress, {0x82})},
            {"AEC is OFF"}, {}, {{kModeAddress, {0x82}}}},
    UvcCase{"AwbAlreadyOnWritesNothing", "register.3965 = 01", "", Session::Selected,
            setsBool(vorn_uvc_set_RegAWB_Mode, true), 0, {regRead(kModeAddress, 1)}, {},
            {"current AWB mode is ON; no need to set AWB mode"}},
    UvcCase{"AwbAlreadyOffWritesNothing", "register.3965 = FE", "", Session::Selected,
            setsBool(vorn_uvc_set_RegAWB_Mode, false), 0, {regRead(kModeAddress, 1)}, {},
            {"current AWB mode is OFF; no need to set AWB mode"}},
    UvcCase{"AecAlreadyOnWritesNothing", "register.3965 = 02", "", Session::Selected,
            setsBool(vorn_uvc_set_RegAEC_Mode, true), 0, {regRead(kModeAddress, 1)}, {},
            {"current AEC mode is ON; no need to set AEC mode"}},
    UvcCase{"AecAlreadyOffWritesNothing", "register.3965 = FD", "", Session::Selected,
            setsBool(vorn_uvc_set_RegAEC_Mode, false), 0, {regRead(kModeAddress, 1)}, {},
            {"current AEC mode is OFF; no need to set AEC mode"}},
    UvcCase{"AwbSwitchReadFailure", "", kModeFaultRead, Session::Selected, setsBool(vorn_uvc_set_RegAWB_Mode, true), 1,
            {regRead(kModeAddress, 1, kFault)}, {}, {"cannot read AWB data"}},
    UvcCase{"AecSwitchReadFailure", "", kModeFaultRead, Session::Selected, setsBool(vorn_uvc_set_RegAEC_Mode, true), 1,
            {regRead(kModeAddress, 1, kFault)}, {}, {"cannot read AEC data"}},
    UvcCase{"AwbSwitchWriteFailure", kModeOff, "SonixCam_AsicRegisterWrite.3965 = always", Session::Selected,
            setsBool(vorn_uvc_set_RegAWB_Mode, true), 1, {regRead(kModeAddress, 1), regWrite(kModeAddress, {0x01}, kFault)},
            {}, {"Failed to set AWB mode"}, {{kModeAddress, {0x00}}}},
    UvcCase{"AecSwitchWriteFailureAfterAnnouncing", kModeOff, "SonixCam_AsicRegisterWrite.3965 = always",
            Session::Selected, setsBool(vorn_uvc_set_RegAEC_Mode, true), 1,
            {regRead(kModeAddress, 1), regWrite(kModeAddress, {0x02}, kFault)}, {"AEC is OFF"},
            {"Failed to set AEC mode"}, {{kModeAddress, {0x00}}}}), caseName);

// Gains are arranged with the camera's white balance off so the simulated
// camera keeps the bytes as placed.
class GainRegisterTest : public UvcCaseTest {};
TEST_P(GainRegisterTest, FollowsTheTenBitLayout) { runCase(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Registers, GainRegisterTest, ::testing::Values(
    UvcCase{"RedHighBitsFromFirstByte", kModeOff + "\nregister.49206 = 01 80", "", Session::Selected,
            readsInt(vorn_uvc_get_AWB_Gain_Red, 384), 0, {regRead(kRed, 2)}, {"AWB Gain Red value = 384"}, {}},
    UvcCase{"GreenFullScale", kModeOff + "\nregister.49208 = 07 FF", "", Session::Selected,
            readsInt(vorn_uvc_get_AWB_Gain_Green, 1023), 0, {regRead(kGreen, 2)}, {"AWB Gain Green value = 1023"}, {}},
    UvcCase{"BlueIgnoresUpperSixBits", kModeOff + "\nregister.49210 = FC 05", "", Session::Selected,
            readsInt(vorn_uvc_get_AWB_Gain_Blue, 5), 0, {regRead(kBlue, 2)}, {"AWB Gain Blue value = 5"}, {}},
    UvcCase{"GreenReadFailureLeavesValue", "", "SonixCam_AsicRegisterRead.49208 = always", Session::Selected,
            leavesInt(vorn_uvc_get_AWB_Gain_Green), 1, {regRead(kGreen, 2, kFault)}, {},
            {"cannot read AWB Gain Green data"}},
    UvcCase{"RedWriteSwitchesAwbOffAndTriggers", "register.3965 = 01\nregister.49206 = A4 10\nregister.49328 = 30", "",
            Session::Selected, setsInt(vorn_uvc_set_AWB_Gain_Red_ThruReg, 512), 0,
            {regRead(kRed, 2), regRead(kModeAddress, 1), regRead(kModeAddress, 1), regWrite(kModeAddress, {0x00}),
             regWrite(kRed, {0xA6, 0x00}), regRead(kTrigger, 1), regWrite(kTrigger, {0x34})},
            {"bit[7] is  ONE ", "Successfully set AWB Gain Red value to 512"}, {},
            {{kRed, {0xA6, 0x00}}, {kTrigger, {0x34}}, {kModeAddress, {0x00}}}},
    UvcCase{"BlueWriteWithAwbOffKeepsMode", kModeOff + "\nregister.49210 = FF FF\nregister.49328 = 00", "",
            Session::Selected, setsInt(vorn_uvc_set_AWB_Gain_Blue_ThruReg, 128), 0,
            {regRead(kBlue, 2), regRead(kModeAddress, 1), regWrite(kBlue, {0xFC, 0x80}), regRead(kTrigger, 1),
             regWrite(kTrigger, {0x04})},
            {"bit[7] is  ZERO ", "Successfully set AWB Gain Blue value to 128"}, {},
            {{kBlue, {0xFC, 0x80}}, {kTrigger, {0x04}}}},
    UvcCase{"RedBelowMinimum", "", "", Session::Selected, setsInt(vorn_uvc_set_AWB_Gain_Red_ThruReg, 127), 5, {}, {},
            {"Minimum AWB GAIN RED VALUE is 128"}},
    UvcCase{"BlueAboveMaximum", "", "", Session::Selected, setsInt(vorn_uvc_set_AWB_Gain_Blue_ThruReg, 513), 5, {},
            {}, {"Maximum AWB GAIN BLUE VALUE is 512"}},
    UvcCase{"RedGainReadFailure", "", "SonixCam_AsicRegisterRead.49206 = always", Session::Selected,
            setsInt(vorn_uvc_set_AWB_Gain_Red_ThruReg, 300), 1, {regRead(kRed, 2, kFault)}, {},
            {"cannot read AWB Gain Red data"}},
    UvcCase{"AwbQueryFailureDoesNotStopTheWrite", kModeOff + "\nregister.49206 = 00 00\nregister.49328 = 00", kModeFaultRead, Session::Selected,
            setsInt(vorn_uvc_set_AWB_Gain_Red_ThruReg, 300), 0,
            {regRead(kRed, 2), regRead(kModeAddress, 1, kFault), regWrite(kRed, {0x01, 0x2C}), regRead(kTrigger, 1),
             regWrite(kTrigger, {0x04})},
            {"Successfully set AWB Gain Red value to 300"}, {"cannot read AWB data"}, {{kRed, {0x01, 0x2C}}}},
    UvcCase{"BlueGainWriteFailure", kModeOff, "SonixCam_AsicRegisterWrite.49210 = always", Session::Selected,
            setsInt(vorn_uvc_set_AWB_Gain_Blue_ThruReg, 256), 1,
            {regRead(kBlue, 2), regRead(kModeAddress, 1), regWrite(kBlue, {0x01, 0x00}, kFault)},
            {"bit[7] is  ZERO "}, {"Failed to convert AWB Gain Blue data"}},
    UvcCase{"TriggerReadFailureKeepsGainWritten", kModeOff + "\nregister.49206 = 00 00",
            "SonixCam_AsicRegisterRead.49328 = always", Session::Selected,
            setsInt(vorn_uvc_set_AWB_Gain_Red_ThruReg, 200), 1,
            {regRead(kRed, 2), regRead(kModeAddress, 1), regWrite(kRed, {0x00, 0xC8}), regRead(kTrigger, 1, kFault)},
            {"bit[7] is  ZERO "}, {"Failed to read AWB trigger value."}, {{kRed, {0x00, 0xC8}}}},
    UvcCase{"TriggerWriteFailureKeepsGainWritten", kModeOff + "\nregister.49328 = 01",
            "SonixCam_AsicRegisterWrite.49328 = always", Session::Selected,
            setsInt(vorn_uvc_set_AWB_Gain_Red_ThruReg, 200), 1,
            {regRead(kRed, 2), regRead(kModeAddress, 1), regWrite(kRed, {0x00, 0xC8}), regRead(kTrigger, 1),
             regWrite(kTrigger, {0x05}, kFault)},
            {"bit[7] is  ZERO "}, {"Failed to set AWB trigger[2] value to 1."}, {{kTrigger, {0x01}}}}), caseName);

class ExposureRegisterTest : public UvcCaseTest {};
TEST_P(ExposureRegisterTest, UsesItsOwnRegisters) { runCase(GetParam()); }

std::string exposureReadLine(int high, int low) {
    return "calls SonixCam_AsicRegisterRead with asicAddr = 3489, Exposure_Line_H = " + std::to_string(high) +
           ", Exposure_Line_L = " + std::to_string(low) + "; the value of two regs = " + std::to_string(high * 256 + low);
}

INSTANTIATE_TEST_SUITE_P(Registers, ExposureRegisterTest, ::testing::Values(
    UvcCase{"ReadHighByteFirst", "register.3489 = 01 02", "", Session::Selected,
            readsInt(vorn_uvc_getExposureValueThruReg, 258), 0, {regRead(kExposureRead, 2)}, {exposureReadLine(1, 2)}, {}},
    UvcCase{"ReadBytesAreUnsigned", "register.3489 = FF 80", "", Session::Selected,
            readsInt(vorn_uvc_getExposureValueThruReg, 65408), 0, {regRead(kExposureRead, 2)},
            {exposureReadLine(255, 128)}, {}},
    UvcCase{"ReadFailure", "", "SonixCam_AsicRegisterRead.3489 = always", Session::Selected,
            leavesInt(vorn_uvc_getExposureValueThruReg), 1, {regRead(kExposureRead, 2, kFault)}, {},
            {"cannot read Exposure data"}},
    UvcCase{"StepZeroOutOfRange", "", "", Session::Selected, setsInt(vorn_uvc_setExposureValueThruReg, 0), 5, {}, {},
            {"The value should be between -13 to -1."}},
    UvcCase{"StepBelowTableOutOfRange", "", "", Session::Selected, setsInt(vorn_uvc_setExposureValueThruReg, -14), 5,
            {}, {}, {"The value should be between -13 to -1."}},
    UvcCase{"WriteFailureAfterAnnouncing", "", "SonixCam_AsicRegisterWrite.3897 = always", Session::Selected,
            setsInt(vorn_uvc_setExposureValueThruReg, -6), 1, {regWrite(kExposureWrite, {0x01, 0x83}, kFault)},
            {"calls SonixCam_AsicRegisterWrite with asicAddr = 3897, value = 387"}, {"cannot write Exposure data"}}),
    caseName);

// Every step of the table, written high byte first, without touching the
// mode register.
TEST_F(SimulatorTest, ExposureStepsWriteTheTableValue) {
    const std::vector<int> table{12432, 6216, 3108, 1554, 775, 387, 193, 96, 49, 24, 12, 4, 4};
    for (int step = -1; step >= -13; --step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int value = table[static_cast<std::size_t>(-1 - step)];
        const std::vector<uint8_t> bytes{static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)};
        arrangeCamera("register.3965 = 5A", "", Session::Selected);
        const Observed seen = observe([&] { return vorn_uvc_setExposureValueThruReg(step); });
        EXPECT_EQ(seen.code, 0);
        EXPECT_EQ(seen.trace, Lines{regWrite(kExposureWrite, bytes)});
        EXPECT_EQ(seen.out, (Lines{"calls SonixCam_AsicRegisterWrite with asicAddr = 3897, value = " + std::to_string(value),
                                   "Successfully set Manual Exposure value to " + std::to_string(step)}));
        EXPECT_TRUE(seen.err.empty());
        EXPECT_EQ(peek(kExposureWrite, 2), bytes);
        EXPECT_EQ(peek(kModeAddress, 1), std::vector<uint8_t>{0x5A});
    }
}

}  // namespace
}  // namespace vorn::test
