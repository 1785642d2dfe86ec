#include "firmware/update_firmware_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <filesystem>
#include <new>

#include "firmware/burn_report.h"
#include "config/device_list.h"
#include "firmware/restart_sequence.h"
#include "firmware/rom_image.h"
#include "firmware/source_file.h"
#include "resources/resource.h"
#include "ui/data_exchange.h"
#include "ui/prompts.h"
#include "window/main_dialog.h"

namespace {

constexpr int kProgressMax = 10000;

// The shared texts are ASCII.
std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

ui::MessageMap FirmwareDialogMap() {
    static const ui::MapEntry entries[] = {
        ui::OnDropFiles<&UpdateFirmwareDlg::OnDropSourceFile>(),
        ui::OnBnClicked<&UpdateFirmwareDlg::OnBrowseSource>(IDC_FW_BROWSE),
        ui::OnBnClicked<&UpdateFirmwareDlg::OnCancelUpdate>(IDC_FW_CANCEL),
        ui::OnBnClicked<&UpdateFirmwareDlg::OnUpdateFirmware>(IDC_FW_UPDATE),
        ui::OnBnClicked<&UpdateFirmwareDlg::OnFullVerification>(IDC_FW_FULL_VERIFY),
        ui::OnMessage<&UpdateFirmwareDlg::OnDestroyWindow>(WM_DESTROY),
    };
    return entries;
}

void ResetProgress(HWND bar) {
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressMax));
    SendMessageW(bar, PBM_SETPOS, 0, 0);
}

int Box(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags = MB_OK) {
    return ui::CurrentPrompts().MessageBox(owner, text, caption, flags);
}

}  // namespace

UpdateFirmwareDlg::UpdateFirmwareDlg()
    : ui::Dialog(IDD_UPDATE_FIRMWARE), m_fullVerification(0), m_imageLength(0), m_owner(nullptr) {}

UpdateFirmwareDlg::~UpdateFirmwareDlg() {
    WaitForBurn();
    if (m_worker) CloseHandle(m_worker);
}

std::vector<ui::MessageMap> UpdateFirmwareDlg::MessageMaps() const { return {FirmwareDialogMap()}; }

void UpdateFirmwareDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_FW_SOURCE_PATH, m_sourcePath);
    dx.Text(IDC_FW_VIDPID, m_vidPid);
    dx.Check(IDC_FW_FULL_VERIFY, m_fullVerification);
    dx.Text(IDC_FW_VERSION, m_firmwareVersionText);
}

void UpdateFirmwareDlg::OnOK() {
    HWND update = Item(IDC_FW_UPDATE);
    if (update && IsWindowEnabled(update)) OnUpdateFirmware();
}

void UpdateFirmwareDlg::OnCancel() {
    HWND cancel = Item(IDC_FW_CANCEL);
    if (cancel && IsWindowEnabled(cancel)) OnCancelUpdate();
}

bool UpdateFirmwareDlg::OnDestroyWindow(WPARAM, LPARAM) {
    // A running worker still reads the image; the destructor frees it then.
    if (!IsBurning()) {
        m_image.reset();
        m_imageLength = 0;
    }
    return false;
}

void UpdateFirmwareDlg::WaitForBurn() {
    if (!m_worker) return;
    while (MsgWaitForMultipleObjects(1, &m_worker, FALSE, INFINITE, QS_ALLINPUT | QS_ALLPOSTMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG msg;
        // Sent messages are delivered by the peek itself.
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (WaitForSingleObject(m_worker, 0) == WAIT_OBJECT_0) break;
    }
}

void UpdateFirmwareDlg::OnBrowseSource() {
    ui::FileChooser chooser;
    chooser.defaultExt = L"src";
    chooser.filter = L"Source (*.src)|*.src";
    chooser.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (auto path = ui::CurrentPrompts().OpenFile(ui::MainWindow(), chooser)) {
        m_sourcePath = *path;
        UpdateData(false);
    }
}

void UpdateFirmwareDlg::OnDropSourceFile(HDROP drop) {
    // The first file only; its whole name, however long.
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path;
    if (length > 0) {
        path.resize(length + 1);
        path.resize(DragQueryFileW(drop, 0, path.data(), length + 1));
    }
    // The drop's memory is given back whatever it held.
    DragFinish(drop);
    if (!path.empty()) SetItemText(IDC_FW_SOURCE_PATH, path);
}

void UpdateFirmwareDlg::OnFullVerification() { UpdateData(true); }

void UpdateFirmwareDlg::EnableOwnerButtons() {
    if (CVornControlsDlg* owner = m_owner.load()) {
        owner->EnableItem(IDC_START_CAMERA, true);
        owner->EnableItem(IDC_EXIT, true);
    }
}

void UpdateFirmwareDlg::OnCancelUpdate() {
    EnableOwnerButtons();
    m_owner = nullptr;
    EndDialog(IDCANCEL);
}

bool UpdateFirmwareDlg::IsSourcePathValid() {
    UpdateData(true);
    return vorn::firmware::IsSourcePathValid(std::filesystem::path(m_sourcePath));
}

bool UpdateFirmwareDlg::ReadSourceFile(const std::wstring& path) {
    using vorn::firmware::RomStatus;
    vorn::firmware::RomReadResult read = vorn::firmware::ReadRomImage(std::filesystem::path(path));
    if (read.status != RomStatus::Ok) {
        ui::AppMessageBox(vorn::firmware::RomStatusTextW(read.status), MB_OK);
        return false;
    }
    // The new buffer first, so that a failed allocation keeps the old image.
    std::unique_ptr<uint8_t[]> image(new (std::nothrow) uint8_t[read.image.size()]);
    if (!image) {
        ui::AppMessageBox(vorn::firmware::RomStatusTextW(RomStatus::NoMemory), MB_OK);
        return false;
    }
    std::copy(read.image.begin(), read.image.end(), image.get());
    m_image = std::move(image);
    m_imageLength = static_cast<int32_t>(read.image.size());
    return true;
}

void UpdateFirmwareDlg::OnUpdateFirmware() {
    EnableItem(IDC_FW_UPDATE, false);
    if (!IsSourcePathValid()) {
        Box(hwnd(), Widen(vorn::firmware::kInvalidSourcePath).c_str(), L"ERROR FW Source Path");
        EnableItem(IDC_FW_UPDATE, true);
        EnableItem(IDC_FW_CANCEL, true);
        return;
    }
    if (!ReadSourceFile(m_sourcePath)) {
        Box(hwnd(), Widen(vorn::firmware::kSourceReadFailed).c_str(), L"Update Firmware");
        EnableItem(IDC_FW_UPDATE, true);
        EnableItem(IDC_FW_CANCEL, true);
        return;
    }
    const std::wstring question = L"Loading file \"" + m_sourcePath + L"\" to update firmware.";
    if (Box(hwnd(), question.c_str(), L"Update Firmware", MB_YESNO) != IDYES) {
        EnableItem(IDC_FW_UPDATE, true);
        return;
    }
    EnableItem(IDC_FW_CANCEL, false);
    if (m_worker) {
        CloseHandle(m_worker);  // the previous burn's thread has ended
        m_worker = nullptr;
    }
    m_burnVerify = m_fullVerification != 0 ? 1 : 0;
    m_burnPath = m_sourcePath;
    m_burnDevicePath.clear();
    if (CVornControlsDlg* owner = m_owner.load(); owner && owner->m_selectedDevice < owner->m_deviceCount)
        m_burnDevicePath = owner->m_devices[owner->m_selectedDevice].devicePath;
    m_burning = true;
    // No second burn from the menu until this one is over.
    if (CVornControlsDlg* owner = m_owner.load()) owner->m_menu.EnableItem(ID_TOOLS_BURN_FIRMWARE, MF_GRAYED | MF_DISABLED);
    m_worker = CreateThread(nullptr, 0, &UpdateFirmwareDlg::BurnThreadProc, this, 0, nullptr);
    if (!m_worker) {
        m_burning = false;
        if (CVornControlsDlg* owner = m_owner.load()) owner->m_menu.EnableItem(ID_TOOLS_BURN_FIRMWARE, MF_ENABLED);
        ui::AppMessageBox(L"Failed to Update Firmware!", MB_OK);
        EnableItem(IDC_FW_UPDATE, true);
        EnableItem(IDC_FW_CANCEL, true);
    }
}

int VORN_CDECL UpdateFirmwareDlg::BurnProgress(void* context, float done) {
    auto* dialog = static_cast<UpdateFirmwareDlg*>(context);
    return static_cast<int>(
        SendMessageW(dialog->Item(IDC_FW_PROGRESS), PBM_SETPOS, vorn::firmware::ProgressPosition(done), 0));
}

DWORD WINAPI UpdateFirmwareDlg::BurnThreadProc(LPVOID param) {
    auto* dialog = static_cast<UpdateFirmwareDlg*>(param);
    ResetProgress(dialog->Item(IDC_FW_PROGRESS));
    const int status = vorn_uvc_BurnerFW(dialog->m_image.get(), dialog->m_imageLength,
                                         &UpdateFirmwareDlg::BurnProgress, dialog, dialog->m_burnVerify);
    CVornControlsDlg* owner = dialog->m_owner.load();
    if (status != 0) {
        ui::AppMessageBox(L"Failed to Update Firmware!", MB_OK);
        dialog->EnableItem(IDC_FW_UPDATE, true);
        dialog->EnableItem(IDC_FW_CANCEL, true);
        if (owner) owner->m_menu.EnableItem(ID_TOOLS_BURN_FIRMWARE, MF_ENABLED);
        dialog->ReportBurn(false, false);
        dialog->m_burning = false;
        return 1;
    }
    Box(dialog->hwnd(), L"Firmware Update Complete!", L"Update Vorn Firmware");
    const bool restarted = dialog->RestartSequence();
    dialog->ReportBurn(true, restarted);
    if (owner) owner->m_menu.EnableItem(ID_TOOLS_BURN_FIRMWARE, MF_ENABLED);
    dialog->EnableOwnerButtons();
    dialog->m_owner = nullptr;
    dialog->EndDialog(IDCANCEL);
    dialog->m_burning = false;
    return 0;
}

void UpdateFirmwareDlg::ReportBurn(bool burned, bool restarted) {
    CVornControlsDlg* main = g_mainDlg;
    if (!main) return;
    BurnReport report;
    report.burned = burned;
    report.restarted = restarted;
    report.imagePath = m_burnPath;
    report.imageSize = m_imageLength;
    report.verify = m_burnVerify != 0;
    SendMessageW(main->hwnd(), WM_VORN_BURN_FINISHED, 0, reinterpret_cast<LPARAM>(&report));
}

bool UpdateFirmwareDlg::RestartSequence() {
    // Each failure ends the tool; the rest of the sequence still runs so
    // that the library is left initialised as far as it goes.
    CVornControlsDlg* main = g_mainDlg;
    bool ok = true;
    auto fail = [main, &ok](const wchar_t* text) {
        ok = false;
        Box(main ? main->hwnd() : ui::MainWindow(), text, L"ERROR");
        if (main) main->EndDialog(-1);
    };
    // A camera unplugged after its burn has nothing to restart; the library
    // is still brought back.
    const std::string path = m_burnDevicePath;
    vorn::firmware::RunRestartSequence([&](const char* failure) { fail(Widen(failure).c_str()); }, {},
                                       [&] { return !path.empty() && !vorn::devices::IsListed(path); });
    return ok;
}
