// What the Windows timing programs share: the main window in a program
// folder of its own, a millisecond clock, and a session that registers the
// common controls, answers every prompt and keeps that folder.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "ui/scripted_prompts.h"
#include "window/main_dialog.h"

namespace timing {

class TimingDialog : public CVornControlsDlg {
public:
    explicit TimingDialog(std::wstring folder) : folder_(std::move(folder)) {}

protected:
    std::wstring ModuleFileName() const override { return folder_ + L"\\Vorn_Controls.exe"; }

private:
    std::wstring folder_;
};

inline double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// A fresh program folder named `name` in the temporary folder, gone again
// when the session ends.
class Session {
public:
    explicit Session(const wchar_t* name) : scoped_(prompts_) {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        wchar_t tmp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, tmp);
        folder_ = std::wstring(tmp) + name;
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~Session() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const std::wstring& folder() const { return folder_; }
    ui::ScriptedPrompts& prompts() { return prompts_; }

private:
    ui::ScriptedPrompts prompts_;
    ui::ScopedPrompts scoped_;
    std::wstring folder_;
};

}  // namespace timing
