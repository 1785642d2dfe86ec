// The user's preferences, preferences.ini in the user's folder:
//
//   [settings]
//   remember = true|false
//   [recent]
//   file1 = C:\Pictures\day.csv      (most recent first, at most four)
//
// Plain text, UTF-8. What this program does not know (other keys and
// sections) is kept when it writes the file again.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::config {

inline constexpr std::size_t kMaxRecentFiles = 4;

struct Preferences {
  bool remember = false;                 // Remember Settings per Camera
  std::vector<std::string> recentFiles;  // configuration files, UTF-8 paths
};

// Unknown or malformed lines are passed over; a remember value other than
// true or false (any case) leaves the switch off.
Preferences ParsePreferences(std::string_view text);

// The file's new text: `previous` with the known keys replaced.
std::string FormatPreferences(const Preferences& prefs, std::string_view previous = {});

// Defaults when the file is missing or can't be read.
Preferences ReadPreferences(const std::filesystem::path& file);
// Over the file as it is now on disk (so keys written by another program
// stay), whole or not at all; false when it could not be written.
bool WritePreferences(const std::filesystem::path& file, const Preferences& prefs);

// The path moved to the front (an earlier entry of the same path, compared
// ignoring ASCII case as Windows does, goes), the list cut to four.
std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path);
std::vector<std::string> WithoutRecentFile(std::vector<std::string> list, const std::string& path);

// A menu item for the number-th recent file: "&1 " and the path, its '&'
// doubled; a path longer than maxChars keeps its root and the end that fits,
// "C:\...\day.csv".
std::wstring RecentFileMenuText(int number, const std::wstring& path, std::size_t maxChars = 48);

}  // namespace vorn::config
