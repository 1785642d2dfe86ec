#include "window/app.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "ui/prompts.h"
#include "window/main_dialog.h"

int CVornControlsApp::Run() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    // The caption of the framework's own prompts, such as "Enter an integer.".
    ui::SetAppTitle(L"Vorn_Controls");
    {
        auto dlg = std::make_unique<CVornControlsDlg>();
        dlg->DoModal(nullptr);
    }
    ui::SetMainWindow(nullptr);
    return 0;
}
