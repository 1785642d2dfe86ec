// Camera start and stop, the choice of camera, and the frame function the
// camera library calls for every frame.
#include <windows.h>

#include <algorithm>

#include "resources/resource.h"
#include "ui/prompts.h"
#include "window/main_dialog.h"

namespace {

constexpr int kFirmwareBufferSize = 60;
constexpr int kRotateBuild = 210810;

}  // namespace

ui::MessageMap CVornControlsDlg::CameraMap() {
    static const ui::MapEntry entries[] = {
        // Button 1 is IDOK: the Enter key comes here too.
        ui::OnBnClicked<&CVornControlsDlg::OnStartStopCamera>(IDC_START_CAMERA),
        ui::OnCbnSelChange<&CVornControlsDlg::OnDeviceSelChange>(IDC_DEVICE),
    };
    return entries;
}

int VORN_STDCALL CVornControlsDlg::FrameCallback(const uint8_t* bytes, int count) {
    // Frames before the first start with a preview have nowhere to go. A
    // frame the store can't take is dropped; the previous one stays.
    if (CVornControlsDlg* target = g_frameTarget) target->StoreFrame(bytes, count);
    return 0;
}

void CVornControlsDlg::FailCamera(const wchar_t* text) {
    ui::CurrentPrompts().MessageBox(hwnd(), text, L"ERROR", MB_OK);
    EndDialog(-1);
}

void CVornControlsDlg::OnStartStopCamera() {
    // Every press starts from a closed camera.
    const size_t statusBefore = m_statusText.size();
    CloseCamera();

    if (vorn_uvc_selectDevice(m_selectedDevice) != 0) {
        FailCamera(L"Can't select video device!");
        return;
    }
    char firmware[kFirmwareBufferSize] = {};
    if (vorn_uvc_get_FW_version(firmware, kFirmwareBufferSize, 1) != 0) {
        FailCamera(L"Failed to get camera FW version info");
        return;
    }
    m_rotateSupported = IsFirmwareNewer(firmware, sizeof firmware, kRotateBuild);
    ::ShowWindow(GetDlgItem(hwnd(), IDC_ROTATE_180), m_rotateSupported ? SW_SHOW : SW_HIDE);

    HWND device = GetDlgItem(hwnd(), IDC_DEVICE);
    if (m_controlsEnabled) {
        // Running, or a start that failed: back to idle.
        RememberAtPictureEnd();
        EnableControls(false);
        EnableWindow(device, TRUE);
        SetDlgItemTextW(hwnd(), IDC_START_CAMERA, L"Start Camera");
        UpdateData(false);
        return;
    }

    EnableControls(true);
    EnableWindow(device, FALSE);
    // Takes over what was typed (the snapshot folder among it); a value out
    // of range brings up its own message and the start goes on. The read
    // replaces the status text with the box's, so what closing said is kept.
    const std::wstring closing = m_statusText.substr(std::min(statusBefore, m_statusText.size()));
    UpdateData(true);
    if (!closing.empty()) AppendStatus(closing);

    const int resolution = m_resolutionCombo.CurSel();
    SizePreview(resolution);

    if (vorn_uvc_openCamera(GetDlgItem(hwnd(), IDC_PREVIEW), 0, &CVornControlsDlg::FrameCallback) != 0) {
        AppendStatus(L"Open camera failed!\r\n");
        CloseCamera();
        UpdateData(false);
        return;
    }
    if (vorn_uvc_setVideoFormat(0, resolution) != 0) AppendStatus(L"Failed to set resolution.\r\n");
    // Set before the preview starts, so no frame of this start is lost.
    g_frameTarget = this;
    AppendStatus(L"Open camera success!\r\n");

    // The camera's current values into the fields, with their lines.
    ReadCurrentValues();

    if (vorn_uvc_StartPreview() != 0) {
        AppendStatus(L"Fail to capture the image!\r\n");
        CloseCamera();
        UpdateData(false);
        return;
    }
    AppendStatus(L"Start capturing images!\r\n");
    SetDlgItemTextW(hwnd(), IDC_START_CAMERA, L"Stop Camera");
    UpdateData(false);
    m_menu.EnableItem(ID_FILE_SAVE_CONFIG, MF_ENABLED);
    m_menu.EnableItem(ID_FILE_LOAD_CONFIG, MF_ENABLED);
    m_menu.EnableItem(ID_TOOLS_RESTORE_DEFAULTS, MF_ENABLED);
    m_menu.EnableItem(ID_TOOLS_BURN_FIRMWARE, MF_GRAYED | MF_DISABLED);
    UpdateData(false);
    // Over the values just read: the ones the user had for this camera.
    ApplyRememberedSettings();
}

void CVornControlsDlg::OnDeviceSelChange() {
    // Item k is the k-th usable slot; the camera changes at the next start.
    int n = m_deviceCombo.CurSel();
    if (n < 0) return;
    for (int slot = 0; slot < kMaxDevices; ++slot) {
        if (!m_deviceValid[slot]) continue;
        if (n == 0) {
            m_selectedDevice = slot;
            return;
        }
        --n;
    }
}
