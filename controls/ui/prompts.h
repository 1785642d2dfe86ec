// Every message box and chooser of the tool goes through ui::Prompts, so that
// GUI tests can answer them and see what the user would have been asked.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ui {

// What an open or save chooser is given. The filter is written with '|'
// between description and pattern, as in "Source (*.src)|*.src".
struct FileChooser {
    std::wstring defaultExt;
    std::wstring fileName;  // initial name, may be empty
    std::wstring filter;
    DWORD flags = 0;        // OFN_* flags
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // Returns the button pressed (IDOK, IDYES, ...).
    virtual int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                           UINT flags) = 0;
    // Full path of the chosen file, nothing when the user cancels.
    virtual std::optional<std::wstring> OpenFile(HWND owner, const FileChooser& chooser) = 0;
    virtual std::optional<std::wstring> SaveFile(HWND owner, const FileChooser& chooser) = 0;
    virtual std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& title) = 0;
};

// The real dialogs of the window system.
class Win32Prompts : public Prompts {
public:
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                   UINT flags) override;
    std::optional<std::wstring> OpenFile(HWND owner, const FileChooser& chooser) override;
    std::optional<std::wstring> SaveFile(HWND owner, const FileChooser& chooser) override;
    std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& title) override;
};

// The process-wide prompts; the Win32 ones until something else is installed.
// Installing nullptr goes back to the Win32 ones. Returns the previous one.
Prompts& CurrentPrompts();
Prompts* SetPrompts(Prompts* prompts);

// Installs prompts for a scope, restoring the previous ones on exit.
class ScopedPrompts {
public:
    explicit ScopedPrompts(Prompts& prompts) : previous_(SetPrompts(&prompts)) {}
    ~ScopedPrompts() { SetPrompts(previous_); }
    ScopedPrompts(const ScopedPrompts&) = delete;
    ScopedPrompts& operator=(const ScopedPrompts&) = delete;

private:
    Prompts* previous_;
};

// The program's title: the caption of the framework's own prompts such as
// "Enter an integer." and of application message boxes.
std::wstring AppTitle();
void SetAppTitle(const std::wstring& title);

// The application's main window (owner of application message boxes and
// choosers that have no dialog of their own). Null until the program sets it.
HWND MainWindow();
void SetMainWindow(HWND hwnd);

// A message box owned by the main window with the program's title.
int AppMessageBox(const std::wstring& text, UINT flags = MB_OK);

// '|'-separated filter to the NUL-separated, doubly terminated form.
std::wstring ToNativeFilter(const std::wstring& filter);

}  // namespace ui
