// Tools > Restore Camera Defaults: the shared restore steps, reported with the
// lines the property and mode handlers use, and shown in the controls.
#include <windows.h>

#include "resources/resource.h"
#include "ui/message_map.h"
#include "window/main_dialog.h"
#include "window/mode_texts.h"
#include "window/property_table.h"

namespace {

using vorn::config::DefaultStep;
using vorn::config::DefaultStepResult;
using vorn::config::StepOutcome;

struct PropertyStep {
    DefaultStep step;
    int editId;
    const wchar_t* unreadable;
};

const PropertyStep kPropertySteps[] = {
    {DefaultStep::Brightness, IDC_BRIGHTNESS_EDIT, L"Failed to get Brightness default value\r\n"},
    {DefaultStep::Contrast, IDC_CONTRAST_EDIT, L"Failed to get Contrast default value\r\n"},
    {DefaultStep::Saturation, IDC_SATURATION_EDIT, L"Failed to get Saturation default value\r\n"},
    {DefaultStep::Sharpness, IDC_SHARPNESS_EDIT, L"Failed to get Sharpness default value\r\n"},
    {DefaultStep::Gamma, IDC_GAMMA_EDIT, L"Failed to get Gamma default value\r\n"},
    {DefaultStep::AecTarget, IDC_AEC_TARGET_EDIT, L"Failed to get AEC Target default value\r\n"},
};

// The window has no line of its own for a successful rotation switch.
constexpr wchar_t kRotationOff[] = L"Rotate Image 180 is set to OFF\r\n";
constexpr wchar_t kAllRestored[] = L"Camera defaults restored.\r\n";
constexpr wchar_t kSomeFailed[] = L"Camera defaults: %d of %d steps failed.\r\n";

const PropertyStep* PropertyStepOf(DefaultStep step) {
    for (const PropertyStep& p : kPropertySteps)
        if (p.step == step) return &p;
    return nullptr;
}

}  // namespace

ui::MessageMap CVornControlsDlg::DefaultsMap() {
    static const ui::MapEntry entries[] = {
        ui::OnCommand<&CVornControlsDlg::OnRestoreDefaults>(ID_TOOLS_RESTORE_DEFAULTS),
    };
    return entries;
}

void CVornControlsDlg::OnRestoreDefaults() {
    // Grayed unless the picture runs; a command that arrives all the same
    // (a posted message) changes nothing.
    if (m_menu.State(ID_TOOLS_RESTORE_DEFAULTS) & (MF_GRAYED | MF_DISABLED)) return;
    const auto results = vorn::config::RestoreCameraDefaults(
        m_rotateSupported, {}, [this](const DefaultStepResult& result) { ShowDefaultStep(result); });
    const vorn::config::RestoreSummary summary = vorn::config::Summarise(results);
    AppendStatus(summary.failed == 0 ? std::wstring(kAllRestored)
                                     : vorn::window::Format(kSomeFailed, summary.failed, summary.attempted));
    UpdateData(false);
    ScrollStatusToEnd();
}

void CVornControlsDlg::ShowDefaultStep(const DefaultStepResult& result) {
    using vorn::window::Format;
    if (const PropertyStep* step = PropertyStepOf(result.step)) {
        const vorn::window::PropertyInfo& p = *vorn::window::PropertyByEdit(step->editId);
        switch (result.outcome) {
        case StepOutcome::Done:
            this->*p.value = result.value;
            this->*p.position = result.value;
            AppendStatus(Format(p.success, result.value));
            break;
        case StepOutcome::Failed: AppendStatus(Format(p.sliderFailure, result.value)); break;
        case StepOutcome::DefaultUnreadable: AppendStatus(step->unreadable); break;
        case StepOutcome::Unsupported: break;
        }
        return;
    }
    const bool done = result.outcome == StepOutcome::Done;
    switch (result.step) {
    case DefaultStep::AutoExposure:
        if (done) {
            m_aecOn = 1;
            EnableExposurePairs(true);
        }
        AppendStatus(done ? vorn::window::kAecSetOn : vorn::window::kAecSwitchFailed);
        break;
    case DefaultStep::AutoWhiteBalance:
        if (done) {
            m_awbOn = 1;
            EnableGainPairs(true);
        }
        AppendStatus(done ? vorn::window::kAwbOn : vorn::window::kAwbSwitchFailed);
        break;
    case DefaultStep::Rotation:
        if (result.outcome == StepOutcome::Unsupported) break;
        if (done) m_rotate180 = 0;
        AppendStatus(done ? kRotationOff : vorn::window::kRotationFailed);
        break;
    default: break;
    }
}
