// Cameras coming and going while the window runs: the camera in use pulled
// out, a camera plugged in, and what Start, About and Burn Firmware do while
// no camera is there.
#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "config/device_list.h"
#include "resources/resource.h"
#include "resources/template_items.h"
#include "ui/controls.h"
#include "ui/message_map.h"
#include "window/main_dialog.h"

namespace {

constexpr wchar_t kDisconnected[] = L"The camera was disconnected.\r\n";
constexpr wchar_t kConnected[] = L"A camera was connected.\r\n";
constexpr wchar_t kDisconnectedCaption[] = L"Vorn Camera Control Tool - camera disconnected";
constexpr wchar_t kNoCameraToStart[] = L"There is no camera to start.\r\n";
constexpr wchar_t kNoCameraToAsk[] = L"There is no camera to show information about.\r\n";
constexpr wchar_t kNoCameraToUpdate[] = L"There is no camera to update.\r\n";

// The device path of a capture-interface notification; empty for anything
// else. The name is read no further than the header's size.
std::string CapturePath(LPARAM data) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return {};
    const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(data);
    constexpr size_t kNameAt = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (device->dbcc_size <= kNameAt || !IsEqualGUID(device->dbcc_classguid, kCaptureDeviceClass)) return {};
    const size_t chars = (device->dbcc_size - kNameAt) / sizeof(wchar_t);
    std::string path;
    // Device paths are ASCII; anything else can't match a listed one.
    for (size_t i = 0; i < chars && device->dbcc_name[i] != 0; ++i)
        path += device->dbcc_name[i] < 0x80 ? static_cast<char>(device->dbcc_name[i]) : '?';
    return path;
}

}  // namespace

ui::MessageMap CVornControlsDlg::DeviceChangeMap() {
    static const ui::MapEntry entries[] = {
        ui::OnMessage<&CVornControlsDlg::OnDeviceChange>(WM_DEVICECHANGE),
        ui::OnBnClicked<&CVornControlsDlg::OnStartWithoutCamera>(IDC_START_CAMERA),
        ui::OnCommand<&CVornControlsDlg::OnAboutWithoutCamera>(ID_HELP_ABOUT),
        ui::OnCommand<&CVornControlsDlg::OnBurnWithoutCamera>(ID_TOOLS_BURN_FIRMWARE),
    };
    return entries;
}

bool CVornControlsDlg::IsRunning() const {
    return m_controlsEnabled && ItemText(IDC_START_CAMERA) == L"Stop Camera";
}

bool CVornControlsDlg::OnDeviceChange(WPARAM event, LPARAM data) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return false;
    const std::string path = CapturePath(data);
    if (path.empty()) return false;

    if (event == DBT_DEVICEREMOVECOMPLETE) {
        const bool inUse = !m_cameraGone && m_selectedDevice >= 0 && m_selectedDevice < m_deviceCount &&
                           vorn::devices::SamePath(m_devices[m_selectedDevice].devicePath, path.c_str());
        if (!inUse) {
            // Another camera: the list follows, the picture goes on.
            RefreshDevices();
            return true;
        }
        // Running or a failed start: back to idle as a stop would, and the
        // values last applied remembered (the camera can't be asked).
        RememberAtPictureEnd();
        if (m_controlsEnabled) EnterIdleAfterStop();
        RefreshDevices();
        AppendStatus(kDisconnected);
        ShowDisconnected(true);
    } else {
        const bool wasGone = m_cameraGone;
        RefreshDevices();
        AppendStatus(kConnected);
        if (m_validDeviceCount > 0) ShowDisconnected(false);
        // A press after "no camera" left the state of a failed start; the
        // next Start Camera should start, not stop.
        if (wasGone && !m_cameraGone && m_controlsEnabled && !IsRunning()) {
            EnableControls(false);
            EnableItem(IDC_DEVICE, true);
        }
    }
    UpdateData(false);
    ScrollStatusToEnd();
    return true;
}

void CVornControlsDlg::RefreshDevices() {
    const std::string selectedPath =
        m_selectedDevice >= 0 && m_selectedDevice < m_deviceCount ? m_devices[m_selectedDevice].devicePath : "";
    if (!IsRunning() && !m_firmwareDlg.IsBurning()) {
        // Nothing to disturb: the start-up checks, then back to the camera
        // chosen before if it is still usable.
        ProbeDevices();
        const int at = vorn::devices::FindPath(m_devices, m_deviceCount, selectedPath.c_str());
        if (at >= 0 && m_deviceValid[at]) m_selectedDevice = at;
        m_devicesUnchecked = false;
        if (m_validDeviceCount > 0) vorn_uvc_selectDevice(m_selectedDevice);
    } else {
        // Selecting another camera would stop the picture or the burn: list
        // only. Known slots keep their verdict, new ones wait for the checks.
        DeviceRecord before[kMaxDevices];
        bool validBefore[kMaxDevices];
        const int countBefore = m_deviceCount;
        std::copy(std::begin(m_devices), std::end(m_devices), before);
        std::copy(std::begin(m_deviceValid), std::end(m_deviceValid), validBefore);
        m_deviceCount = vorn::devices::ListOnly(m_devices);
        m_validDeviceCount = 0;
        for (int i = 0; i < kMaxDevices; ++i) {
            bool valid = false;
            if (i < m_deviceCount) {
                const int was = vorn::devices::FindPath(before, countBefore, m_devices[i].devicePath);
                valid = was >= 0 ? validBefore[was] : (m_devicesUnchecked = true);
            }
            m_deviceValid[i] = valid;
            if (valid) ++m_validDeviceCount;
        }
        const int at = vorn::devices::FindPath(m_devices, m_deviceCount, selectedPath.c_str());
        if (at >= 0) {
            m_selectedDevice = at;
        } else {
            for (int i = kMaxDevices - 1; i >= 0; --i)
                if (m_deviceValid[i]) m_selectedDevice = i;
        }
    }
    m_cameraGone = m_validDeviceCount == 0;
    FillDeviceCombo();
}

void CVornControlsDlg::FillDeviceCombo() {
    while (m_deviceCombo.Count() > 0) m_deviceCombo.DeleteString(0);
    int item = 0;
    int selectedItem = 0;
    for (int slot = 0; slot < kMaxDevices; ++slot) {
        if (!m_deviceValid[slot]) continue;
        if (slot == m_selectedDevice) selectedItem = item;
        m_deviceCombo.AddString(vorn::resources::kDeviceItems[item++]);
    }
    ShowDeviceChoice(m_validDeviceCount > 1);
    m_deviceCombo.SetCurSel(item > 0 ? selectedItem : -1);
}

void CVornControlsDlg::ShowDeviceChoice(bool show) {
    // The label goes with its box, else it points at an empty space.
    m_deviceCombo.Show(show);
    ShowItem(IDC_DEVICE_LABEL, show);
}

void CVornControlsDlg::EnterIdleAfterStop() {
    // The camera is gone already; closing it fails harmlessly and must not
    // wait on the frame thread, which the unplug has ended.
    CloseCamera();
    EnableControls(false);
    EnableItem(IDC_DEVICE, true);
    SetItemText(IDC_START_CAMERA, L"Start Camera");
}

void CVornControlsDlg::EnterStartFailed(const wchar_t* line) {
    AppendStatus(line);
    // EnableControls gives the resolution box the previous state: from a
    // failed start pass through idle, so it ends disabled as after a start.
    if (m_controlsEnabled) EnableControls(false);
    EnableControls(true);
    EnableItem(IDC_DEVICE, false);
    SetItemText(IDC_START_CAMERA, L"Start Camera");
    m_menu.EnableItem(ID_FILE_SAVE_CONFIG, MF_GRAYED | MF_DISABLED);
    m_menu.EnableItem(ID_FILE_LOAD_CONFIG, MF_GRAYED | MF_DISABLED);
    m_menu.EnableItem(ID_TOOLS_RESTORE_DEFAULTS, MF_GRAYED | MF_DISABLED);
    m_menu.EnableItem(ID_TOOLS_BURN_FIRMWARE, MF_ENABLED);
    UpdateData(false);
    ScrollStatusToEnd();
}

void CVornControlsDlg::ShowDisconnected(bool disconnected) {
    if (disconnected == m_showsDisconnected) return;
    if (disconnected) m_normalCaption = ui::WindowText(hwnd());
    SetWindowTextW(hwnd(), disconnected ? kDisconnectedCaption : m_normalCaption.c_str());
    m_showsDisconnected = disconnected;
}

bool CVornControlsDlg::OnStartWithoutCamera() {
    // Slots listed while something ran get their checks before a start.
    if (m_devicesUnchecked && !IsRunning() && !m_firmwareDlg.IsBurning()) RefreshDevices();
    if (!m_cameraGone) return false;  // the usual Start/Stop
    EnterStartFailed(kNoCameraToStart);
    return true;
}

bool CVornControlsDlg::OnAboutWithoutCamera() {
    if (!m_cameraGone) return false;
    EnterStartFailed(kNoCameraToAsk);
    return true;
}

bool CVornControlsDlg::OnBurnWithoutCamera() {
    if (!m_cameraGone || m_firmwareDlg.IsBurning()) return false;
    EnterStartFailed(kNoCameraToUpdate);
    return true;
}
