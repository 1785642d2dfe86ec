#include "firmware/firmware_history.h"

#include <cstdio>
#include <system_error>

#include "config/file_open.h"

namespace vorn::firmware {
namespace {

// Tabs and line breaks would split the record; other control bytes would
// garble it in an editor.
std::string Field(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return out;
}

std::string Version(const std::string& text) { return text.empty() ? "-" : Field(text); }

const char* ResultWord(BurnResult result) {
  switch (result) {
  case BurnResult::Ok: return "ok";
  case BurnResult::BurnFailed: return "burn-failed";
  case BurnResult::RestartFailed: return "restart-failed";
  }
  return "?";
}

}  // namespace

std::string FormatHistoryTime(const std::tm& t) {
  char buf[32] = {};
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

std::string FormatHistoryLine(const BurnRecord& r) {
  std::string line = FormatHistoryTime(r.localTime);
  for (const std::string& field : {Field(r.vidPid), Version(r.oldVersion), Field(r.imagePath),
                                   std::to_string(r.imageSize), std::string(r.verify ? "on" : "off"),
                                   std::string(ResultWord(r.result)), Version(r.newVersion)}) {
    line += '\t';
    line += field;
  }
  return line;
}

bool AppendBurnHistory(const std::filesystem::path& file, const BurnRecord& record) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  const bool fresh = ec || size == 0;
  files::FileHandle out(files::Open(file, "ab"));
  if (!out) return false;
  std::string text;
  if (fresh) text += std::string(kHistoryHeader) + "\n";
  text += FormatHistoryLine(record) + "\n";
  const bool written = std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
  return std::fclose(out.release()) == 0 && written;
}

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm t = {};
#ifdef _WIN32
  localtime_s(&t, &now);
#else
  localtime_r(&now, &t);
#endif
  return t;
}

}  // namespace vorn::firmware
