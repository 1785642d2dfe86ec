// The two About boxes: the modeless one of Help > About with the camera's
// identity, and the short modal one of the system menu.
#pragma once

#include <string>

#include "ui/dialog.h"
#include "vorn_version.h"

inline constexpr wchar_t kToolVersion[] = L"v" VORN_VERSION_WSTRING;

class HelpAboutDlg : public ui::Dialog {
public:
    HelpAboutDlg();

    std::wstring m_versionText;
    std::wstring m_productText;
    std::wstring m_vidPidText;
    std::wstring m_firmwareText;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
};

class CAboutDlg : public ui::Dialog {
public:
    CAboutDlg();
};
