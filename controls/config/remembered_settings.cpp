#include "config/remembered_settings.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "config/file_open.h"
#include "config/replace_file.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#endif

namespace vorn::config {

namespace {

constexpr char kFolderName[] = "Vorn Controls";

#ifndef _WIN32
std::filesystem::path FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return {};
  return std::filesystem::path(value);
}
#endif

}  // namespace

std::filesystem::path DefaultUserFolder() {
#ifdef _WIN32
  // The variable first, so a test or a portable set-up can move the folder.
  std::wstring value(32768, L'\0');
  const DWORD n = GetEnvironmentVariableW(L"APPDATA", value.data(), static_cast<DWORD>(value.size()));
  if (n > 0 && n < value.size()) {
    value.resize(n);
    return std::filesystem::path(value) / kFolderName;
  }
  wchar_t known[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, known)) && known[0])
    return std::filesystem::path(known) / kFolderName;
  return {};
#else
  if (auto appData = FromEnvironment("APPDATA"); !appData.empty()) return appData / kFolderName;
  if (auto config = FromEnvironment("XDG_CONFIG_HOME"); !config.empty()) return config / kFolderName;
  if (auto home = FromEnvironment("HOME"); !home.empty()) return home / ".config" / kFolderName;
  return {};
#endif
}

std::string CameraIdentityText(const std::uint8_t* bytes, std::size_t size) {
  if (!bytes || size < 4) return {};
  char hex[9] = {};
  std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", bytes[0], bytes[1], bytes[2], bytes[3]);
  return hex;
}

bool IsCameraIdentity(std::string_view text) {
  if (text.size() != 8) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

std::filesystem::path UserStore::PreferencesFile() const {
  return known() ? folder_ / "preferences.ini" : std::filesystem::path();
}

std::filesystem::path UserStore::CameraFile(std::string_view id) const {
  if (!known() || !IsCameraIdentity(id)) return {};
  return folder_ / "cameras" / (std::string(id) + ".csv");
}

RememberedSettings ReadRemembered(const std::filesystem::path& file) {
  RememberedSettings out;
  if (file.empty()) {
    out.status = RememberedStatus::Unreadable;
    out.reason = "no folder for the remembered settings";
    return out;
  }
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::symlink_status(file, ec);
  if (st.type() == std::filesystem::file_type::not_found) return out;
  if (ec) {
    out.status = RememberedStatus::Unreadable;
    out.reason = ec.message();
    return out;
  }

  std::optional<std::vector<ConfigRow>> rows = ReadConfigRows(files::PathToUtf8(file), out.reason);
  if (!rows) {
    out.status = RememberedStatus::Unreadable;
    return out;
  }
  // Load Config would stop at such a row with the rows before it applied;
  // a remembered file is taken whole or not at all.
  for (const ConfigRow& row : *rows) {
    if (!row.number) {
      out.status = RememberedStatus::Unreadable;
      out.reason = "Cannot find property " + row.name;
      return out;
    }
  }
  out.status = RememberedStatus::Ok;
  out.rows = std::move(*rows);
  return out;
}

bool WriteRemembered(const std::filesystem::path& file, const CSV_reader& table) {
  if (file.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) return false;
  try {
    return files::ReplaceWhole(file, [&](const std::filesystem::path& temp) {
      return table.write_file(files::PathToUtf8(temp));
    });
  } catch (const CsvError&) {
    return false;  // a table that was never filled
  }
}

ForgetResult ForgetRemembered(const std::filesystem::path& file) {
  if (file.empty()) return ForgetResult::Failed;
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::symlink_status(file, ec);
  if (st.type() == std::filesystem::file_type::not_found) return ForgetResult::NothingRemembered;
  if (ec) return ForgetResult::Failed;
  // A folder of that name is not something this store made.
  if (std::filesystem::is_directory(st)) return ForgetResult::Failed;
  return std::filesystem::remove(file, ec) && !ec ? ForgetResult::Forgotten : ForgetResult::Failed;
}

RowsSummary ApplyRemembered(ConfigTarget& target, const std::vector<ConfigRow>& rows, const RowObserver& observer) {
  return ApplyConfigRows(target, rows, false, observer);
}

StartApply RememberGuard::ApplyAtStart(const std::filesystem::path& file, const std::string& id,
                                       const RowsApplier& apply) {
  StartApply out;
  RememberedSettings remembered = ReadRemembered(file);
  out.status = remembered.status;
  switch (remembered.status) {
    case RememberedStatus::Missing: break;
    case RememberedStatus::Unreadable: held_.insert(id); break;
    case RememberedStatus::Ok:
      out.failedRows = apply(remembered.rows).failed;
      if (out.failedRows == 0) held_.erase(id);
      else held_.insert(id);
      break;
  }
  return out;
}

EndWrite RememberGuard::WriteAtEnd(const std::filesystem::path& file, const std::string& id,
                                   const CSV_reader& table) const {
  if (!id.empty() && !MayWrite(id)) return EndWrite::Held;
  return !id.empty() && WriteRemembered(file, table) ? EndWrite::Written : EndWrite::Failed;
}

ForgetResult RememberGuard::Forget(const std::filesystem::path& file, const std::string& id) {
  const ForgetResult result = ForgetRemembered(file);
  if (result == ForgetResult::Forgotten) held_.insert(id);
  return result;
}

}  // namespace vorn::config
