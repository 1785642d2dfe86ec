#include "sim_notify.h"

#ifdef _WIN32
#include <windows.h>

#include <dbt.h>

#include <cstddef>
#include <vector>

namespace sonix_sim {
namespace {

constexpr GUID kCaptureDeviceClass = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
// Long enough for a slow window thread; short enough that a window that
// never answers doesn't hold the plug timer for good.
constexpr UINT kSendTimeoutMs = 30000;

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

void NotifyDeviceChange(bool arrival, const std::string& devicePath) {
    std::vector<HWND> windows;
    EnumWindows(&CollectProcessWindow, reinterpret_cast<LPARAM>(&windows));
    if (windows.empty()) return;

    const size_t nameChars = devicePath.size() + 1;
    const size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + nameChars * sizeof(wchar_t);
    std::vector<unsigned char> storage(size, 0);
    auto* header = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(storage.data());
    header->dbcc_size = static_cast<DWORD>(size);
    header->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    header->dbcc_classguid = kCaptureDeviceClass;
    for (size_t i = 0; i < devicePath.size(); ++i)
        header->dbcc_name[i] = static_cast<wchar_t>(static_cast<unsigned char>(devicePath[i]));

    // Sent, not posted: the system refuses to post device-change messages
    // that carry a pointer, and the header must outlive the handlers.
    const WPARAM event = arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    for (HWND window : windows) {
        if (!IsWindow(window)) continue;
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(header), SMTO_NORMAL,
                            kSendTimeoutMs, &result);
    }
}

}  // namespace sonix_sim

#else

namespace sonix_sim {

void NotifyDeviceChange(bool, const std::string&) {}

}  // namespace sonix_sim

#endif
