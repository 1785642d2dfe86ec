// The firmware update dialog: picks and checks a ROM image, burns it into the
// camera on a worker thread with a progress bar, then restarts the camera
// and re-initialises the library. Modeless, created hidden at start-up and
// shown from the main window's Tools menu.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/dialog.h"
#include "vorn_uvc.h"

class CVornControlsDlg;

class UpdateFirmwareDlg : public ui::Dialog {
public:
    UpdateFirmwareDlg();
    // Waits for a running burn first: the worker uses this object.
    ~UpdateFirmwareDlg() override;

    // --- Handlers ----------------------------------------------------------
    void OnBrowseSource();
    void OnDropSourceFile(HDROP drop);
    void OnFullVerification();
    void OnCancelUpdate();
    void OnUpdateFirmware();
    bool OnDestroyWindow(WPARAM, LPARAM);

    // --- Internal operations ----------------------------------------------
    bool IsSourcePathValid();
    // Fills m_image and m_imageLength; a refusal has shown its box.
    bool ReadSourceFile(const std::wstring& path);
    static DWORD WINAPI BurnThreadProc(LPVOID dialog);
    static int VORN_CDECL BurnProgress(void* context, float done);

    // True from the Yes to the burn until its worker has finished.
    bool IsBurning() const { return m_burning.load(); }
    // Dispatches messages until the worker has ended (the worker talks to
    // the window thread synchronously, so a plain wait could deadlock).
    void WaitForBurn();

    // --- State, in this order -----------------------------------------------
    std::wstring m_sourcePath;
    std::wstring m_vidPid;
    int32_t m_fullVerification;
    std::unique_ptr<uint8_t[]> m_image;
    int32_t m_imageLength;
    // Set while the dialog is shown from the menu; its buttons 1 and 2 come
    // back when the dialog closes. Written by the worker at the end of a burn.
    std::atomic<CVornControlsDlg*> m_owner;
    // The camera's firmware version as read when the dialog was shown or
    // after the last burn (empty when it could not be read), and its line.
    std::string m_firmwareVersion;
    std::wstring m_firmwareVersionText;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    std::vector<ui::MessageMap> MessageMaps() const override;
    // Enter presses the default button when it is live and never ends the
    // dialog by itself; Escape is Cancel, only while Cancel is enabled.
    void OnOK() override;
    void OnCancel() override;

private:
    // True when every step of the sequence succeeded.
    bool RestartSequence();
    void EnableOwnerButtons();
    // Tells the main window that a burn is over.
    void ReportBurn(bool burned, bool restarted);

    std::atomic<bool> m_burning{false};
    int32_t m_burnVerify = 0;  // taken on the window thread before the worker starts
    std::wstring m_burnPath;   // likewise
    std::string m_burnDevicePath;  // likewise: the camera being written
    HANDLE m_worker = nullptr;
};
