// File > Save Config and File > Load Config: the camera's picture settings
// and modes to and from a three-column CSV file, applied row by row on load.
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "config/config_apply.h"
#include "config/config_rows.h"
#include "config/csv_reader.h"
#include "config/file_open.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/prompts.h"
#include "window/main_dialog.h"

namespace {

using vorn::config::RowResult;

const wchar_t kCsvFilter[] = L"CSV (*.csv)|*.csv";

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

// A load lands in the window: the slider positions are the values last
// applied, and every change shows in the fields and controls at once.
class WindowConfigTarget : public vorn::config::ConfigTarget {
public:
    explicit WindowConfigTarget(CVornControlsDlg& dlg) : dlg_(dlg) {}

    std::optional<int> LastApplied(int number) override {
        if (const Fields* f = FieldsOf(number)) return dlg_.*(f->position);
        return std::nullopt;
    }
    void IntApplied(int number, int value) override {
        if (const Fields* f = FieldsOf(number)) {
            dlg_.*(f->position) = value;
            dlg_.*(f->edit) = value;
        }
        dlg_.UpdateData(false);
    }
    std::optional<bool> AecOn() override { return dlg_.m_aecOn != 0; }
    void AecSwitched(bool on) override {
        dlg_.EnableItem(IDC_AEC_TARGET_EDIT, on);
        dlg_.EnableItem(IDC_AEC_TARGET_SLIDER, on);
        dlg_.EnableItem(IDC_MANUAL_EXPOSURE_EDIT, !on);
        dlg_.EnableItem(IDC_MANUAL_EXPOSURE_SLIDER, !on);
        dlg_.m_aecOn = on ? 1 : 0;
        dlg_.UpdateData(false);
    }
    void AwbSwitched(bool on) override {
        for (int id = IDC_GAIN_BLUE_EDIT; id <= IDC_GAIN_RED_SLIDER; ++id) dlg_.EnableItem(id, !on);
        dlg_.m_awbOn = on ? 1 : 0;
        dlg_.UpdateData(false);
    }
    bool RotateSupported() override { return dlg_.m_rotateSupported; }
    void RotateSwitched(bool on) override {
        dlg_.m_rotate180 = on ? 1 : 0;
        dlg_.UpdateData(false);
    }
    bool IlluminationAvailable() override { return dlg_.IsIlluminationShown() && dlg_.m_illuminationSupported; }
    void IlluminationSwitched(bool on) override {
        dlg_.m_illuminationOn = on ? 1 : 0;
        dlg_.UpdateData(false);
    }
    void Status(const std::string& line) override { dlg_.AppendStatus(FromUtf8(line)); }

private:
    // The slider position and edit value of an integer property.
    struct Fields {
        int number;
        int32_t CVornControlsDlg::*position;
        int32_t CVornControlsDlg::*edit;
    };
    static const Fields* FieldsOf(int number) {
        using D = CVornControlsDlg;
        static const Fields kFields[] = {
            {vorn::config::kBrightness, &D::m_brightnessPos, &D::m_brightness},
            {vorn::config::kContrast, &D::m_contrastPos, &D::m_contrast},
            {vorn::config::kSaturation, &D::m_saturationPos, &D::m_saturation},
            {vorn::config::kSharpness, &D::m_sharpnessPos, &D::m_sharpness},
            {vorn::config::kGamma, &D::m_gammaPos, &D::m_gamma},
            {vorn::config::kAecTarget, &D::m_aecTargetPos, &D::m_aecTarget},
            {vorn::config::kGainBlue, &D::m_gainBluePos, &D::m_gainBlue},
            {vorn::config::kGainRed, &D::m_gainRedPos, &D::m_gainRed},
            {vorn::config::kExposure, &D::m_manualExposurePos, &D::m_manualExposure},
        };
        for (const Fields& f : kFields)
            if (f.number == number) return &f;
        return nullptr;
    }

    CVornControlsDlg& dlg_;
};

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
        NoteRecentFile(*path);
    } else {
        ui::CurrentPrompts().MessageBox(hwnd(), L"Failed to save configuration!", L"ERROR", MB_OK);
    }
    ShowStatusEnd(*this);
}

CSV_reader CVornControlsDlg::BuildConfigTable() {
    UpdateData(true);
    return vorn::config::BuildConfigTable(SettingsFromFields());
}

vorn::config::SavedSettings CVornControlsDlg::SettingsFromFields() const {
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
    return s;
}

void CVornControlsDlg::OnLoadConfig() { LoadConfigFrom(std::nullopt); }

bool CVornControlsDlg::LoadConfigFrom(const std::optional<std::wstring>& chosen) {
    // Leaving this scope also sets the exposure and gain controls from the
    // modes the file left.
    ControlsOffScope controlsOff(*this);
    std::optional<std::wstring> path = chosen;
    if (!path) {
        ui::FileChooser chooser;
        chooser.defaultExt = L"csv";
        chooser.filter = kCsvFilter;
        chooser.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
        path = ui::CurrentPrompts().OpenFile(hwnd(), chooser);
        if (!path) return false;
    }

    ui::WaitCursor wait;
    const bool loaded = LoadConfigFile(ToUtf8(*path));
    // The user's own change of the settings, whatever came of it.
    NoteUserSettingChange();
    if (loaded) {
        const std::wstring message = L"Finish load properties and controls values from " + *path;
        ui::CurrentPrompts().MessageBox(hwnd(), message, L"Load Configuration", MB_OK);
        AppendStatus(message + L"\r\n");
        NoteRecentFile(*path);
    } else {
        ui::CurrentPrompts().MessageBox(hwnd(), L"Failed to load configuration!", L"ERROR", MB_OK);
    }
    ShowStatusEnd(*this);
    return loaded;
}

bool CVornControlsDlg::LoadConfigFile(const std::string& fileName) {
    WindowConfigTarget target(*this);
    return vorn::config::LoadConfigFile(target, fileName);
}

bool CVornControlsDlg::ApplyIntProperty(int32_t number, int32_t value) {
    WindowConfigTarget target(*this);
    return vorn::config::ApplyIntProperty(target, number, value) != RowResult::Failed;
}

vorn::config::RowsSummary CVornControlsDlg::ApplyRememberedRows(const std::vector<vorn::config::ConfigRow>& rows) {
    WindowConfigTarget target(*this);
    return vorn::config::ApplyRemembered(target, rows);
}
