// Picture property and mode exports over the vendor's property and control
// calls. The six plain properties share one table; the mode and gain setters
// first make sure the matching register mode bit is on.
#include "sonix_camera.h"
#include "uvc_log.h"
#include "vorn_uvc.h"

using namespace vorn::uvc;

namespace {

constexpr int kFlagsNone = 0;
constexpr int kFlagsAuto = 1;
constexpr int kFlagsManual = 2;

constexpr int kPropertyWhiteBalance = 7;
constexpr int kControlGainBlue = 0;
constexpr int kControlGainRed = 1;
constexpr int kControlRotation = 2;
constexpr int kControlExposure = 4;
constexpr int kControlIllumination = 6;

constexpr int kAutoExposureStep = -6;
constexpr int kExposureMin = -13;
constexpr int kExposureMax = -1;
constexpr int kGainMin = 128;
constexpr int kGainMax = 512;
constexpr int kRotated = 3;
constexpr int kUpright = 0;

struct Property {
    int id;
    int writeFlags;
    const wchar_t* getFailure;
    const wchar_t* setFailure;
    const wchar_t* rangeFailure;
    const wchar_t* defaultFailure;
};

constexpr Property kBrightness{0, kFlagsNone, L"Failed to get Property Brightness current value",
                               L"Failed to set Property Brightness current value",
                               L"Failed to get Property Brightness range values",
                               L"Failed to get Property Brightness default value"};
constexpr Property kContrast{1, kFlagsNone, L"Failed to get Property Contrast current value",
                             L"Failed to set Property Contrast current value",
                             L"Failed to get Property Contrast range values",
                             L"Failed to get Property Contrast default value"};
constexpr Property kSaturation{3, kFlagsNone, L"Failed to get Property Saturation current value",
                               L"Failed to set Property Saturation current value",
                               L"Failed to get Property Saturation range values",
                               L"Failed to get Property Saturation default value"};
// The set line's spelling is what log readers already match on.
constexpr Property kSharpness{4, kFlagsNone, L"Failed to get Property Sharpness current value",
                              L"Failed to set Property Sahrpness current value",
                              L"Failed to get Property Sharpness range values",
                              L"Failed to get Property Sharpness default value"};
constexpr Property kGamma{5, kFlagsNone, L"Failed to get Property Gamma current value",
                          L"Failed to set Property Gamma current value",
                          L"Failed to get Property Gamma range values",
                          L"Failed to get Property Gamma default value"};
constexpr Property kAecTarget{8, kFlagsAuto, L"Failed to get Property AEC Target current value",
                              L"Failed to set Property AEC Target current value",
                              L"Failed to get Property AEC Target range values",
                              L"Failed to get Property AEC Target default value"};

int getProperty(const Property& p, int* value) {
    return guarded([&] {
        int flags = 0;
        return report(SonixCam_PropertyGet(p.id, value, &flags), Outcome{p.getFailure});
    });
}

int setProperty(const Property& p, int value) {
    return guarded([&] { return report(SonixCam_PropertySet(p.id, value, p.writeFlags), Outcome{p.setFailure}); });
}

int getPropertyRange(const Property& p, int* min, int* max) {
    return guarded([&] {
        int step = 0, dflt = 0, flags = 0;
        return report(SonixCam_PropertyGetRange(p.id, min, max, &step, &dflt, &flags), Outcome{p.rangeFailure});
    });
}

// The camera's own default comes with its range; only it is kept.
int getPropertyDefault(const Property& p, int* value) {
    return guarded([&] {
        int min = 0, max = 0, step = 0, dflt = 0, flags = 0;
        if (SonixCam_PropertyGetRange(p.id, &min, &max, &step, &dflt, &flags) != 0) {
            logErr(p.defaultFailure);
            return kFailed;
        }
        if (value != nullptr) *value = dflt;
        return kOk;
    });
}

// Reads a register mode bit and switches it on when off. Only a failed read
// stops the caller; a failed switch is left to the camera setting that follows.
bool modeBitReady(int (*query)(bool*), int (*set)(bool), const wchar_t* queryFailure) {
    bool on = false;
    if (query(&on) != kOk) {
        logErr(queryFailure);
        return false;
    }
    if (!on) set(true);
    return true;
}

struct ColourGain {
    int control;
    const wchar_t* rangeLine;
    const wchar_t* queryFailure;
    const wchar_t* writeFailure;
    const wchar_t* success;
};

constexpr ColourGain kGainRed{kControlGainRed, L"Color Gain Red Value range is 128 to 512.",
                              L"Failed to get Color Gain Red info", L"Failed to write Color Gain Red data",
                              L"Successfully set Color Gain Red value to "};
constexpr ColourGain kGainBlue{kControlGainBlue, L"Color Gain Blue Value range is 128 to 512.",
                               L"Failed to get Color Gain Blue info", L"Failed to write Color Gain Blue data",
                               L"Successfully set Color Gain Blue value to "};

int setColourGain(const ColourGain& g, int value) {
    return guarded([&] {
        if (value < kGainMin || value > kGainMax) {
            logErr(g.rangeLine);
            return kOutOfRange;
        }
        if (!modeBitReady(vorn_uvc_is_RegAWB_On, vorn_uvc_set_RegAWB_Mode, g.queryFailure)) return kFailed;
        if (SonixCam_ControlSet(g.control, value, kFlagsManual) != 0) {
            logErr(g.writeFailure);
            return kFailed;
        }
        logOut(g.success, value);
        return kOk;
    });
}

}  // namespace

extern "C" {

int vorn_uvc_getBrightness(int* value) { return getProperty(kBrightness, value); }
int vorn_uvc_getContrast(int* value) { return getProperty(kContrast, value); }
int vorn_uvc_getSaturation(int* value) { return getProperty(kSaturation, value); }
int vorn_uvc_getSharpness(int* value) { return getProperty(kSharpness, value); }
int vorn_uvc_getGamma(int* value) { return getProperty(kGamma, value); }
int vorn_uvc_getAEC_Target(int* value) { return getProperty(kAecTarget, value); }

int vorn_uvc_setBrightness(int value) { return setProperty(kBrightness, value); }
int vorn_uvc_setContrast(int value) { return setProperty(kContrast, value); }
int vorn_uvc_setSaturation(int value) { return setProperty(kSaturation, value); }
int vorn_uvc_setSharpness(int value) { return setProperty(kSharpness, value); }
int vorn_uvc_setGamma(int value) { return setProperty(kGamma, value); }
int vorn_uvc_setAEC_Target(int value) { return setProperty(kAecTarget, value); }

int vorn_uvc_getBrightnessRange(int* min, int* max) { return getPropertyRange(kBrightness, min, max); }
int vorn_uvc_getContrastRange(int* min, int* max) { return getPropertyRange(kContrast, min, max); }
int vorn_uvc_getSaturationRange(int* min, int* max) { return getPropertyRange(kSaturation, min, max); }
int vorn_uvc_getSharpnessRange(int* min, int* max) { return getPropertyRange(kSharpness, min, max); }
int vorn_uvc_getGammaRange(int* min, int* max) { return getPropertyRange(kGamma, min, max); }
int vorn_uvc_getAEC_TargetRange(int* min, int* max) { return getPropertyRange(kAecTarget, min, max); }

int vorn_uvc_getBrightnessDefault(int* value) { return getPropertyDefault(kBrightness, value); }
int vorn_uvc_getContrastDefault(int* value) { return getPropertyDefault(kContrast, value); }
int vorn_uvc_getSaturationDefault(int* value) { return getPropertyDefault(kSaturation, value); }
int vorn_uvc_getSharpnessDefault(int* value) { return getPropertyDefault(kSharpness, value); }
int vorn_uvc_getGammaDefault(int* value) { return getPropertyDefault(kGamma, value); }
int vorn_uvc_getAEC_TargetDefault(int* value) { return getPropertyDefault(kAecTarget, value); }

namespace {

// Automatic exposure (control 4) and automatic white balance (property 7)
// switch alike: auto sends a fixed value with the auto flag; manual keeps the
// value the camera last chose for itself and only changes the flag.
struct AutoMode {
    int (*isBitOn)(bool*);
    int (*setBit)(bool);
    int (*get)(int, int*, int*);
    int (*set)(int, int, int);
    int id;
    int autoValue;
    const wchar_t* bitQueryFailure;
    const wchar_t* onFailure;
    const wchar_t* onSuccess;
    const wchar_t* getFailure;
    const wchar_t* offFailure;
    const wchar_t* offSuccess;
};

int controlGet(int id, int* value, int* flags) { return SonixCam_ControlGet(id, value, flags); }
int controlSet(int id, int value, int flags) { return SonixCam_ControlSet(id, value, flags); }
int propertyGet(int id, int* value, int* flags) { return SonixCam_PropertyGet(id, value, flags); }
int propertySet(int id, int value, int flags) { return SonixCam_PropertySet(id, value, flags); }

int setAutoMode(const AutoMode& m, bool on) {
    return guarded([&] {
        if (!modeBitReady(m.isBitOn, m.setBit, m.bitQueryFailure)) return kFailed;
        if (on) {
            if (m.set(m.id, m.autoValue, kFlagsAuto) != 0) {
                logErr(m.onFailure);
                return kFailed;
            }
            logOut(m.onSuccess);
            return kOk;
        }
        int value = 0, flags = 0;
        if (m.get(m.id, &value, &flags) != 0) {
            logErr(m.getFailure);
            return kFailed;
        }
        if (m.set(m.id, value, kFlagsManual) != 0) {
            logErr(m.offFailure);
            return kFailed;
        }
        logOut(m.offSuccess);
        return kOk;
    });
}

const AutoMode kAutoExposure{vorn_uvc_is_RegAEC_On, vorn_uvc_set_RegAEC_Mode, controlGet, controlSet,
                             kControlExposure, kAutoExposureStep, L"Failed to get Exposure info",
                             L"Failed to set AEC Mode ON", L"Successfully set AEC Mode ON",
                             L"Failed to get AEC Exposure info", L"Failed to set AEC Mode OFF",
                             L"Successfully set AEC Mode OFF"};
const AutoMode kAutoWhiteBalance{vorn_uvc_is_RegAWB_On, vorn_uvc_set_RegAWB_Mode, propertyGet, propertySet,
                                 kPropertyWhiteBalance, 0, L"Failed to get White Balance info",
                                 L"Failed to set AWB Mode ON", L"Successfully set AWB Mode ON",
                                 L"Failed to get AWB info", L"Failed to set AWB Mode OFF",
                                 L"Successfully set AWB Mode OFF"};

}  // namespace

int vorn_uvc_setAEC_Mode(bool on) { return setAutoMode(kAutoExposure, on); }

int vorn_uvc_isAECModeOn(bool* on) {
    return guarded([&] {
        int value = 0, flags = 0;
        if (SonixCam_ControlGet(kControlExposure, &value, &flags) != 0) {
            logErr(L"Failed to get AEC Exposure info");
            return kFailed;
        }
        if (on != nullptr) *on = flags == kFlagsAuto;
        return kOk;
    });
}

int vorn_uvc_getManualExposureValue(int* value) {
    return guarded([&] {
        int flags = 0;
        return report(SonixCam_ControlGet(kControlExposure, value, &flags), Outcome{L"Failed to get AEC Exposure info"});
    });
}

int vorn_uvc_setManualExposureValue(int value) {
    return guarded([&] {
        if (value < kExposureMin || value > kExposureMax) {
            logErr(L"Manual Exposure Value range is -1 to -13.");
            return kOutOfRange;
        }
        if (!modeBitReady(vorn_uvc_is_RegAEC_On, vorn_uvc_set_RegAEC_Mode, L"Failed to get Manual Exposure info"))
            return kFailed;
        if (SonixCam_ControlSet(kControlExposure, value, kFlagsManual) != 0) {
            logErr(L"Failed to write Exposure data");
            return kFailed;
        }
        logOut(L"Successfully set Manual Exposure value to ", value);
        return kOk;
    });
}

int vorn_uvc_setAWB_Mode(bool on) { return setAutoMode(kAutoWhiteBalance, on); }

int vorn_uvc_set_AWB_Gain_Red(int value) { return setColourGain(kGainRed, value); }
int vorn_uvc_set_AWB_Gain_Blue(int value) { return setColourGain(kGainBlue, value); }

int vorn_uvc_rotate180(bool on) {
    return guarded([&] {
        const int value = on ? kRotated : kUpright;
        if (SonixCam_ControlSet(kControlRotation, value, kFlagsManual) != 0) {
            logErr(L"Failed to rotate");
            return kFailed;
        }
        logOut(L"Successfully to rotate", value);
        return kOk;
    });
}

int vorn_uvc_isIlluminationOn(bool* on) {
    return guarded([&] {
        int value = 0, flags = 0;
        if (SonixCam_ControlGet(kControlIllumination, &value, &flags) != 0) {
            logErr(L"Failed to get Illumination info");
            return kFailed;
        }
        // The control is a "lamp off" switch: 0 means lit.
        if (on != nullptr) *on = value == 0;
        return kOk;
    });
}

int vorn_uvc_isAWBModeOn(bool* on) {
    return guarded([&] {
        int value = 0, flags = 0;
        if (SonixCam_PropertyGet(kPropertyWhiteBalance, &value, &flags) != 0) {
            logErr(L"Failed to get AWB info");
            return kFailed;
        }
        if (on != nullptr) *on = flags == kFlagsAuto;
        return kOk;
    });
}

int vorn_uvc_isRotate180On(bool* on) {
    return guarded([&] {
        int value = 0, flags = 0;
        if (SonixCam_ControlGet(kControlRotation, &value, &flags) != 0) {
            logErr(L"Failed to get Rotation info");
            return kFailed;
        }
        if (on != nullptr) *on = value == kRotated;
        return kOk;
    });
}

int vorn_uvc_setIllumination(bool on) {
    return guarded([&] {
        return report(SonixCam_ControlSet(kControlIllumination, on ? 0 : 1, kFlagsNone),
                      Outcome{L"Failed to set Illumination info"});
    });
}

}  // extern "C"
