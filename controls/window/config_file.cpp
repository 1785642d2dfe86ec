// File > Save Config and File > Load Config: the camera's picture settings
// and modes to and from a three-column CSV file, applied row by row on load.
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "config/config_rows.h"
#include "config/csv_reader.h"
#include "config/file_open.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/prompts.h"
#include "window/main_dialog.h"

namespace {

using vorn::config::ConfigRow;
using vorn::config::RowType;

const wchar_t kCsvFilter[] = L"CSV (*.csv)|*.csv";

// One integer property a load can set: its slider position and edit fields,
// the library call and the three status texts (one %d in the last two).
struct IntProperty {
    int32_t number;
    int32_t CVornControlsDlg::*position;
    int32_t CVornControlsDlg::*edit;
    decltype(&vorn_uvc_setBrightness) set;
    const wchar_t* skip;
    const wchar_t* success;
    const wchar_t* failure;
};

using D = CVornControlsDlg;
const IntProperty kIntProperties[] = {
    {vorn::config::kBrightness, &D::m_brightnessPos, &D::m_brightness, &vorn_uvc_setBrightness,
     L"Skip setting Brighness\r\n", L"Set Brightness to %d successfully\r\n", L"Failed to set Brightness to %d\r\n"},
    {vorn::config::kContrast, &D::m_contrastPos, &D::m_contrast, &vorn_uvc_setContrast,
     L"Skip setting Contrast\r\n", L"Set Contrast to %d successfully\r\n", L"Failed to set Contrast to %d\r\n"},
    {vorn::config::kSaturation, &D::m_saturationPos, &D::m_saturation, &vorn_uvc_setSaturation,
     L"Skip setting Saturation\r\n", L"Set Saturation to %d successfully\r\n", L"Failed to set Saturation to %d\r\n"},
    {vorn::config::kSharpness, &D::m_sharpnessPos, &D::m_sharpness, &vorn_uvc_setSharpness,
     L"Skip setting Sharpness\r\n", L"Set Sharpness to %d successfully\r\n", L"Failed to set Sharpness to %d\r\n"},
    {vorn::config::kGamma, &D::m_gammaPos, &D::m_gamma, &vorn_uvc_setGamma,
     L"Skip setting Gamma\r\n", L"Set Gamma to %d successfully\r\n", L"Failed to set Gamma to %d\r\n"},
    {vorn::config::kAecTarget, &D::m_aecTargetPos, &D::m_aecTarget, &vorn_uvc_setAEC_Target,
     L"Skip setting AEC Target\r\n", L"Set AEC Target to %d successfully\r\n", L"Failed to set AEC Target to %d\r\n"},
    {vorn::config::kGainBlue, &D::m_gainBluePos, &D::m_gainBlue, &vorn_uvc_set_AWB_Gain_Blue,
     L"Skip setting Color Gain Blue\r\n", L"Set Color Gain Blue to %d successfully\r\n",
     L"Failed to set Color Gain Blue to %d\r\n"},
    {vorn::config::kGainRed, &D::m_gainRedPos, &D::m_gainRed, &vorn_uvc_set_AWB_Gain_Red,
     L"Skip setting Color Gain Red\r\n", L"Set Color Gain Red to %d successfully\r\n",
     L"Failed to set Color Gain Red to %d\r\n"},
    {vorn::config::kExposure, &D::m_manualExposurePos, &D::m_manualExposure, &vorn_uvc_setManualExposureValue,
     L"Skip setting Manual Exposure\r\n", L"Set Manual Exposure to %d successfully\r\n",
     L"Failed to set Manual Exposure to %d\r\n"},
};

std::wstring FormatWithValue(const wchar_t* format, int value) {
    wchar_t text[128] = {};
    swprintf(text, 128, format, value);
    return text;
}

// Our 8-bit strings are UTF-8 (file names and the reader's messages, which
// quote the file name); bytes that are not valid UTF-8 show as U+FFFD.
std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string ToUtf8(const std::wstring& path) {
    return vorn::files::PathToUtf8(vorn::files::PathFromWide(path));
}

// The camera-dependent controls come back on every way out of a handler.
class ControlsOffScope {
public:
    explicit ControlsOffScope(CVornControlsDlg& dlg) : dlg_(dlg) { dlg_.EnableControls(false); }
    ~ControlsOffScope() { dlg_.EnableControls(true); }
    ControlsOffScope(const ControlsOffScope&) = delete;
    ControlsOffScope& operator=(const ControlsOffScope&) = delete;

private:
    CVornControlsDlg& dlg_;
};

// Shows the status text as it now stands and brings its last line into view.
// Without the refresh the lines just appended would be read back over, and
// lost, by the next exchange from the controls.
void ShowStatusEnd(CVornControlsDlg& dlg) {
    dlg.UpdateData(false);
    dlg.m_statusEdit.LineScroll(dlg.m_statusEdit.LineCount());
}

// A "bool" row: switches a mode of the camera. False when the library
// refused; numbers without a switch, and switches the camera lacks, accept
// the row and do nothing.
bool ApplySwitchRow(CVornControlsDlg& dlg, int number, bool on) {
    switch (number) {
    case vorn::config::kExposure:
        if (on == (dlg.m_aecOn != 0)) return true;
        if (vorn_uvc_setAEC_Mode(on) != 0) {
            dlg.AppendStatus(L"Set AEC Mode failed!\r\n");
            return false;
        }
        dlg.EnableItem(IDC_AEC_TARGET_EDIT, on);
        dlg.EnableItem(IDC_AEC_TARGET_SLIDER, on);
        dlg.EnableItem(IDC_MANUAL_EXPOSURE_EDIT, !on);
        dlg.EnableItem(IDC_MANUAL_EXPOSURE_SLIDER, !on);
        dlg.m_aecOn = on ? 1 : 0;
        dlg.UpdateData(false);
        return true;
    case vorn::config::kWhiteBalance:
        // Sent even when the mode already matches: switching white balance
        // on again restarts the camera's own gain search.
        if (vorn_uvc_setAWB_Mode(on) != 0) {
            dlg.AppendStatus(L"Set AWB Mode failed!\r\n");
            return false;
        }
        for (int id = IDC_GAIN_BLUE_EDIT; id <= IDC_GAIN_RED_SLIDER; ++id) dlg.EnableItem(id, !on);
        dlg.m_awbOn = on ? 1 : 0;
        dlg.UpdateData(false);
        return true;
    case vorn::config::kRotate180:
        if (!dlg.m_rotateSupported) return true;
        if (vorn_uvc_rotate180(on) != 0) {
            dlg.AppendStatus(L"Rotation failed!\r\n");
            return false;
        }
        dlg.m_rotate180 = on ? 1 : 0;
        dlg.UpdateData(false);
        return true;
    case vorn::config::kIlluminate:
        if (!dlg.IsIlluminationShown() || !dlg.m_illuminationSupported) return true;
        if (vorn_uvc_setIllumination(on) != 0) {
            dlg.AppendStatus(L"Illumination failed!\r\n");
            return false;
        }
        dlg.m_illuminationOn = on ? 1 : 0;
        dlg.UpdateData(false);
        return true;
    default:
        return true;
    }
}

}  // namespace

ui::MessageMap CVornControlsDlg::ConfigMap() {
    static const ui::MapEntry entries[] = {
        ui::OnCommand<&CVornControlsDlg::OnSaveConfig>(ID_FILE_SAVE_CONFIG),
        ui::OnCommand<&CVornControlsDlg::OnLoadConfig>(ID_FILE_LOAD_CONFIG),
    };
    return entries;
}

void CVornControlsDlg::OnSaveConfig() {
    ControlsOffScope controlsOff(*this);
    ui::FileChooser chooser;
    chooser.defaultExt = L"csv";
    chooser.filter = kCsvFilter;
    chooser.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    std::optional<std::wstring> path = ui::CurrentPrompts().SaveFile(hwnd(), chooser);
    if (!path) return;

    ui::WaitCursor wait;
    bool saved = false;
    try {
        CSV_reader table = BuildConfigTable();
        const std::vector<std::string>& names = table.column_names();
        // A file that cannot be created or written completely is a failure,
        // not a finished save.
        if (!names.empty() && !table.column(names.front()).empty()) saved = table.write_file(ToUtf8(*path));
    } catch (const CsvError& e) {
        AppendStatus(FromUtf8(e.what()) + L"\r\n");
    }
    if (saved) {
        const std::wstring message = L"Finish save properties and controls values into " + *path;
        ui::CurrentPrompts().MessageBox(hwnd(), message, L"Save Configuration", MB_OK);
        AppendStatus(message + L"\r\n");
    } else {
        ui::CurrentPrompts().MessageBox(hwnd(), L"Failed to save configuration!", L"ERROR", MB_OK);
    }
    ShowStatusEnd(*this);
}

CSV_reader CVornControlsDlg::BuildConfigTable() {
    UpdateData(true);
    vorn::config::SavedSettings s;
    s.brightness = m_brightnessPos;
    s.contrast = m_contrastPos;
    s.saturation = m_saturationPos;
    s.sharpness = m_sharpnessPos;
    s.gamma = m_gammaPos;
    s.aecOn = m_aecOn != 0;
    s.aecTarget = m_aecTargetPos;
    s.manualExposure = m_manualExposurePos;
    s.awbOn = m_awbOn != 0;
    s.gainBlue = m_gainBluePos;
    s.gainRed = m_gainRedPos;
    s.rotateSupported = m_rotateSupported;
    s.rotate180 = m_rotate180 != 0;
    s.illuminationWritten = IsIlluminationShown() && m_illuminationSupported != 0;
    s.illuminationOn = m_illuminationOn != 0;
    return vorn::config::BuildConfigTable(s);
}

void CVornControlsDlg::OnLoadConfig() {
    // Leaving this scope also sets the exposure and gain controls from the
    // modes the file left.
    ControlsOffScope controlsOff(*this);
    ui::FileChooser chooser;
    chooser.defaultExt = L"csv";
    chooser.filter = kCsvFilter;
    chooser.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    std::optional<std::wstring> path = ui::CurrentPrompts().OpenFile(hwnd(), chooser);
    if (!path) return;

    ui::WaitCursor wait;
    if (LoadConfigFile(ToUtf8(*path))) {
        const std::wstring message = L"Finish load properties and controls values from " + *path;
        ui::CurrentPrompts().MessageBox(hwnd(), message, L"Load Configuration", MB_OK);
        AppendStatus(message + L"\r\n");
    } else {
        ui::CurrentPrompts().MessageBox(hwnd(), L"Failed to load configuration!", L"ERROR", MB_OK);
    }
    ShowStatusEnd(*this);
}

bool CVornControlsDlg::LoadConfigFile(const std::string& fileName) {
    std::vector<ConfigRow> rows;
    try {
        CSV_reader table;
        table.read_file(fileName);
        if (!table.initialized()) {
            AppendStatus(L"Unable to open file " + FromUtf8(fileName) + L"\r\n");
            return false;
        }
        // A header without data rows has no stored first column: the lookup
        // raises, and the file is refused like any other malformed table.
        if (!table.column_names().empty()) table.column(table.column_names().front());
        rows = vorn::config::ConfigRows(table);
    } catch (const CsvError& e) {
        AppendStatus(FromUtf8(e.what()) + L"\r\n");
        return false;
    }

    // Each row takes effect before the next; a failing row leaves the earlier
    // ones applied.
    for (const ConfigRow& row : rows) {
        if (!row.number) {
            AppendStatus(L"Cannot find property " + FromUtf8(row.name) + L"\r\n");
            return false;
        }
        switch (row.type) {
        case RowType::Int:
            if (!ApplyIntProperty(*row.number, row.intValue)) return false;
            break;
        case RowType::Bool:
            if (!ApplySwitchRow(*this, *row.number, row.boolValue)) return false;
            break;
        case RowType::Other:
            break;
        }
    }
    return true;
}

bool CVornControlsDlg::ApplyIntProperty(int32_t number, int32_t value) {
    for (const IntProperty& p : kIntProperties) {
        if (p.number != number) continue;
        if (value == this->*p.position) {
            AppendStatus(p.skip);
            return true;
        }
        if (p.set(value) != 0) {
            AppendStatus(FormatWithValue(p.failure, value));
            return false;
        }
        this->*p.position = value;
        this->*p.edit = value;
        AppendStatus(FormatWithValue(p.success, value));
        UpdateData(false);
        return true;
    }
    return true;
}
