// The File menu's recent configuration files: the last four saved or
// loaded, most recent first, under Load Config. Choosing one loads it as
// Load Config does, without the file dialog; one that is gone leaves the list.
#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "config/file_open.h"
#include "resources/resource.h"
#include "ui/message_map.h"
#include "window/main_dialog.h"

namespace {

std::wstring WidePath(const std::string& utf8) { return vorn::files::PathFromUtf8(utf8).wstring(); }
std::string Utf8Path(const std::wstring& wide) { return vorn::files::PathToUtf8(vorn::files::PathFromWide(wide)); }

int PositionOf(HMENU menu, UINT id) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(menu, i) == id) return i;
    return -1;
}

}  // namespace

ui::MessageMap CVornControlsDlg::RecentFilesMap() {
    static const ui::MapEntry entries[] = {
        ui::OnCommandRange<&CVornControlsDlg::OnRecentFile>(ID_FILE_RECENT_FIRST, ID_FILE_RECENT_LAST),
        ui::OnMessage<&CVornControlsDlg::OnInitMenuPopup>(WM_INITMENUPOPUP),
    };
    return entries;
}

void CVornControlsDlg::ShowRecentFiles() {
    HMENU file = GetSubMenu(m_menu.handle(), 0);
    if (!file) return;
    for (UINT id = ID_FILE_RECENT_FIRST; id <= ID_FILE_RECENT_LAST; ++id) DeleteMenu(file, id, MF_BYCOMMAND);
    DeleteMenu(file, ID_FILE_RECENT_SEPARATOR, MF_BYCOMMAND);
    const int at = PositionOf(file, ID_FILE_LOAD_CONFIG);
    const auto& recent = m_preferences.recentFiles;
    if (at >= 0 && !recent.empty()) {
        const UINT state = (m_menu.State(ID_FILE_LOAD_CONFIG) & (MF_GRAYED | MF_DISABLED)) ? MF_GRAYED : MF_ENABLED;
        InsertMenuW(file, at + 1, MF_BYPOSITION | MF_SEPARATOR, ID_FILE_RECENT_SEPARATOR, nullptr);
        for (size_t i = 0; i < recent.size() && i < vorn::config::kMaxRecentFiles; ++i) {
            const std::wstring text = vorn::config::RecentFileMenuText(static_cast<int>(i) + 1, WidePath(recent[i]));
            InsertMenuW(file, at + 2 + static_cast<int>(i), MF_BYPOSITION | MF_STRING | state,
                        ID_FILE_RECENT_FIRST + i, text.c_str());
        }
    }
    DrawMenuBar(hwnd());
}

bool CVornControlsDlg::OnInitMenuPopup(WPARAM menu, LPARAM) {
    if (reinterpret_cast<HMENU>(menu) != GetSubMenu(m_menu.handle(), 0)) return false;
    // Load Config is grayed and enabled in many places; the recent files
    // follow it whenever the menu opens.
    const bool live = !(m_menu.State(ID_FILE_LOAD_CONFIG) & (MF_GRAYED | MF_DISABLED));
    for (UINT id = ID_FILE_RECENT_FIRST; id <= ID_FILE_RECENT_LAST; ++id)
        m_menu.EnableItem(id, live ? MF_ENABLED : MF_GRAYED | MF_DISABLED);
    return false;
}

void CVornControlsDlg::OnRecentFile(int id) {
    // Only while Load Config itself is live (a command may come all the same).
    if (m_menu.State(ID_FILE_LOAD_CONFIG) & (MF_GRAYED | MF_DISABLED)) return;
    const size_t index = static_cast<size_t>(id - ID_FILE_RECENT_FIRST);
    if (index >= m_preferences.recentFiles.size()) return;
    const std::wstring path = WidePath(m_preferences.recentFiles[index]);
    if (LoadConfigFrom(path)) return;
    std::error_code ec;
    if (std::filesystem::status(vorn::files::PathFromWide(path), ec).type() == std::filesystem::file_type::not_found)
        ForgetRecentFile(path);
}

void CVornControlsDlg::NoteRecentFile(const std::wstring& path) {
    const std::string utf8 = Utf8Path(path);
    ChangePreferences([&](vorn::config::Preferences& prefs) {
        prefs.recentFiles = vorn::config::WithRecentFile(prefs.recentFiles, utf8);
    });
    ShowRecentFiles();
}

void CVornControlsDlg::ForgetRecentFile(const std::wstring& path) {
    const std::string utf8 = Utf8Path(path);
    ChangePreferences([&](vorn::config::Preferences& prefs) {
        prefs.recentFiles = vorn::config::WithoutRecentFile(prefs.recentFiles, utf8);
    });
    ShowRecentFiles();
    UpdateData(false);
    ScrollStatusToEnd();
}
