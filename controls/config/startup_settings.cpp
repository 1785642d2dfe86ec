#include "config/startup_settings.h"

#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#include "config/file_open.h"
#include "config/text_case.h"

namespace vorn::settings {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string WithoutBlanks(std::string_view s) {
  std::string out;
  for (char c : s)
    if (!IsBlank(c)) out.push_back(c);
  return out;
}

bool Exists(const std::filesystem::path& p) {
#ifdef _WIN32
  return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  std::error_code ec;
  return std::filesystem::exists(p, ec);
#endif
}

}  // namespace

SettingsMap ParseStartupSettings(std::istream& in) {
  SettingsMap settings;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() <= 3) break;
    const size_t eq = line.find('=');
    std::string key = WithoutBlanks(std::string_view(line).substr(0, eq));
    if (!key.empty() && key.front() == '#') continue;
    if (eq == std::string::npos || eq + 1 == line.size()) continue;
    settings[key] = WithoutBlanks(std::string_view(line).substr(eq + 1));
  }
  return settings;
}

SettingsMap ReadStartupSettings(const std::wstring& folder) {
  namespace fs = std::filesystem;
#ifdef _WIN32
  const std::wstring sep = L"\\";
#else
  const std::wstring sep = L"/";
#endif
  const std::wstring name(kSettingsFileName, kSettingsFileName + std::char_traits<char>::length(kSettingsFileName));
  fs::path chosen = files::PathFromWide(folder + sep + name);
  if (!Exists(chosen)) {
    chosen = files::PathFromWide(folder + sep + L"config" + sep + name);
    if (!Exists(chosen)) return {};
  }
  std::string data;
  if (!files::ReadAll(chosen, data)) return {};
  std::istringstream in(data);
  return ParseStartupSettings(in);
}

std::optional<bool> IlluminateSetting(const SettingsMap& settings) {
  std::optional<bool> show;
  for (const auto& [key, value] : settings) {
    if (text::EqualsIgnoreCase(key, "illuminate")) show = text::EqualsIgnoreCase(value, "TRUE");
  }
  return show;
}

}  // namespace vorn::settings
