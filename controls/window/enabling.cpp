// Which controls and menu items are live, and closing the camera.
#include <windows.h>

#include "resources/resource.h"
#include "firmware/firmware_gate.h"
#include "window/main_dialog.h"

namespace {

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

}  // namespace

void CVornControlsDlg::EnableControls(bool on) {
    HWND dlg = hwnd();
    Enable(dlg, IDC_AUTO_EXPOSURE, on);
    Enable(dlg, IDC_AUTO_WB, on);
    // 1014..1032 except the status box and the ids the firmware dialog uses.
    for (int id = IDC_BRIGHTNESS_EDIT; id <= IDC_FILETYPE_PNG; ++id) {
        if (id == IDC_STATUS || id == 1027 || id == 1028) continue;
        bool state = on;
        if (id == IDC_FILETYPE_BMP) state = on && m_bmpEncoderFound;
        if (id == IDC_FILETYPE_PNG) state = on && m_pngEncoderFound;
        Enable(dlg, id, state);
    }
    Enable(dlg, IDC_SNAPSHOT_FOLDER, on);
    Enable(dlg, IDC_BROWSE_FOLDER, on);
    Enable(dlg, IDC_ILLUMINATION, on);

    // The resolution combo is live exactly while the camera-dependent
    // controls are not.
    Enable(dlg, IDC_RESOLUTION, m_controlsEnabled);
    m_controlsEnabled = on;

    if (on) {
        Enable(dlg, IDC_AEC_TARGET_EDIT, m_aecOn != 0);
        Enable(dlg, IDC_AEC_TARGET_SLIDER, m_aecOn != 0);
        Enable(dlg, IDC_MANUAL_EXPOSURE_EDIT, m_aecOn == 0);
        Enable(dlg, IDC_MANUAL_EXPOSURE_SLIDER, m_aecOn == 0);
        for (int id = IDC_GAIN_BLUE_EDIT; id <= IDC_GAIN_RED_SLIDER; ++id) Enable(dlg, id, m_awbOn == 0);
    } else {
        for (int id = IDC_AEC_TARGET_EDIT; id <= IDC_GAIN_RED_SLIDER; ++id) Enable(dlg, id, false);
    }
}

void CVornControlsDlg::CloseCamera() {
    // A preview or camera known to be live that will not stop is worth a
    // line: the window goes idle all the same, and the next start fails.
    bool previewing = true;
    const bool previewKnown = vorn_uvc_IsPreviewing(&previewing) == 0;
    if (!(previewKnown && !previewing) && vorn_uvc_StopPreview() != 0 && previewKnown)
        AppendStatus(L"Failed to stop the preview.\r\n");
    bool open = false;
    if (vorn_uvc_isOpenCamera(&open) == 0 && vorn_uvc_closeCamera() != 0 && open)
        AppendStatus(L"Failed to close the camera.\r\n");
    m_menu.EnableItem(ID_FILE_SAVE_CONFIG, MF_GRAYED | MF_DISABLED);
    m_menu.EnableItem(ID_FILE_LOAD_CONFIG, MF_GRAYED | MF_DISABLED);
    m_menu.EnableItem(ID_TOOLS_RESTORE_DEFAULTS, MF_GRAYED | MF_DISABLED);
    m_menu.EnableItem(ID_TOOLS_BURN_FIRMWARE, MF_ENABLED);
}

bool CVornControlsDlg::IsFirmwareNewer(const char* firmware, size_t bufferSize, int threshold) const {
    return vorn::firmware::IsFirmwareNewer(firmware, bufferSize, threshold);
}
