#include "ui/prompts.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace ui {
namespace {

Win32Prompts& Win32() {
    static Win32Prompts prompts;
    return prompts;
}

std::atomic<Prompts*> g_current{nullptr};
std::atomic<HWND> g_mainWindow{nullptr};

std::mutex& TitleMutex() {
    static std::mutex m;
    return m;
}
std::wstring& TitleStorage() {
    static std::wstring title = L"Vorn_Controls";
    return title;
}

std::optional<std::wstring> RunFileChooser(HWND owner, const FileChooser& chooser, bool save) {
    const std::wstring filter = ToNativeFilter(chooser.filter);
    // Room for a long path; the chooser refuses names that do not fit.
    std::vector<wchar_t> name(32768, L'\0');
    chooser.fileName.copy(name.data(), std::min(chooser.fileName.size(), name.size() - 1));

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrDefExt = chooser.defaultExt.empty() ? nullptr : chooser.defaultExt.c_str();
    ofn.Flags = chooser.flags | OFN_EXPLORER;
    const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return std::nullopt;
    return std::wstring(name.data());
}

}  // namespace

int Win32Prompts::MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                             UINT flags) {
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

std::optional<std::wstring> Win32Prompts::OpenFile(HWND owner, const FileChooser& chooser) {
    return RunFileChooser(owner, chooser, false);
}

std::optional<std::wstring> Win32Prompts::SaveFile(HWND owner, const FileChooser& chooser) {
    return RunFileChooser(owner, chooser, true);
}

std::optional<std::wstring> Win32Prompts::ChooseFolder(HWND owner, const std::wstring& title) {
    // The folder chooser needs COM on this thread; balance only our own start.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = title.c_str();
    info.ulFlags = 0;  // the classic chooser; an item without a path is ignored below
    std::optional<std::wstring> result;
    if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(list, path)) result = std::wstring(path);
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

Prompts& CurrentPrompts() {
    Prompts* p = g_current.load();
    return p ? *p : Win32();
}

Prompts* SetPrompts(Prompts* prompts) { return g_current.exchange(prompts); }

std::wstring AppTitle() {
    std::lock_guard lock(TitleMutex());
    return TitleStorage();
}

void SetAppTitle(const std::wstring& title) {
    std::lock_guard lock(TitleMutex());
    TitleStorage() = title;
}

HWND MainWindow() { return g_mainWindow.load(); }
void SetMainWindow(HWND hwnd) { g_mainWindow.store(hwnd); }

int AppMessageBox(const std::wstring& text, UINT flags) {
    return CurrentPrompts().MessageBox(MainWindow(), text, AppTitle(), flags);
}

std::wstring ToNativeFilter(const std::wstring& filter) {
    if (filter.empty()) return {};
    std::wstring out = filter;
    for (wchar_t& c : out)
        if (c == L'|') c = L'\0';
    // A trailing '|' already ended the last pair; the list ends with one more NUL.
    if (out.back() != L'\0') out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

}  // namespace ui
