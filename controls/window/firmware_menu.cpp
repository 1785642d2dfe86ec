// Tools > Burn Firmware, and the main window's close while a burn runs.
#include <windows.h>

#include <commctrl.h>

#include "resources/resource.h"
#include "ui/prompts.h"
#include "window/main_dialog.h"

namespace {

constexpr wchar_t kBurnRunning[] = L"A firmware update is running; please wait until it finishes.";

}  // namespace

ui::MessageMap CVornControlsDlg::FirmwareMap() {
    static const ui::MapEntry entries[] = {
        ui::OnCommand<&CVornControlsDlg::OnBurnFirmware>(ID_TOOLS_BURN_FIRMWARE),
        ui::OnMessage<&CVornControlsDlg::OnCloseDuringBurn>(WM_CLOSE),
    };
    return entries;
}

void CVornControlsDlg::OnBurnFirmware() {
    // Showing the dialog again would re-enable its buttons and reset the bar
    // under a running burn.
    if (m_firmwareDlg.IsBurning()) return;
    EnableItem(IDC_START_CAMERA, false);
    EnableItem(IDC_EXIT, false);
    m_firmwareDlg.m_owner = g_mainDlg;
    m_firmwareDlg.EnableItem(IDC_FW_UPDATE, true);
    m_firmwareDlg.EnableItem(IDC_FW_CANCEL, true);
    HWND bar = m_firmwareDlg.Item(IDC_FW_PROGRESS);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 10000));
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    ShowFirmwareVersion();
    m_firmwareDlg.ShowWindow(SW_SHOW);
}

bool CVornControlsDlg::OnCloseDuringBurn(WPARAM, LPARAM) {
    if (!m_firmwareDlg.IsBurning()) return false;  // the usual Close
    AppendStatus(std::wstring(kBurnRunning) + L"\r\n");
    UpdateData(false);
    ui::CurrentPrompts().MessageBox(hwnd(), kBurnRunning, L"Update Firmware", MB_OK | MB_ICONINFORMATION);
    return true;
}

void CVornControlsDlg::OnCommandRefused(int id) {
    // Exit is disabled while the firmware dialog is up; during a burn the
    // user learns why Escape does nothing.
    if (id == IDCANCEL) OnCloseDuringBurn(0, 0);
}
