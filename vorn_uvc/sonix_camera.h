/* Declarations of the camera controller vendor's library, SonixCamera.
 * Every function is stdcall and returns 0 on success, anything else on
 * failure. Our simulated library implements exactly these; a user with real
 * cameras drops the vendor's SonixCamera.dll in its place. */
#ifndef SONIX_CAMERA_H
#define SONIX_CAMERA_H

#include "vorn_uvc.h"

#ifdef _WIN32
#define SONIX_API __stdcall
#ifdef SONIX_CAMERA_BUILDING
#define SONIX_EXPORT
#else
#define SONIX_EXPORT __declspec(dllimport)
#endif
#else
#define SONIX_API
#define SONIX_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

SONIX_EXPORT int SONIX_API SonixCam_Init(int reserved);
SONIX_EXPORT int SONIX_API SonixCam_UnInit(void);
SONIX_EXPORT int SONIX_API SonixCam_EnumDevice(DeviceRecord* records, int* count, int maxCount);
SONIX_EXPORT int SONIX_API SonixCam_SelectDevice(int index);
SONIX_EXPORT int SONIX_API SonixCam_RestartDevice(void);
SONIX_EXPORT int SONIX_API SonixCam_OpenCamera(VORN_HWND window, int arg, FrameCallbackProc callback);
SONIX_EXPORT int SONIX_API SonixCam_IsOpenCamera(bool* open);
SONIX_EXPORT int SONIX_API SonixCam_CloseCamera(void);
SONIX_EXPORT int SONIX_API SonixCam_IsPreviewing(bool* previewing);
SONIX_EXPORT int SONIX_API SonixCam_StartPreview(void);
SONIX_EXPORT int SONIX_API SonixCam_PausePreview(void);
SONIX_EXPORT int SONIX_API SonixCam_StopPreview(void);
SONIX_EXPORT int SONIX_API SonixCam_GetFwVersion(char* buf, int size, int mode);
SONIX_EXPORT int SONIX_API SonixCam_GetProduct(char* buf, int size);
SONIX_EXPORT int SONIX_API SonixCam_GetInterface(char* buf, int size);
SONIX_EXPORT int SONIX_API SonixCam_GetVidPid(uint8_t* buf, int size);
SONIX_EXPORT int SONIX_API SonixCam_GetPreviewResolutionCount(int* count);
SONIX_EXPORT int SONIX_API SonixCam_GetPreviewResolutionInfo(int index, ResolutionInfo* info);
SONIX_EXPORT int SONIX_API SonixCam_GetCurrentPreviewResolutionInfo(ResolutionInfo* info);
SONIX_EXPORT int SONIX_API SonixCam_SetVideoFormat(int format, int resolutionIndex);
SONIX_EXPORT int SONIX_API SonixCam_PropertyGet(int id, int* value, int* flags);
SONIX_EXPORT int SONIX_API SonixCam_PropertySet(int id, int value, int flags);
SONIX_EXPORT int SONIX_API SonixCam_PropertyGetRange(int id, int* min, int* max, int* step, int* dflt, int* flags);
SONIX_EXPORT int SONIX_API SonixCam_ControlGet(int id, int* value, int* flags);
SONIX_EXPORT int SONIX_API SonixCam_ControlSet(int id, int value, int flags);
SONIX_EXPORT int SONIX_API SonixCam_AsicRegisterRead(int address, uint8_t* buf, int count);
SONIX_EXPORT int SONIX_API SonixCam_AsicRegisterWrite(int address, const uint8_t* buf, int count);
SONIX_EXPORT int SONIX_API SonixCam_GetSerialFlashType(int* type, int reserved);
SONIX_EXPORT int SONIX_API SonixCam_BurnerFW(const uint8_t* image, int length, BurnProgressProc progress,
                                             void* context, int flashType, int fullVerify);

#ifdef __cplusplus
}
#endif

#endif /* SONIX_CAMERA_H */
