// Image processor register exports. Every write is a read-modify-write of
// the named bits; buffers are zeroed before each read so a short vendor read
// never leaks stale bytes into a decision.
#include <array>
#include <cstdint>

#include "sonix_camera.h"
#include "uvc_log.h"
#include "vorn_uvc.h"

using namespace vorn::uvc;

namespace {

constexpr int kModeRegister = 0x0F7D;
constexpr int kGainRedRegister = 0xC036;
constexpr int kGainGreenRegister = 0xC038;
constexpr int kGainBlueRegister = 0xC03A;
constexpr int kAwbTriggerRegister = 0xC0B0;
constexpr int kExposureReadRegister = 0x0DA1;
constexpr int kExposureWriteRegister = 0x0F39;

constexpr uint8_t kAwbBit = 0x01;
constexpr uint8_t kAecBit = 0x02;
constexpr uint8_t kAwbTriggerBit = 0x04;
constexpr uint8_t kGainHighBits = 0x03;

constexpr int kGainMin = 128;
constexpr int kGainMax = 512;
constexpr int kExposureMin = -13;
constexpr int kExposureMax = -1;

// Register exposure value for steps -1 down to -13.
constexpr std::array<uint16_t, 13> kExposureTable{12432, 6216, 3108, 1554, 775, 387, 193,
                                                  96,    49,   24,   12,   4,   4};

template <std::size_t N>
int readRegisters(int address, std::array<uint8_t, N>& buf) {
    buf.fill(0);
    return SonixCam_AsicRegisterRead(address, buf.data(), static_cast<int>(N));
}

template <std::size_t N>
int writeRegisters(int address, const std::array<uint8_t, N>& buf) {
    return SonixCam_AsicRegisterWrite(address, buf.data(), static_cast<int>(N));
}

// One bit of the mode register and its lines. "bit[7]" counts from the most
// significant end of an eight-character bit string, so it is mask 0x01.
struct ModeBit {
    uint8_t mask;
    const wchar_t* readFailure;
    const wchar_t* report;
    const wchar_t* alreadyOn;
    const wchar_t* alreadyOff;
    const wchar_t* writeFailure;
    bool announcesChange;  // the AEC bit names its old state before switching
    const wchar_t* wasOn;
    const wchar_t* wasOff;
};

constexpr ModeBit kAwb{kAwbBit,
                       L"cannot read AWB data",
                       L"bit[7] is ",
                       L"current AWB mode is ON; no need to set AWB mode",
                       L"current AWB mode is OFF; no need to set AWB mode",
                       L"Failed to set AWB mode",
                       false,
                       nullptr,
                       nullptr};
constexpr ModeBit kAec{kAecBit,
                       L"cannot read AEC data",
                       L"bit[6] is ",
                       L"current AEC mode is ON; no need to set AEC mode",
                       L"current AEC mode is OFF; no need to set AEC mode",
                       L"Failed to set AEC mode",
                       true,
                       L"AEC is ON",
                       L"AEC is OFF"};

int queryModeBit(const ModeBit& bit, bool* on) {
    return guarded([&] {
        std::array<uint8_t, 1> mode{};
        if (readRegisters(kModeRegister, mode) != 0) {
            logErr(bit.readFailure);
            return kFailed;
        }
        const bool set = (mode[0] & bit.mask) != 0;
        if (on != nullptr) *on = set;
        logOut(bit.report, set ? L" ONE " : L" ZERO ");
        return kOk;
    });
}

int setModeBit(const ModeBit& bit, bool on) {
    return guarded([&] {
        std::array<uint8_t, 1> mode{};
        if (readRegisters(kModeRegister, mode) != 0) {
            logErr(bit.readFailure);
            return kFailed;
        }
        const bool set = (mode[0] & bit.mask) != 0;
        if (set == on) {
            logErr(on ? bit.alreadyOn : bit.alreadyOff);
            return kOk;
        }
        if (bit.announcesChange) logOut(set ? bit.wasOn : bit.wasOff);
        mode[0] = on ? static_cast<uint8_t>(mode[0] | bit.mask) : static_cast<uint8_t>(mode[0] & ~bit.mask);
        if (writeRegisters(kModeRegister, mode) != 0) {
            logErr(bit.writeFailure);
            return kFailed;
        }
        return kOk;
    });
}

struct GainRegister {
    int address;
    const wchar_t* readFailure;
    const wchar_t* report;
    const wchar_t* belowMinimum;
    const wchar_t* aboveMaximum;
    const wchar_t* writeFailure;
    const wchar_t* success;
};

constexpr GainRegister kRed{kGainRedRegister,
                            L"cannot read AWB Gain Red data",
                            L"AWB Gain Red value = ",
                            L"Minimum AWB GAIN RED VALUE is ",
                            L"Maximum AWB GAIN RED VALUE is ",
                            L"Failed to convert AWB Gain Red data",
                            L"Successfully set AWB Gain Red value to "};
constexpr GainRegister kGreen{kGainGreenRegister, L"cannot read AWB Gain Green data", L"AWB Gain Green value = ",
                              nullptr, nullptr, nullptr, nullptr};
constexpr GainRegister kBlue{kGainBlueRegister,
                             L"cannot read AWB Gain Blue data",
                             L"AWB Gain Blue value = ",
                             L"Minimum AWB GAIN BLUE VALUE is ",
                             L"Maximum AWB GAIN BLUE VALUE is ",
                             L"Failed to convert AWB Gain Blue data",
                             L"Successfully set AWB Gain Blue value to "};

// 10-bit gain: bits 9..8 in the low two bits of the first byte, bits 7..0 in
// the second; the first byte's upper six bits belong to something else.
int getGain(const GainRegister& g, int* value) {
    return guarded([&] {
        std::array<uint8_t, 2> bytes{};
        if (readRegisters(g.address, bytes) != 0) {
            logErr(g.readFailure);
            return kFailed;
        }
        const int gain = (bytes[0] & kGainHighBits) * 256 + bytes[1];
        if (value != nullptr) *value = gain;
        logOut(g.report, gain);
        return kOk;
    });
}

int setGain(const GainRegister& g, int value) {
    return guarded([&] {
        if (value < kGainMin) {
            logErr(g.belowMinimum, kGainMin);
            return kOutOfRange;
        }
        if (value > kGainMax) {
            logErr(g.aboveMaximum, kGainMax);
            return kOutOfRange;
        }
        std::array<uint8_t, 2> bytes{};
        if (readRegisters(g.address, bytes) != 0) {
            logErr(g.readFailure);
            return kFailed;
        }
        // The camera's own white balance would overwrite the gain at once.
        bool awbOn = false;
        if (vorn_uvc_is_RegAWB_On(&awbOn) == kOk && awbOn) vorn_uvc_set_RegAWB_Mode(false);

        bytes[0] = static_cast<uint8_t>((bytes[0] & ~kGainHighBits) | ((value >> 8) & kGainHighBits));
        bytes[1] = static_cast<uint8_t>(value & 0xFF);
        if (writeRegisters(g.address, bytes) != 0) {
            logErr(g.writeFailure);
            return kFailed;
        }
        std::array<uint8_t, 1> trigger{};
        if (readRegisters(kAwbTriggerRegister, trigger) != 0) {
            logErr(L"Failed to read AWB trigger value.");
            return kFailed;
        }
        trigger[0] = static_cast<uint8_t>(trigger[0] | kAwbTriggerBit);
        if (writeRegisters(kAwbTriggerRegister, trigger) != 0) {
            logErr(L"Failed to set AWB trigger[2] value to 1.");
            return kFailed;
        }
        logOut(g.success, value);
        return kOk;
    });
}

}  // namespace

extern "C" {

int vorn_uvc_is_RegAWB_On(bool* on) { return queryModeBit(kAwb, on); }
int vorn_uvc_is_RegAEC_On(bool* on) { return queryModeBit(kAec, on); }
int vorn_uvc_set_RegAWB_Mode(bool on) { return setModeBit(kAwb, on); }
int vorn_uvc_set_RegAEC_Mode(bool on) { return setModeBit(kAec, on); }

int vorn_uvc_get_AWB_Gain_Red(int* value) { return getGain(kRed, value); }
int vorn_uvc_get_AWB_Gain_Green(int* value) { return getGain(kGreen, value); }
int vorn_uvc_get_AWB_Gain_Blue(int* value) { return getGain(kBlue, value); }
int vorn_uvc_set_AWB_Gain_Red_ThruReg(int value) { return setGain(kRed, value); }
int vorn_uvc_set_AWB_Gain_Blue_ThruReg(int value) { return setGain(kBlue, value); }

int vorn_uvc_getExposureValueThruReg(int* value) {
    return guarded([&] {
        std::array<uint8_t, 2> bytes{};
        if (readRegisters(kExposureReadRegister, bytes) != 0) {
            logErr(L"cannot read Exposure data");
            return kFailed;
        }
        const int high = bytes[0];
        const int low = bytes[1];
        const int exposure = high * 256 + low;
        if (value != nullptr) *value = exposure;
        logOut(L"calls SonixCam_AsicRegisterRead with asicAddr = ", kExposureReadRegister, L", Exposure_Line_H = ",
               high, L", Exposure_Line_L = ", low, L"; the value of two regs = ", exposure);
        return kOk;
    });
}

int vorn_uvc_setExposureValueThruReg(int step) {
    return guarded([&] {
        if (step < kExposureMin || step > kExposureMax) {
            logErr(L"The value should be between -13 to -1.");
            return kOutOfRange;
        }
        const int exposure = kExposureTable[static_cast<std::size_t>(kExposureMax - step)];
        const std::array<uint8_t, 2> bytes{static_cast<uint8_t>(exposure >> 8), static_cast<uint8_t>(exposure & 0xFF)};
        logOut(L"calls SonixCam_AsicRegisterWrite with asicAddr = ", kExposureWriteRegister, L", value = ", exposure);
        if (writeRegisters(kExposureWriteRegister, bytes) != 0) {
            logErr(L"cannot write Exposure data");
            return kFailed;
        }
        logOut(L"Successfully set Manual Exposure value to ", step);
        return kOk;
    });
}

}  // extern "C"
