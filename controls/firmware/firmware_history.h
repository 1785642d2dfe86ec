// The firmware history: one line per burn in firmware-history.log beside the
// program, tab-separated under a header comment, so that a burn can be traced
// later to the image, the camera and what it reported before and after.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace vorn::firmware {

inline constexpr char kHistoryFileName[] = "firmware-history.log";
// Written once, at the top of a new or empty file.
inline constexpr char kHistoryHeader[] =
    "# time\tvid_pid\told_version\timage\timage_size\tverify\tresult\tnew_version";

enum class BurnResult {
  Ok,             // burned, restarted and re-initialised
  BurnFailed,     // the burn itself failed
  RestartFailed,  // burned, but the restart sequence failed
};

struct BurnRecord {
  std::tm localTime = {};
  std::string vidPid;      // eight hex digits
  std::string oldVersion;  // empty when it could not be read
  std::string imagePath;   // UTF-8
  int64_t imageSize = 0;
  bool verify = false;
  BurnResult result = BurnResult::Ok;
  std::string newVersion;  // empty when it could not be read or was not asked for
};

// "YYYY-MM-DD HH:MM:SS".
std::string FormatHistoryTime(const std::tm& t);

// The fields of one record, tab-separated, without the line end. A field
// never carries a tab or a line break (they become blanks); an unknown
// version is "-".
std::string FormatHistoryLine(const BurnRecord& record);

// Appends the record's line (after the header when the file is new or
// empty). False when the file can't be opened or written.
bool AppendBurnHistory(const std::filesystem::path& file, const BurnRecord& record);

// The current local time.
std::tm LocalNow();

}  // namespace vorn::firmware
