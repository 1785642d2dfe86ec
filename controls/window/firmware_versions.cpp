// The camera's firmware version around a burn: the firmware dialog's version
// line, the status lines after a burn, and the firmware history file.
#include <windows.h>

#include "config/file_open.h"
#include "firmware/burn_report.h"
#include "firmware/firmware_history.h"
#include "resources/resource.h"
#include "ui/message_map.h"
#include "firmware/firmware_gate.h"
#include "window/main_dialog.h"

namespace {

constexpr int kFirmwareBufferSize = 60;
constexpr wchar_t kVersionUnreadable[] = L"Can't read the camera's firmware version.";
constexpr wchar_t kUnknownVersion[] = L"unknown";

std::wstring Wide(const std::string& version) {
    return version.empty() ? std::wstring(kUnknownVersion)
                           : vorn::firmware::WidenBounded(version.c_str(), version.size());
}

std::string Ascii(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// The version line of the firmware dialog, and the version it stands for.
void ShowVersion(UpdateFirmwareDlg& dialog, const std::optional<std::string>& version) {
    dialog.m_firmwareVersion = version.value_or(std::string());
    dialog.m_firmwareVersionText = version ? Wide(*version) : std::wstring(kVersionUnreadable);
    // Only this line: a whole exchange would overwrite a dropped path that
    // has not been taken over yet.
    dialog.SetItemText(IDC_FW_VERSION, dialog.m_firmwareVersionText);
}

}  // namespace

ui::MessageMap CVornControlsDlg::FirmwareVersionsMap() {
    static const ui::MapEntry entries[] = {
        ui::OnMessage<&CVornControlsDlg::OnBurnFinished>(WM_VORN_BURN_FINISHED),
    };
    return entries;
}

std::optional<std::string> CVornControlsDlg::ReadFirmwareVersion() {
    if (m_cameraGone) return std::nullopt;
    if (vorn_uvc_selectDevice(m_selectedDevice) != 0) return std::nullopt;
    char firmware[kFirmwareBufferSize] = {};
    if (vorn_uvc_get_FW_version(firmware, kFirmwareBufferSize, 1) != 0) return std::nullopt;
    return std::string(firmware, strnlen(firmware, sizeof firmware));
}

void CVornControlsDlg::ShowFirmwareVersion() { ShowVersion(m_firmwareDlg, ReadFirmwareVersion()); }

std::filesystem::path CVornControlsDlg::FirmwareHistoryPath() const {
    return std::filesystem::path(m_exeDir) / vorn::firmware::kHistoryFileName;
}

bool CVornControlsDlg::OnBurnFinished(WPARAM, LPARAM lParam) {
    const BurnReport& report = *reinterpret_cast<const BurnReport*>(lParam);
    const std::string oldVersion = m_firmwareDlg.m_firmwareVersion;

    vorn::firmware::BurnRecord record;
    record.localTime = vorn::firmware::LocalNow();
    record.vidPid = Ascii(m_firmwareDlg.m_vidPid);
    record.oldVersion = oldVersion;
    record.imagePath = vorn::files::PathToUtf8(std::filesystem::path(report.imagePath));
    record.imageSize = report.imageSize;
    record.verify = report.verify;

    if (report.burned) {
        record.result = report.restarted ? vorn::firmware::BurnResult::Ok : vorn::firmware::BurnResult::RestartFailed;
        const std::optional<std::string> newVersion = ReadFirmwareVersion();
        record.newVersion = newVersion.value_or(std::string());
        if (!newVersion)
            AppendStatus(L"Firmware written; the camera's new version can't be read.\r\n");
        else if (!oldVersion.empty() && *newVersion == oldVersion)
            AppendStatus(L"Firmware written; the camera still reports " + Wide(oldVersion) + L".\r\n");
        else
            AppendStatus(L"Firmware updated: " + Wide(oldVersion) + L" -> " + Wide(*newVersion) + L".\r\n");
        ShowVersion(m_firmwareDlg, newVersion);
    } else {
        // The dialog stays up for another try; it shows what the camera
        // reports now.
        record.result = vorn::firmware::BurnResult::BurnFailed;
        ShowFirmwareVersion();
    }

    const std::filesystem::path history = FirmwareHistoryPath();
    if (!vorn::firmware::AppendBurnHistory(history, record))
        AppendStatus(L"Can't write the firmware history to " + history.wstring() + L".\r\n");
    UpdateData(false);
    ScrollStatusToEnd();
    return true;
}
