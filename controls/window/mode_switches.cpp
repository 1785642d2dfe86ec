// The mode check boxes of the main window (automatic exposure and white
// balance, illumination, rotation, the status box) and the read-out of the
// camera's current values.
#include <windows.h>

#include <commctrl.h>

#include "resources/resource.h"
#include "ui/message_map.h"
#include "window/main_dialog.h"
#include "window/mode_texts.h"
#include "window/property_table.h"

namespace {

bool Ticked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) != 0; }

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

// The read-out's order: red before blue.
const int kReadOutOrder[] = {IDC_BRIGHTNESS_EDIT, IDC_CONTRAST_EDIT,   IDC_SATURATION_EDIT,
                             IDC_SHARPNESS_EDIT,  IDC_GAMMA_EDIT,      IDC_AEC_TARGET_EDIT,
                             IDC_GAIN_RED_EDIT,   IDC_GAIN_BLUE_EDIT};

}  // namespace

ui::MessageMap CVornControlsDlg::ModeMap() {
    static const ui::MapEntry entries[] = {
        ui::OnBnClicked<&CVornControlsDlg::OnAutoExposure>(IDC_AUTO_EXPOSURE),
        ui::OnBnClicked<&CVornControlsDlg::OnAutoWhiteBalance>(IDC_AUTO_WB),
        ui::OnBnClicked<&CVornControlsDlg::OnIllumination>(IDC_ILLUMINATION),
        ui::OnBnClicked<&CVornControlsDlg::OnRotate180>(IDC_ROTATE_180),
        ui::OnBnClicked<&CVornControlsDlg::OnShowStatus>(IDC_SHOW_STATUS),
    };
    return entries;
}

void CVornControlsDlg::EnableExposurePairs(bool aecOn) {
    Enable(hwnd(), IDC_AEC_TARGET_EDIT, aecOn);
    Enable(hwnd(), IDC_AEC_TARGET_SLIDER, aecOn);
    Enable(hwnd(), IDC_MANUAL_EXPOSURE_EDIT, !aecOn);
    Enable(hwnd(), IDC_MANUAL_EXPOSURE_SLIDER, !aecOn);
}

void CVornControlsDlg::EnableGainPairs(bool awbOn) {
    for (int id = IDC_GAIN_BLUE_EDIT; id <= IDC_GAIN_RED_SLIDER; ++id) Enable(hwnd(), id, !awbOn);
}

void CVornControlsDlg::OnAutoExposure() {
    const bool wanted = Ticked(hwnd(), IDC_AUTO_EXPOSURE);
    bool state = wanted;
    if (vorn_uvc_setAEC_Mode(wanted) != 0) {
        AppendStatus(vorn::window::kAecSwitchFailed);
        state = !wanted;  // the refresh undoes the click
    } else {
        EnableExposurePairs(wanted);
    }
    m_aecOn = state ? 1 : 0;
    UpdateData(false);
}

void CVornControlsDlg::OnAutoWhiteBalance() {
    const bool wanted = Ticked(hwnd(), IDC_AUTO_WB);
    bool state = wanted;
    if (vorn_uvc_setAWB_Mode(wanted) != 0) {
        AppendStatus(vorn::window::kAwbSwitchFailed);
        state = !wanted;
    } else {
        EnableGainPairs(wanted);
        if (!wanted) {
            // The gains the camera settled on become the manual starting point.
            int blue = 0;
            if (vorn_uvc_get_AWB_Gain_Blue(&blue) != 0) {
                AppendStatus(L"Failed to get Color Gain Blue value\r\n");
            } else {
                m_gainBlue = blue;
                m_gainBluePos = blue;
            }
            int red = 0;
            if (vorn_uvc_get_AWB_Gain_Red(&red) != 0) {
                AppendStatus(L"Failed to get Color Gain Red value\r\n");
            } else {
                m_gainRed = red;
                m_gainRedPos = red;
            }
        }
    }
    m_awbOn = state ? 1 : 0;
    UpdateData(false);
}

void CVornControlsDlg::OnIllumination() {
    const bool wanted = Ticked(hwnd(), IDC_ILLUMINATION);
    bool state = wanted;
    if (vorn_uvc_setIllumination(wanted) != 0) {
        AppendStatus(L"Set Ilumination failed!\r\n");
        state = !wanted;
    }
    m_illuminationOn = state ? 1 : 0;
    UpdateData(false);
}

void CVornControlsDlg::OnRotate180() {
    if (!m_rotateSupported) return;
    const bool wanted = Ticked(hwnd(), IDC_ROTATE_180);
    bool state = wanted;
    if (vorn_uvc_rotate180(wanted) != 0) {
        AppendStatus(vorn::window::kRotationFailed);
        state = !wanted;
    }
    m_rotate180 = state ? 1 : 0;
    UpdateData(false);
}

void CVornControlsDlg::OnShowStatus() {
    // The check boxes come before the edits in the exchange, so a bad number
    // in an edit does not keep m_showStatus from being read.
    UpdateData(true);
    ::ShowWindow(GetDlgItem(hwnd(), IDC_STATUS), m_showStatus ? SW_SHOW : SW_HIDE);
}

// The box's own visible bit, not IsWindowVisible: the answer must not depend
// on whether the main window itself is on screen (it is not during start-up).
bool CVornControlsDlg::IsIlluminationShown() const {
    return (GetWindowLongW(GetDlgItem(hwnd(), IDC_ILLUMINATION), GWL_STYLE) & WS_VISIBLE) != 0;
}

void CVornControlsDlg::ReadCurrentValues() {
    using vorn::window::Format;
    // 1. Values inside the stored ranges go to the fields and sliders.
    for (int editId : kReadOutOrder) {
        const vorn::window::PropertyInfo& p = *vorn::window::PropertyByEdit(editId);
        int value = 0;
        if (p.get(&value) != 0) continue;
        const PropertyRange& range = this->*p.range;
        if (value < range.min || value > range.max) continue;
        SendDlgItemMessageW(hwnd(), p.sliderId, TBM_SETPOS, TRUE, value);
        this->*p.position = value;
        this->*p.value = value;
        AppendStatus(Format(p.currentLine, value));
    }

    // 2. Exposure: the camera's mode decides whether the check box's mode
    // is written back to it.
    bool aecOn = false;
    if (vorn_uvc_isAECModeOn(&aecOn) == 0) {
        int exposure = 0;
        if (vorn_uvc_getManualExposureValue(&exposure) == 0) {
            m_manualExposure = exposure;
            m_manualExposurePos = exposure;
            SendDlgItemMessageW(hwnd(), IDC_MANUAL_EXPOSURE_SLIDER, TBM_SETPOS, TRUE, exposure);
            AppendStatus(Format(vorn::window::PropertyByEdit(IDC_MANUAL_EXPOSURE_EDIT)->currentLine, exposure));
        }
        if (aecOn) {
            AppendStatus(L" AEC Mode is ON\r\n");
        } else {
            AppendStatus(L" AEC Mode is OFF\r\n");
            if (vorn_uvc_setAEC_Mode(m_aecOn != 0) == 0)
                AppendStatus(m_aecOn ? vorn::window::kAecSetOn : vorn::window::kAecSetOff);
        }
    }

    // 3. Every read-out re-applies the white balance check box.
    if (vorn_uvc_setAWB_Mode(m_awbOn != 0) == 0) AppendStatus(m_awbOn ? vorn::window::kAwbOn : vorn::window::kAwbOff);

    ScrollStatusToEnd();
}
