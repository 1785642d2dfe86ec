// The About boxes and Help > About.
#include <windows.h>

#include "resources/resource.h"
#include "ui/data_exchange.h"
#include "ui/prompts.h"
#include "window/about_dialogs.h"
#include "firmware/firmware_gate.h"
#include "window/main_dialog.h"

HelpAboutDlg::HelpAboutDlg() : ui::Dialog(IDD_HELP_ABOUT) {}

void HelpAboutDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_ABOUT_VERSION, m_versionText);
    dx.Text(IDC_ABOUT_PRODUCT, m_productText);
    dx.Text(IDC_ABOUT_FIRMWARE, m_firmwareText);
    dx.Text(IDC_ABOUT_VIDPID, m_vidPidText);
}

CAboutDlg::CAboutDlg() : ui::Dialog(IDD_ABOUTBOX) {}

ui::MessageMap CVornControlsDlg::AboutMap() {
    static const ui::MapEntry entries[] = {
        ui::OnCommand<&CVornControlsDlg::OnAbout>(ID_HELP_ABOUT),
    };
    return entries;
}

void CVornControlsDlg::OnAbout() {
    if (vorn_uvc_selectDevice(m_selectedDevice) != 0) {
        ui::CurrentPrompts().MessageBox(hwnd(), L"Can't select video device!", L"ERROR", MB_OK);
        EndDialog(-1);
        return;
    }
    char firmware[60] = {};
    if (vorn_uvc_get_FW_version(firmware, sizeof firmware, 1) != 0) {
        ui::CurrentPrompts().MessageBox(hwnd(), L"Failed to get camera FW version info", L"ERROR", MB_OK);
        EndDialog(-1);
        return;
    }
    m_aboutDlg.m_firmwareText = vorn::firmware::WidenBounded(firmware, sizeof firmware);
    m_aboutDlg.UpdateData(false);
    m_aboutDlg.ShowWindow(SW_SHOW);
}
