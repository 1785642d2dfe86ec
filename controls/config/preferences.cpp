#include "config/preferences.h"

#include <algorithm>
#include <map>
#include <optional>
#include <system_error>

#include "config/file_open.h"
#include "config/replace_file.h"
#include "config/text_case.h"

namespace vorn::config {

namespace {

constexpr std::size_t kMaxFileBytes = 64 * 1024;
constexpr char kSettings[] = "settings";
constexpr char kRecent[] = "recent";
constexpr char kRemember[] = "remember";
constexpr char kLineEnd[] = "\r\n";

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

// "[name]" gives the name; nothing for other lines.
std::optional<std::string> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return text::ToUpperAscii(Trim(line.substr(1, line.size() - 2)));
}

struct KeyValue {
  std::string key;  // upper case
  std::string_view value;
};

std::optional<KeyValue> KeyValueOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() == ';' || line.front() == '#') return std::nullopt;
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyValue{text::ToUpperAscii(Trim(line.substr(0, eq))), Trim(line.substr(eq + 1))};
}

// "FILE1" .. "FILE4" give 1 .. 4; 0 for other keys.
int RecentNumber(const std::string& key) {
  if (key.size() != 5 || key.compare(0, 4, "FILE") != 0) return 0;
  const int n = key[4] - '0';
  return n >= 1 && n <= static_cast<int>(kMaxRecentFiles) ? n : 0;
}

bool IsRecentKey(const std::string& key) {
  // Any FILE<digits>, so a longer list left by someone else does not linger.
  if (key.size() < 5 || key.compare(0, 4, "FILE") != 0) return false;
  return std::all_of(key.begin() + 4, key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SamePath(const std::string& a, const std::string& b) { return text::EqualsIgnoreCase(a, b); }

}  // namespace

Preferences ParsePreferences(std::string_view text) {
  Preferences prefs;
  std::string section;
  std::map<int, std::string> recent;
  for (std::string_view line : Lines(text)) {
    if (std::optional<std::string> name = SectionOf(line)) {
      section = *name;
      continue;
    }
    const std::optional<KeyValue> kv = KeyValueOf(line);
    if (!kv) continue;
    if (section == text::ToUpperAscii(kSettings) && kv->key == text::ToUpperAscii(kRemember)) {
      prefs.remember = text::EqualsIgnoreCase(kv->value, "true");
    } else if (section == text::ToUpperAscii(kRecent)) {
      if (const int n = RecentNumber(kv->key); n > 0 && !kv->value.empty()) recent[n] = std::string(kv->value);
    }
  }
  for (const auto& [n, path] : recent) {
    (void)n;
    if (std::none_of(prefs.recentFiles.begin(), prefs.recentFiles.end(),
                     [&](const std::string& p) { return SamePath(p, path); }))
      prefs.recentFiles.push_back(path);
  }
  return prefs;
}

std::string FormatPreferences(const Preferences& prefs, std::string_view previous) {
  const std::string rememberLine = std::string(kRemember) + " = " + (prefs.remember ? "true" : "false") + kLineEnd;
  std::string recentLines;
  for (std::size_t i = 0; i < prefs.recentFiles.size() && i < kMaxRecentFiles; ++i)
    recentLines += "file" + std::to_string(i + 1) + " = " + prefs.recentFiles[i] + kLineEnd;

  std::string out;
  bool settingsDone = false, recentDone = false;
  std::string section;
  for (std::string_view line : Lines(previous)) {
    if (std::optional<std::string> name = SectionOf(line)) {
      section = *name;
      out += std::string(line) + kLineEnd;
      // Our keys right under the first header of their section.
      if (section == text::ToUpperAscii(kSettings) && !settingsDone) {
        out += rememberLine;
        settingsDone = true;
      } else if (section == text::ToUpperAscii(kRecent) && !recentDone) {
        out += recentLines;
        recentDone = true;
      }
      continue;
    }
    const std::optional<KeyValue> kv = KeyValueOf(line);
    if (kv && section == text::ToUpperAscii(kSettings) && kv->key == text::ToUpperAscii(kRemember)) continue;
    if (kv && section == text::ToUpperAscii(kRecent) && IsRecentKey(kv->key)) continue;
    out += std::string(line) + kLineEnd;
  }
  if (!settingsDone) out += std::string("[") + kSettings + "]" + kLineEnd + rememberLine;
  if (!recentDone && !recentLines.empty()) out += std::string("[") + kRecent + "]" + kLineEnd + recentLines;
  return out;
}

Preferences ReadPreferences(const std::filesystem::path& file) {
  std::string text;
  if (file.empty() || files::ReadRegularFile(file, kMaxFileBytes, text) != files::ReadStatus::Ok) return {};
  return ParsePreferences(text);
}

bool WritePreferences(const std::filesystem::path& file, const Preferences& prefs) {
  if (file.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) return false;
  std::string previous;
  if (files::ReadRegularFile(file, kMaxFileBytes, previous) != files::ReadStatus::Ok) previous.clear();
  const std::string text = FormatPreferences(prefs, previous);
  return files::ReplaceWhole(file, [&](const std::filesystem::path& temp) {
    files::FileHandle f(files::Open(temp, "wb"));
    if (!f) return false;
    const bool wrote = std::fwrite(text.data(), 1, text.size(), f.get()) == text.size();
    return std::fclose(f.release()) == 0 && wrote;
  });
}

std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path) {
  list = WithoutRecentFile(std::move(list), path);
  list.insert(list.begin(), path);
  if (list.size() > kMaxRecentFiles) list.resize(kMaxRecentFiles);
  return list;
}

std::vector<std::string> WithoutRecentFile(std::vector<std::string> list, const std::string& path) {
  list.erase(std::remove_if(list.begin(), list.end(), [&](const std::string& p) { return SamePath(p, path); }),
             list.end());
  return list;
}

std::wstring RecentFileMenuText(int number, const std::wstring& path, std::size_t maxChars) {
  std::wstring shown = path;
  if (shown.size() > maxChars) {
    // The root: "C:\" or "\\server\share\", whatever comes before the folders.
    std::size_t rootEnd = 0;
    if (shown.size() > 2 && shown[1] == L':' && (shown[2] == L'\\' || shown[2] == L'/')) {
      rootEnd = 3;
    } else if (shown.rfind(L"\\\\", 0) == 0) {
      const std::size_t server = shown.find_first_of(L"\\/", 2);
      const std::size_t share = server == std::wstring::npos ? server : shown.find_first_of(L"\\/", server + 1);
      rootEnd = share == std::wstring::npos ? 0 : share + 1;
    }
    const std::size_t nameStart = shown.find_last_of(L"\\/") + 1;  // npos + 1 is 0
    if (nameStart > rootEnd) {
      const std::wstring root = shown.substr(0, rootEnd) + L"...\\";
      // Whole trailing parts, as many as fit beside the root.
      std::size_t tail = nameStart;
      while (tail > rootEnd + 1) {
        const std::size_t before = shown.find_last_of(L"\\/", tail - 2);
        const std::size_t start = before == std::wstring::npos || before < rootEnd ? rootEnd : before + 1;
        if (start <= rootEnd || start >= tail || root.size() + (shown.size() - start) > maxChars) break;
        tail = start;
      }
      shown = root + shown.substr(tail);
    }
  }
  std::wstring text = L"&" + std::to_wstring(number) + L" ";
  for (wchar_t c : shown) {
    text += c;
    if (c == L'&') text += L'&';
  }
  return text;
}

}  // namespace vorn::config
