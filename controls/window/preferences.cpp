// The user's preferences as the window keeps them: read once at start-up,
// changed on disk one item at a time, so another window's changes to other
// items survive.
#include <windows.h>

#include "resources/resource.h"
#include "window/main_dialog.h"

namespace {

constexpr wchar_t kPreferencesNotSaved[] = L"The preferences could not be saved.\r\n";

}  // namespace

void CVornControlsDlg::LoadPreferences() {
    m_userStore = vorn::config::UserStore(vorn::config::DefaultUserFolder());
    m_preferences = vorn::config::ReadPreferences(m_userStore.PreferencesFile());
    CheckMenuItem(m_menu.handle(), ID_TOOLS_REMEMBER_SETTINGS,
                  MF_BYCOMMAND | (m_preferences.remember ? MF_CHECKED : MF_UNCHECKED));
    ShowRecentFiles();
}

bool CVornControlsDlg::ChangePreferences(const std::function<void(vorn::config::Preferences&)>& change) {
    const std::filesystem::path file = m_userStore.PreferencesFile();
    vorn::config::Preferences prefs = vorn::config::ReadPreferences(file);
    // What this window changed before stays, even if the file could not take it.
    prefs.remember = m_preferences.remember;
    if (prefs.recentFiles.empty()) prefs.recentFiles = m_preferences.recentFiles;
    change(prefs);
    m_preferences = prefs;
    if (vorn::config::WritePreferences(file, prefs)) return true;
    AppendStatus(kPreferencesNotSaved);
    return false;
}
