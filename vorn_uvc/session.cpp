// Session, identity, format and firmware exports: thin forwarders to the
// vendor library, each with its own failure and success lines.
#include <cstddef>

#include "sonix_camera.h"
#include "uvc_log.h"
#include "vorn_uvc.h"

using namespace vorn::uvc;

// The records are filled in callers' buffers, so their layout is part of the
// binary interface; every build checks it, the 32-bit one included.
static_assert(sizeof(bool) == 1);
static_assert(sizeof(DeviceRecord) == 4104 && offsetof(DeviceRecord, deviceIndex) == 4096 &&
              offsetof(DeviceRecord, present) == 4100);
static_assert(sizeof(ResolutionInfo) == 16 && offsetof(ResolutionInfo, height) == 4);

namespace {

const Outcome kInit{L"Cannot initialize camera"};
const Outcome kUnInit{L"Cannot Uninitialize camera"};
const Outcome kEnumDevice{L"Failed to get device list."};
const Outcome kSelectDevice{L"Select device failed!", L"Successfully select device", Stream::Err};
const Outcome kRestartDevice{L"Restart device failed!", L"Successfully restart device", Stream::Err};
const Outcome kStartPreview{L"Start preview failed!", L"Successfully start preview!", Stream::Out};
const Outcome kPausePreview{L"Pause preview failed!", L"Successfully pause preview!", Stream::Out};
const Outcome kStopPreview{L"Stop preview failed!", L"Successfully stop preview!", Stream::Out};
const Outcome kFwVersion{L"Cannot get camera FW version information"};
const Outcome kProduct{L"Cannot get camera product information"};
const Outcome kInterface{L"Cannot get camera interface information"};
const Outcome kVidPid{L"Cannot get camera Vendor ID and Product ID information"};
const Outcome kResolutionInfo{L"Cannot get camera preview resolution info"};
const Outcome kCurrentResolutionInfo{L"Cannot get current camera preview resolution info"};
const Outcome kVideoFormat{L"Cannot set camera video format"};
const Outcome kCloseCamera{L"Failed to close camera!", L"Successfully close camera!", Stream::Err};
const Outcome kBurn{L"Failed to burn Firmware!"};

constexpr const wchar_t* kOpenQueryFailed = L"Failed to check whether the camera is open!";

// Brings a register mode bit on before the camera opens; a failed query or
// switch must not stop the open, so both results are dropped.
void ensureModeBitOn(int (*query)(bool*), int (*set)(bool)) {
    bool on = false;
    if (query(&on) == kOk && !on) set(true);
}

}  // namespace

extern "C" {

int vorn_uvc_init(void) {
    return guarded([] { return report(SonixCam_Init(0), kInit); });
}

int vorn_uvc_unInit(void) {
    return guarded([] { return report(SonixCam_UnInit(), kUnInit); });
}

int vorn_uvc_getEnumDevice(DeviceRecord* records, int* count) {
    return guarded([&] { return report(SonixCam_EnumDevice(records, count, VORN_UVC_MAX_DEVICES), kEnumDevice); });
}

int vorn_uvc_selectDevice(int index) {
    return guarded([&] { return report(SonixCam_SelectDevice(index), kSelectDevice); });
}

int vorn_uvc_restartDevice(void) {
    return guarded([] { return report(SonixCam_RestartDevice(), kRestartDevice); });
}

int vorn_uvc_openCamera(VORN_HWND window, int arg, FrameCallbackProc callback) {
    return guarded([&] {
        ensureModeBitOn(vorn_uvc_is_RegAWB_On, vorn_uvc_set_RegAWB_Mode);
        ensureModeBitOn(vorn_uvc_is_RegAEC_On, vorn_uvc_set_RegAEC_Mode);
        return report(SonixCam_OpenCamera(window, arg, callback),
                      Outcome{L"open camera failed!", L"open camera successfully!", Stream::Err});
    });
}

int vorn_uvc_closeCamera(void) {
    return guarded([] {
        bool open = false;
        if (SonixCam_IsOpenCamera(&open) != 0) {
            logErr(kOpenQueryFailed);
            return kFailed;
        }
        if (!open) {
            // Closing a closed camera is a success; the vendor call would fail.
            logErr(L"Camera is NOT open!");
            return kOk;
        }
        return report(SonixCam_CloseCamera(), kCloseCamera);
    });
}

int vorn_uvc_isOpenCamera(bool* open) {
    return guarded([&] {
        if (SonixCam_IsOpenCamera(open) != 0) {
            logErr(kOpenQueryFailed);
            return kFailed;
        }
        logOut(open != nullptr && *open ? L"Camera is OPEN!" : L"Camera is NOT OPEN!");
        return kOk;
    });
}

int vorn_uvc_IsPreviewing(bool* previewing) {
    return guarded([&] {
        if (SonixCam_IsPreviewing(previewing) != 0) {
            logErr(L"Failed to check whether the camera is previewing!");
            return kFailed;
        }
        logOut(previewing != nullptr && *previewing ? L"Camera is PREVIEWING!" : L"Camera is NOT PREVIEWING!");
        return kOk;
    });
}

int vorn_uvc_StartPreview(void) {
    return guarded([] { return report(SonixCam_StartPreview(), kStartPreview); });
}

int vorn_uvc_PausePreview(void) {
    return guarded([] { return report(SonixCam_PausePreview(), kPausePreview); });
}

int vorn_uvc_StopPreview(void) {
    return guarded([] { return report(SonixCam_StopPreview(), kStopPreview); });
}

int vorn_uvc_get_FW_version(char* buf, int size, int mode) {
    return guarded([&] { return report(SonixCam_GetFwVersion(buf, size, mode), kFwVersion); });
}

int vorn_uvc_get_product(char* buf, int size) {
    return guarded([&] { return report(SonixCam_GetProduct(buf, size), kProduct); });
}

int vorn_uvc_get_interface(char* buf, int size) {
    return guarded([&] { return report(SonixCam_GetInterface(buf, size), kInterface); });
}

int vorn_uvc_getVidPid(uint8_t* buf, int size) {
    return guarded([&] { return report(SonixCam_GetVidPid(buf, size), kVidPid); });
}

int vorn_uvc_getPreviewResolutionCount(int* count) {
    return guarded([&] {
        int vendorCount = 0;
        if (SonixCam_GetPreviewResolutionCount(&vendorCount) != 0) {
            logErr(L"Cannot get preview resolution count");
            return kFailed;
        }
        // The vendor lists every resolution twice, once per video format.
        if (count != nullptr) *count = vendorCount / 2;
        return kOk;
    });
}

int vorn_uvc_getPreviewResolutionInfo(int index, ResolutionInfo* info) {
    return guarded([&] { return report(SonixCam_GetPreviewResolutionInfo(index, info), kResolutionInfo); });
}

int vorn_uvc_getCurrentPreviewResolutionInfo(ResolutionInfo* info) {
    return guarded([&] { return report(SonixCam_GetCurrentPreviewResolutionInfo(info), kCurrentResolutionInfo); });
}

int vorn_uvc_setVideoFormat(int format, int resolutionIndex) {
    return guarded([&] { return report(SonixCam_SetVideoFormat(format, resolutionIndex), kVideoFormat); });
}

int vorn_uvc_BurnerFW(const uint8_t* image, int length, BurnProgressProc progress, void* context,
                      int fullVerify) {
    return guarded([&] {
        // Older cameras report no flash type; 1 is what they all take.
        int flashType = 0;
        SonixCam_GetSerialFlashType(&flashType, 1);
        if (flashType == 0) flashType = 1;
        return report(SonixCam_BurnerFW(image, length, progress, context, flashType, fullVerify), kBurn);
    });
}

int vorn_uvc_getSerialFlashType(int* type) {
    return guarded([&] {
        int flashType = 0;
        if (SonixCam_GetSerialFlashType(&flashType, 1) != 0) {
            logErr(L"Cannot get camera serial flash type");
            return kFailed;
        }
        if (type != nullptr) *type = flashType;
        return kOk;
    });
}

}  // extern "C"
