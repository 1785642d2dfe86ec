// Settings that follow the camera: Tools > Remember Settings per Camera and
// Tools > Forget Settings for This Camera. While the switch is on, the
// camera's file is applied at every start that reaches the picture and
// written when the picture ends (Stop, Exit, the camera unplugged) from the
// values last applied, never from what a freshly powered camera reports.
#include <windows.h>

#include "resources/resource.h"
#include "ui/message_map.h"
#include "window/main_dialog.h"

namespace {

using vorn::config::RememberedStatus;

constexpr wchar_t kApplying[] = L"Applying the settings remembered for this camera.\r\n";
constexpr wchar_t kApplied[] = L"Remembered settings applied.\r\n";
constexpr wchar_t kSomeNotApplied[] = L"Some remembered settings could not be applied.\r\n";
constexpr wchar_t kUnreadable[] = L"The remembered settings for this camera could not be read.\r\n";
constexpr wchar_t kNotRemembered[] = L"The settings for this camera could not be remembered.\r\n";
constexpr wchar_t kForgotten[] = L"Remembered settings forgotten.\r\n";
constexpr wchar_t kNothingRemembered[] = L"No settings are remembered for this camera.\r\n";
constexpr wchar_t kNotForgotten[] = L"The remembered settings for this camera could not be forgotten.\r\n";
constexpr wchar_t kNoCameraToForget[] = L"There is no camera to forget the settings of.\r\n";

constexpr int kVidPidBufferSize = 10;

}  // namespace

ui::MessageMap CVornControlsDlg::RememberMap() {
    // The entries that note a user's change return false, so the setting's
    // own handler runs after them: this map comes before theirs.
    static const ui::MapEntry entries[] = {
        ui::OnCommand<&CVornControlsDlg::OnRememberSettings>(ID_TOOLS_REMEMBER_SETTINGS),
        ui::OnCommand<&CVornControlsDlg::OnForgetSettings>(ID_TOOLS_FORGET_SETTINGS),
        ui::OnHScroll<&CVornControlsDlg::OnSliderTouched>(),
        ui::OnEnChange<&CVornControlsDlg::OnSettingTouched>(IDC_AEC_TARGET_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnSettingTouched>(IDC_MANUAL_EXPOSURE_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnSettingTouched>(IDC_GAIN_BLUE_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnSettingTouched>(IDC_GAIN_RED_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnSettingTouched>(IDC_BRIGHTNESS_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnSettingTouched>(IDC_CONTRAST_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnSettingTouched>(IDC_SATURATION_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnSettingTouched>(IDC_SHARPNESS_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnSettingTouched>(IDC_GAMMA_EDIT),
        ui::OnBnClicked<&CVornControlsDlg::OnSettingTouched>(IDC_AUTO_EXPOSURE),
        ui::OnBnClicked<&CVornControlsDlg::OnSettingTouched>(IDC_AUTO_WB),
        ui::OnBnClicked<&CVornControlsDlg::OnSettingTouched>(IDC_ILLUMINATION),
        ui::OnBnClicked<&CVornControlsDlg::OnSettingTouched>(IDC_ROTATE_180),
        ui::OnCommand<&CVornControlsDlg::OnSettingTouched>(ID_TOOLS_RESTORE_DEFAULTS),
        ui::OnMessage<&CVornControlsDlg::OnEndSession>(WM_ENDSESSION),
    };
    return entries;
}

std::string CVornControlsDlg::ReadCameraIdentity() {
    uint8_t bytes[kVidPidBufferSize] = {};
    if (vorn_uvc_getVidPid(bytes, kVidPidBufferSize) != 0) return {};
    return vorn::config::CameraIdentityText(bytes, sizeof bytes);
}

void CVornControlsDlg::ApplyRememberedSettings() {
    m_settingsChangedThisRun = false;
    if (!m_preferences.remember) return;
    m_runningCameraId = ReadCameraIdentity();
    const vorn::config::StartApply result = m_rememberGuard.ApplyAtStart(
        m_userStore.CameraFile(m_runningCameraId), m_runningCameraId,
        [this](const std::vector<vorn::config::ConfigRow>& rows) {
            AppendStatus(kApplying);
            return ApplyRememberedRows(rows);
        });
    switch (result.status) {
    case RememberedStatus::Missing: return;
    // Left as it is, and not replaced by the values the camera powered up with.
    case RememberedStatus::Unreadable: AppendStatus(kUnreadable); break;
    case RememberedStatus::Ok: AppendStatus(result.failedRows == 0 ? kApplied : kSomeNotApplied); break;
    }
    UpdateData(false);
    ScrollStatusToEnd();
}

void CVornControlsDlg::RememberAtPictureEnd() {
    if (IsRunning()) RememberCameraSettings();
    m_runningCameraId.clear();
    m_settingsChangedThisRun = false;
}

void CVornControlsDlg::RememberCameraSettings() {
    if (!m_preferences.remember) return;
    // The fields hold the values last applied; the controls are not read,
    // so nothing half typed gets in and no range warning comes up.
    const vorn::config::EndWrite result =
        m_rememberGuard.WriteAtEnd(m_userStore.CameraFile(m_runningCameraId), m_runningCameraId,
                                   vorn::config::BuildConfigTable(SettingsFromFields()));
    if (result == vorn::config::EndWrite::Failed) AppendStatus(kNotRemembered);
}

void CVornControlsDlg::OnRememberSettings() {
    const bool on = !m_preferences.remember;
    ChangePreferences([on](vorn::config::Preferences& prefs) { prefs.remember = on; });
    CheckMenuItem(m_menu.handle(), ID_TOOLS_REMEMBER_SETTINGS, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    if (on && IsRunning()) {
        if (m_runningCameraId.empty()) {
            m_runningCameraId = ReadCameraIdentity();
            if (m_settingsChangedThisRun) m_rememberGuard.UserChanged(m_runningCameraId);
        }
        RememberCameraSettings();
    }
    UpdateData(false);
    ScrollStatusToEnd();
}

void CVornControlsDlg::OnForgetSettings() {
    // The library is the burn's until it ends.
    if (m_firmwareDlg.IsBurning()) return;
    std::string id;
    if (IsRunning()) {
        id = m_runningCameraId.empty() ? ReadCameraIdentity() : m_runningCameraId;
    } else if (!m_cameraGone && vorn_uvc_selectDevice(m_selectedDevice) == 0) {
        // The camera the device box names, which the next start uses.
        id = ReadCameraIdentity();
    }
    if (id.empty()) {
        AppendStatus(kNoCameraToForget);
    } else {
        // The picture's end does not bring a forgotten file straight back.
        switch (m_rememberGuard.Forget(m_userStore.CameraFile(id), id)) {
        case vorn::config::ForgetResult::Forgotten: AppendStatus(kForgotten); break;
        case vorn::config::ForgetResult::NothingRemembered: AppendStatus(kNothingRemembered); break;
        case vorn::config::ForgetResult::Failed: AppendStatus(kNotForgotten); break;
        }
    }
    UpdateData(false);
    ScrollStatusToEnd();
}

bool CVornControlsDlg::OnEndSession(WPARAM ending, LPARAM) {
    // Windows shuts down or the user logs off with the picture running: no
    // Exit comes, and the camera powers up afresh next time.
    if (ending) RememberAtPictureEnd();
    return false;
}

bool CVornControlsDlg::OnSliderTouched(int, int, HWND) {
    NoteUserSettingChange();
    return false;
}

bool CVornControlsDlg::OnSettingTouched(int) {
    NoteUserSettingChange();
    return false;
}

void CVornControlsDlg::NoteUserSettingChange() {
    // The caption, not the controls: Load Config notes its change while it
    // holds the controls off.
    if (ItemText(IDC_START_CAMERA) != L"Stop Camera") return;
    // The camera may not be known yet (the switch was off at the start); the
    // change counts once it is.
    m_settingsChangedThisRun = true;
    if (!m_runningCameraId.empty()) m_rememberGuard.UserChanged(m_runningCameraId);
}
