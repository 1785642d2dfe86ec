// Where vorn_ctl's own output goes, kept apart from the camera library's log
// lines: those go to the process's descriptors 1 and 2, which LogRedirect
// points away from the real standard output.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace vorn::cli {

struct Console {
  std::FILE* out = nullptr;  // the document or table a command prints
  std::FILE* err = nullptr;  // messages and progress
  bool errIsTerminal = false;
  // Where burns are recorded (firmware-history.log beside the program, the
  // window's file); empty keeps no record.
  std::filesystem::path historyFile;
  // The user's own folder, where remember keeps the settings of each camera
  // (vorn::config::DefaultUserFolder); empty when there is none.
  std::filesystem::path userFolder;

  void Out(std::string_view text) const;
  void Err(std::string_view text) const;
};

// For the life of the object the library's lines go to standard error
// (verbose) or nowhere, and console() writes to the original streams.
class LogRedirect {
public:
  explicit LogRedirect(bool verbose);
  ~LogRedirect();
  LogRedirect(const LogRedirect&) = delete;
  LogRedirect& operator=(const LogRedirect&) = delete;

  const Console& console() const { return console_; }

private:
  int savedOut_ = -1;
  unsigned consoleCodePage_ = 0;  // restored at the end (Windows)
  int savedErr_ = -1;
  Console console_;
};

}  // namespace vorn::cli
