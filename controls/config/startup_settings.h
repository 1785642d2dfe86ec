// The optional start-up settings file, vorn_settings.cfg: key=value lines
// read once while the main window starts.
#pragma once

#include <istream>
#include <map>
#include <optional>
#include <string>

namespace vorn::settings {

using SettingsMap = std::map<std::string, std::string>;

inline constexpr const char* kSettingsFileName = "vorn_settings.cfg";

// Lines end at LF (one CR before it is dropped). A line of 3 characters or
// fewer ends the reading; white space anywhere in key or value is removed;
// a key starting with '#' is a comment; a line with nothing after its first
// '=' is skipped; a later key replaces an earlier one.
SettingsMap ParseStartupSettings(std::istream& in);

// The file in the program's folder, else in its config subfolder; an empty
// map when neither exists or the chosen one cannot be read. The folder has
// no trailing separator.
SettingsMap ReadStartupSettings(const std::wstring& folder);

// Whether the Illumination check box is to be shown: entries whose key is
// "illuminate" in any case are applied in ascending key order, so the last
// of them decides; nullopt when there is none.
std::optional<bool> IlluminateSetting(const SettingsMap& settings);

}  // namespace vorn::settings
