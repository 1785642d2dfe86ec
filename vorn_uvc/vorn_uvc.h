/* vorn_uvc: camera control library for Vorn USB cameras.
 *
 * Plain C interface. Every function returns 0 on success, 1 when a camera
 * call or register access failed, 5 when an argument is outside its range.
 * Out-parameters computed by the library are written only on success.
 * Progress and failures are reported as lines on the wide standard output
 * and error streams. */
#ifndef VORN_UVC_H
#define VORN_UVC_H

#include <stdbool.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
typedef HWND VORN_HWND;
#define VORN_CDECL __cdecl
#define VORN_STDCALL __stdcall
#ifdef VORN_UVC_BUILDING
#define VORN_UVC_API __declspec(dllexport)
#else
#define VORN_UVC_API __declspec(dllimport)
#endif
#else
typedef void* VORN_HWND;
#define VORN_CDECL
#define VORN_STDCALL
#define VORN_UVC_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define VORN_UVC_MAX_DEVICES 5

/* One entry of the device table filled by enumeration (4104 bytes). */
typedef struct DeviceRecord {
    char devicePath[4096];
    int32_t deviceIndex;
    uint8_t present;
    uint8_t reserved[3];
} DeviceRecord;

/* A preview resolution; only width and height are relied upon. */
typedef struct ResolutionInfo {
    int32_t width;
    int32_t height;
    int32_t formatIndex;
    int32_t frameRate;
} ResolutionInfo;

/* Called by the camera once per delivered frame (one JPEG image). */
typedef int(VORN_STDCALL* FrameCallbackProc)(const uint8_t* data, int length);
/* Called during a firmware burn with the fraction done, 0.0 to 1.0. */
typedef int(VORN_CDECL* BurnProgressProc)(void* context, float done);

/* Session */
VORN_UVC_API int VORN_CDECL vorn_uvc_init(void);
VORN_UVC_API int VORN_CDECL vorn_uvc_unInit(void);
VORN_UVC_API int VORN_CDECL vorn_uvc_getEnumDevice(DeviceRecord* records, int* count);
VORN_UVC_API int VORN_CDECL vorn_uvc_selectDevice(int index);
VORN_UVC_API int VORN_CDECL vorn_uvc_restartDevice(void);
VORN_UVC_API int VORN_CDECL vorn_uvc_openCamera(VORN_HWND window, int arg, FrameCallbackProc callback);
VORN_UVC_API int VORN_CDECL vorn_uvc_closeCamera(void);
VORN_UVC_API int VORN_CDECL vorn_uvc_isOpenCamera(bool* open);
VORN_UVC_API int VORN_CDECL vorn_uvc_IsPreviewing(bool* previewing);
VORN_UVC_API int VORN_CDECL vorn_uvc_StartPreview(void);
VORN_UVC_API int VORN_CDECL vorn_uvc_PausePreview(void);
VORN_UVC_API int VORN_CDECL vorn_uvc_StopPreview(void);

/* Identity, formats, firmware */
VORN_UVC_API int VORN_CDECL vorn_uvc_get_FW_version(char* buf, int size, int mode);
VORN_UVC_API int VORN_CDECL vorn_uvc_get_product(char* buf, int size);
VORN_UVC_API int VORN_CDECL vorn_uvc_get_interface(char* buf, int size);
VORN_UVC_API int VORN_CDECL vorn_uvc_getVidPid(uint8_t* buf, int size);
VORN_UVC_API int VORN_CDECL vorn_uvc_getPreviewResolutionCount(int* count);
VORN_UVC_API int VORN_CDECL vorn_uvc_getPreviewResolutionInfo(int index, ResolutionInfo* info);
VORN_UVC_API int VORN_CDECL vorn_uvc_getCurrentPreviewResolutionInfo(ResolutionInfo* info);
VORN_UVC_API int VORN_CDECL vorn_uvc_setVideoFormat(int format, int resolutionIndex);
VORN_UVC_API int VORN_CDECL vorn_uvc_BurnerFW(const uint8_t* image, int length, BurnProgressProc progress,
                                              void* context, int fullVerify);

/* Picture properties and modes */
VORN_UVC_API int VORN_CDECL vorn_uvc_getBrightness(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getContrast(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getSaturation(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getSharpness(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getGamma(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getAEC_Target(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_setBrightness(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_setContrast(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_setSaturation(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_setSharpness(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_setGamma(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_setAEC_Target(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getBrightnessRange(int* min, int* max);
VORN_UVC_API int VORN_CDECL vorn_uvc_getContrastRange(int* min, int* max);
VORN_UVC_API int VORN_CDECL vorn_uvc_getSaturationRange(int* min, int* max);
VORN_UVC_API int VORN_CDECL vorn_uvc_getSharpnessRange(int* min, int* max);
VORN_UVC_API int VORN_CDECL vorn_uvc_getGammaRange(int* min, int* max);
VORN_UVC_API int VORN_CDECL vorn_uvc_getAEC_TargetRange(int* min, int* max);
VORN_UVC_API int VORN_CDECL vorn_uvc_setAEC_Mode(bool on);
VORN_UVC_API int VORN_CDECL vorn_uvc_setAWB_Mode(bool on);
VORN_UVC_API int VORN_CDECL vorn_uvc_isAECModeOn(bool* on);
VORN_UVC_API int VORN_CDECL vorn_uvc_getManualExposureValue(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_setManualExposureValue(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_set_AWB_Gain_Red(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_set_AWB_Gain_Blue(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_rotate180(bool on);
VORN_UVC_API int VORN_CDECL vorn_uvc_isIlluminationOn(bool* on);
VORN_UVC_API int VORN_CDECL vorn_uvc_setIllumination(bool on);

/* Image processor registers */
VORN_UVC_API int VORN_CDECL vorn_uvc_set_RegAWB_Mode(bool on);
VORN_UVC_API int VORN_CDECL vorn_uvc_set_RegAEC_Mode(bool on);
VORN_UVC_API int VORN_CDECL vorn_uvc_is_RegAWB_On(bool* on);
VORN_UVC_API int VORN_CDECL vorn_uvc_is_RegAEC_On(bool* on);
VORN_UVC_API int VORN_CDECL vorn_uvc_get_AWB_Gain_Red(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_get_AWB_Gain_Green(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_get_AWB_Gain_Blue(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_set_AWB_Gain_Red_ThruReg(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_set_AWB_Gain_Blue_ThruReg(int value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getExposureValueThruReg(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_setExposureValueThruReg(int value);

/* Additions after the 60. Camera defaults: the default that the camera
 * reports with each property's range. */
VORN_UVC_API int VORN_CDECL vorn_uvc_getBrightnessDefault(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getContrastDefault(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getSaturationDefault(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getSharpnessDefault(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getGammaDefault(int* value);
VORN_UVC_API int VORN_CDECL vorn_uvc_getAEC_TargetDefault(int* value);

/* Additions after the 60. Read-backs the 60 lack: the white balance mode
 * (on when the camera runs it automatically), the rotation (on when the
 * picture is turned by 180 degrees) and the serial flash type as the camera
 * reports it (0 for a camera that names none). */
VORN_UVC_API int VORN_CDECL vorn_uvc_isAWBModeOn(bool* on);
VORN_UVC_API int VORN_CDECL vorn_uvc_isRotate180On(bool* on);
VORN_UVC_API int VORN_CDECL vorn_uvc_getSerialFlashType(int* type);

#ifdef __cplusplus
}
#endif

#endif /* VORN_UVC_H */
