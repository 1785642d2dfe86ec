// The per-user store of settings that follow the camera: one configuration
// file per camera identity in the user's own folder, written whole and
// renamed into place, read and applied with the rules of Load Config. The
// window and vorn_ctl share all of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_apply.h"
#include "config/config_rows.h"
#include "config/csv_reader.h"

namespace vorn::config {

// The folder of the user's own files: %APPDATA%\Vorn Controls on Windows (the
// known roaming folder when the variable is unset). Elsewhere $APPDATA/Vorn
// Controls when set, else $XDG_CONFIG_HOME/Vorn Controls, else
// $HOME/.config/Vorn Controls. Empty when none of these is known.
std::filesystem::path DefaultUserFolder();

// The identifier text of a camera: the first four bytes of its vendor and
// product ids as eight lower-case hexadecimal digits.
std::string CameraIdentityText(const std::uint8_t* bytes, std::size_t size);
bool IsCameraIdentity(std::string_view text);

// Where the files live inside the user's folder.
class UserStore {
public:
  UserStore() = default;
  explicit UserStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& folder() const { return folder_; }
  bool known() const { return !folder_.empty(); }
  std::filesystem::path PreferencesFile() const;
  // cameras/<id>.csv; empty for anything but an identifier text, so no
  // other name can reach the file system.
  std::filesystem::path CameraFile(std::string_view id) const;

private:
  std::filesystem::path folder_;
};

enum class RememberedStatus {
  Missing,     // nothing remembered for the camera
  Unreadable,  // there, but refused: it must stay as it is
  Ok,
};

struct RememberedSettings {
  RememberedStatus status = RememberedStatus::Missing;
  std::vector<ConfigRow> rows;
  std::string reason;  // why it was refused
};

// A file Load Config would refuse is unreadable, and so is one with a name
// Load Config would stop at; rows may be missing. Nothing is applied here.
RememberedSettings ReadRemembered(const std::filesystem::path& file);

// The table Save Config builds, written whole over the old file; the folders
// are created when missing. False when it could not be written.
bool WriteRemembered(const std::filesystem::path& file, const CSV_reader& table);

enum class ForgetResult { Forgotten, NothingRemembered, Failed };
ForgetResult ForgetRemembered(const std::filesystem::path& file);

// Every row is tried, as a refused one should not keep the others from the
// camera; the count of refused rows comes back.
RowsSummary ApplyRemembered(ConfigTarget& target, const std::vector<ConfigRow>& rows,
                            const RowObserver& observer = {});

// What a start found in the camera's file and what came of applying it.
struct StartApply {
  RememberedStatus status = RememberedStatus::Missing;
  std::size_t failedRows = 0;
};

enum class EndWrite { Written, Held, Failed };

// The rule that keeps a user's remembered settings safe, for the cameras of
// one session of the window. After a read that failed, or an apply that
// partly did, the camera's file is not written (it would put the camera's
// power-up values over what the user had) until the user changes a setting
// or a later apply succeeds whole. A forgotten camera's file does not come
// back by itself either.
class RememberGuard {
public:
  using RowsApplier = std::function<RowsSummary(const std::vector<ConfigRow>& rows)>;

  // Reads the camera's file; rows that can be used go to `apply`.
  StartApply ApplyAtStart(const std::filesystem::path& file, const std::string& id, const RowsApplier& apply);
  // The table written over the camera's file, unless that is held.
  EndWrite WriteAtEnd(const std::filesystem::path& file, const std::string& id, const CSV_reader& table) const;
  ForgetResult Forget(const std::filesystem::path& file, const std::string& id);
  void UserChanged(const std::string& id) { held_.erase(id); }
  bool MayWrite(const std::string& id) const { return !id.empty() && held_.count(id) == 0; }

private:
  std::set<std::string> held_;
};

}  // namespace vorn::config
