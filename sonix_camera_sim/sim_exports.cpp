// The exported functions of the simulated SonixCamera library. Each formats
// its arguments for the trace and hands over to the simulator.
#include <algorithm>
#include <cstring>
#include <string>

#include "sim_simulator.h"
#include "sonix_sim.h"

using sonix_sim::Simulator;
namespace targ = sonix_sim::targ;

namespace {

template <typename... Parts>
std::string Args(const Parts&... parts) {
    std::string s;
    ((s += (s.empty() ? "" : ", "), s += parts), ...);
    return s;
}

// No exception may cross the C boundary.
template <typename F>
int Guard(F&& f) {
    try {
        return f();
    } catch (...) {
        return sonix_sim::kErrDevice;
    }
}

template <typename F>
int Vendor(const char* name, const std::string& args, std::optional<long> firstArg, F&& op) {
    return Guard([&] { return Simulator::Instance().Call(name, args, firstArg, op); });
}

const void* Fn(FrameCallbackProc p) { return reinterpret_cast<const void*>(p); }
const void* Fn(BurnProgressProc p) { return reinterpret_cast<const void*>(p); }

int CopyOut(const std::string& s, char* buf, int size) {
    if (buf && size > 0) {
        size_t n = std::min(s.size(), static_cast<size_t>(size - 1));
        std::memcpy(buf, s.data(), n);
        buf[n] = '\0';
    }
    return static_cast<int>(s.size());
}
}  // namespace

extern "C" {

SONIX_EXPORT int SONIX_API SonixCam_Init(int reserved) {
    return Vendor("SonixCam_Init", Args(targ::Int(reserved)), reserved,
                  [&] { return Simulator::Instance().Init(reserved); });
}

SONIX_EXPORT int SONIX_API SonixCam_UnInit(void) {
    return Vendor("SonixCam_UnInit", "", std::nullopt, [] { return Simulator::Instance().UnInit(); });
}

SONIX_EXPORT int SONIX_API SonixCam_EnumDevice(DeviceRecord* records, int* count, int maxCount) {
    return Vendor("SonixCam_EnumDevice", Args(targ::Out(records), targ::Out(count), targ::Int(maxCount)),
                  std::nullopt, [&] { return Simulator::Instance().EnumDevice(records, count, maxCount); });
}

SONIX_EXPORT int SONIX_API SonixCam_SelectDevice(int index) {
    return Vendor("SonixCam_SelectDevice", Args(targ::Int(index)), index,
                  [&] { return Simulator::Instance().SelectDevice(index); });
}

SONIX_EXPORT int SONIX_API SonixCam_RestartDevice(void) {
    return Vendor("SonixCam_RestartDevice", "", std::nullopt, [] { return Simulator::Instance().RestartDevice(); });
}

SONIX_EXPORT int SONIX_API SonixCam_OpenCamera(VORN_HWND window, int arg, FrameCallbackProc callback) {
    return Vendor("SonixCam_OpenCamera", Args(targ::Window(window), targ::Int(arg), targ::Function(Fn(callback))),
                  std::nullopt, [&] { return Simulator::Instance().OpenCamera(window, arg, callback); });
}

SONIX_EXPORT int SONIX_API SonixCam_IsOpenCamera(bool* open) {
    return Vendor("SonixCam_IsOpenCamera", Args(targ::Out(open)), std::nullopt,
                  [&] { return Simulator::Instance().IsOpenCamera(open); });
}

SONIX_EXPORT int SONIX_API SonixCam_CloseCamera(void) {
    return Vendor("SonixCam_CloseCamera", "", std::nullopt, [] { return Simulator::Instance().CloseCamera(); });
}

SONIX_EXPORT int SONIX_API SonixCam_IsPreviewing(bool* previewing) {
    return Vendor("SonixCam_IsPreviewing", Args(targ::Out(previewing)), std::nullopt,
                  [&] { return Simulator::Instance().IsPreviewing(previewing); });
}

SONIX_EXPORT int SONIX_API SonixCam_StartPreview(void) {
    return Vendor("SonixCam_StartPreview", "", std::nullopt, [] { return Simulator::Instance().StartPreview(); });
}

SONIX_EXPORT int SONIX_API SonixCam_PausePreview(void) {
    return Vendor("SonixCam_PausePreview", "", std::nullopt, [] { return Simulator::Instance().PausePreview(); });
}

SONIX_EXPORT int SONIX_API SonixCam_StopPreview(void) {
    return Vendor("SonixCam_StopPreview", "", std::nullopt, [] { return Simulator::Instance().StopPreview(); });
}

SONIX_EXPORT int SONIX_API SonixCam_GetFwVersion(char* buf, int size, int mode) {
    return Vendor("SonixCam_GetFwVersion", Args(targ::Out(buf), targ::Int(size), targ::Int(mode)), std::nullopt,
                  [&] { return Simulator::Instance().GetFwVersion(buf, size, mode); });
}

SONIX_EXPORT int SONIX_API SonixCam_GetProduct(char* buf, int size) {
    return Vendor("SonixCam_GetProduct", Args(targ::Out(buf), targ::Int(size)), std::nullopt,
                  [&] { return Simulator::Instance().GetProduct(buf, size); });
}

SONIX_EXPORT int SONIX_API SonixCam_GetInterface(char* buf, int size) {
    return Vendor("SonixCam_GetInterface", Args(targ::Out(buf), targ::Int(size)), std::nullopt,
                  [&] { return Simulator::Instance().GetInterface(buf, size); });
}

SONIX_EXPORT int SONIX_API SonixCam_GetVidPid(uint8_t* buf, int size) {
    return Vendor("SonixCam_GetVidPid", Args(targ::Out(buf), targ::Int(size)), std::nullopt,
                  [&] { return Simulator::Instance().GetVidPid(buf, size); });
}

SONIX_EXPORT int SONIX_API SonixCam_GetPreviewResolutionCount(int* count) {
    return Vendor("SonixCam_GetPreviewResolutionCount", Args(targ::Out(count)), std::nullopt,
                  [&] { return Simulator::Instance().GetPreviewResolutionCount(count); });
}

SONIX_EXPORT int SONIX_API SonixCam_GetPreviewResolutionInfo(int index, ResolutionInfo* info) {
    return Vendor("SonixCam_GetPreviewResolutionInfo", Args(targ::Int(index), targ::Out(info)), index,
                  [&] { return Simulator::Instance().GetPreviewResolutionInfo(index, info); });
}

SONIX_EXPORT int SONIX_API SonixCam_GetCurrentPreviewResolutionInfo(ResolutionInfo* info) {
    return Vendor("SonixCam_GetCurrentPreviewResolutionInfo", Args(targ::Out(info)), std::nullopt,
                  [&] { return Simulator::Instance().GetCurrentPreviewResolutionInfo(info); });
}

SONIX_EXPORT int SONIX_API SonixCam_SetVideoFormat(int format, int resolutionIndex) {
    return Vendor("SonixCam_SetVideoFormat", Args(targ::Int(format), targ::Int(resolutionIndex)), format,
                  [&] { return Simulator::Instance().SetVideoFormat(format, resolutionIndex); });
}

SONIX_EXPORT int SONIX_API SonixCam_PropertyGet(int id, int* value, int* flags) {
    return Vendor("SonixCam_PropertyGet", Args(targ::Int(id), targ::Out(value), targ::Out(flags)), id,
                  [&] { return Simulator::Instance().PropertyGet(id, value, flags); });
}

SONIX_EXPORT int SONIX_API SonixCam_PropertySet(int id, int value, int flags) {
    return Vendor("SonixCam_PropertySet", Args(targ::Int(id), targ::Int(value), targ::Int(flags)), id,
                  [&] { return Simulator::Instance().PropertySet(id, value, flags); });
}

SONIX_EXPORT int SONIX_API SonixCam_PropertyGetRange(int id, int* min, int* max, int* step, int* dflt, int* flags) {
    return Vendor("SonixCam_PropertyGetRange",
                  Args(targ::Int(id), targ::Out(min), targ::Out(max), targ::Out(step), targ::Out(dflt),
                       targ::Out(flags)),
                  id, [&] { return Simulator::Instance().PropertyGetRange(id, min, max, step, dflt, flags); });
}

SONIX_EXPORT int SONIX_API SonixCam_ControlGet(int id, int* value, int* flags) {
    return Vendor("SonixCam_ControlGet", Args(targ::Int(id), targ::Out(value), targ::Out(flags)), id,
                  [&] { return Simulator::Instance().ControlGet(id, value, flags); });
}

SONIX_EXPORT int SONIX_API SonixCam_ControlSet(int id, int value, int flags) {
    return Vendor("SonixCam_ControlSet", Args(targ::Int(id), targ::Int(value), targ::Int(flags)), id,
                  [&] { return Simulator::Instance().ControlSet(id, value, flags); });
}

SONIX_EXPORT int SONIX_API SonixCam_AsicRegisterRead(int address, uint8_t* buf, int count) {
    return Vendor("SonixCam_AsicRegisterRead", Args(targ::Int(address), targ::Out(buf), targ::Int(count)), address,
                  [&] { return Simulator::Instance().RegisterRead(address, buf, count); });
}

SONIX_EXPORT int SONIX_API SonixCam_AsicRegisterWrite(int address, const uint8_t* buf, int count) {
    return Vendor("SonixCam_AsicRegisterWrite", Args(targ::Int(address), targ::Bytes(buf, count), targ::Int(count)),
                  address, [&] { return Simulator::Instance().RegisterWrite(address, buf, count); });
}

SONIX_EXPORT int SONIX_API SonixCam_GetSerialFlashType(int* type, int reserved) {
    return Vendor("SonixCam_GetSerialFlashType", Args(targ::Out(type), targ::Int(reserved)), std::nullopt,
                  [&] { return Simulator::Instance().GetSerialFlashType(type, reserved); });
}

SONIX_EXPORT int SONIX_API SonixCam_BurnerFW(const uint8_t* image, int length, BurnProgressProc progress,
                                             void* context, int flashType, int fullVerify) {
    return Vendor("SonixCam_BurnerFW",
                  Args(targ::Out(image), targ::Int(length), targ::Function(Fn(progress)), targ::Out(context),
                       targ::Int(flashType), targ::Int(fullVerify)),
                  std::nullopt, [&] {
                      return Simulator::Instance().BurnFirmware(image, length, progress, context, flashType,
                                                                fullVerify);
                  });
}

// --- simulator control -------------------------------------------------------

SONIX_EXPORT int SONIX_API SonixSim_LoadScenarioFile(const char* path) {
    if (!path) return sonix_sim::kErrArgument;
    return Guard([&] { return Simulator::Instance().LoadFile(path); });
}

SONIX_EXPORT int SONIX_API SonixSim_LoadScenarioText(const char* text) {
    if (!text) return sonix_sim::kErrArgument;
    return Guard([&] { return Simulator::Instance().LoadText(text); });
}

SONIX_EXPORT int SONIX_API SonixSim_ResetDefault(void) {
    return Guard([] { return Simulator::Instance().LoadDefault(); });
}

SONIX_EXPORT int SONIX_API SonixSim_LastError(char* buf, int size) {
    return Guard([&] { return CopyOut(Simulator::Instance().LastError(), buf, size); });
}

SONIX_EXPORT int SONIX_API SonixSim_GetTrace(char* buf, int size) {
    return Guard([&] { return CopyOut(Simulator::Instance().TraceText(), buf, size); });
}

SONIX_EXPORT int SONIX_API SonixSim_ClearTrace(void) {
    return Guard([] {
        Simulator::Instance().ClearTrace();
        return 0;
    });
}

SONIX_EXPORT int SONIX_API SonixSim_PeekRegisters(int camera, int address, uint8_t* buf, int count) {
    return Guard([&] { return Simulator::Instance().Peek(camera, address, buf, count); });
}

SONIX_EXPORT int SONIX_API SonixSim_PokeRegisters(int camera, int address, const uint8_t* buf, int count) {
    return Guard([&] { return Simulator::Instance().Poke(camera, address, buf, count); });
}

SONIX_EXPORT int SONIX_API SonixSim_ReadFlash(int camera, uint8_t* buf, int size) {
    return Guard([&] { return Simulator::Instance().ReadFlash(camera, buf, size); });
}

SONIX_EXPORT int SONIX_API SonixSim_SetFaults(const char* rules) {
    if (!rules) return sonix_sim::kErrArgument;
    return Guard([&] { return Simulator::Instance().SetFaults(rules); });
}

SONIX_EXPORT int SONIX_API SonixSim_SetPlugged(int camera, int plugged) {
    return Guard([&] { return Simulator::Instance().SetPlugged(camera, plugged != 0); });
}

SONIX_EXPORT int SONIX_API SonixSim_FramesDelivered(uint64_t* count) {
    if (count == nullptr) return sonix_sim::kErrArgument;
    return Guard([&] {
        *count = Simulator::Instance().FramesDelivered();
        return sonix_sim::kOk;
    });
}

}  // extern "C"
