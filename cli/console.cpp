#include "cli/console.h"

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#define VORN_DUP _dup
#define VORN_DUP2 _dup2
#define VORN_CLOSE _close
#define VORN_FDOPEN _fdopen
#define VORN_ISATTY _isatty
#else
#include <fcntl.h>
#include <unistd.h>
#define VORN_DUP ::dup
#define VORN_DUP2 ::dup2
#define VORN_CLOSE ::close
#define VORN_FDOPEN ::fdopen
#define VORN_ISATTY ::isatty
#endif

namespace vorn::cli {

namespace {

void Write(std::FILE* f, std::string_view text) {
  if (!f || text.empty()) return;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fflush(f);
}

void FlushAll() {
  std::wcout.flush();
  std::wcerr.flush();
  std::cout.flush();
  std::fflush(stdout);
  std::fflush(stderr);
}

int OpenNull() {
#ifdef _WIN32
  return _open("NUL", _O_WRONLY | _O_TEXT);
#else
  return ::open("/dev/null", O_WRONLY);
#endif
}

}  // namespace

void Console::Out(std::string_view text) const { Write(out, text); }
void Console::Err(std::string_view text) const { Write(err, text); }

LogRedirect::LogRedirect(bool verbose) {
  FlushAll();
  savedOut_ = VORN_DUP(1);
  savedErr_ = VORN_DUP(2);
  if (savedOut_ >= 0) console_.out = VORN_FDOPEN(savedOut_, "w");
  if (savedErr_ >= 0) {
    console_.err = VORN_FDOPEN(savedErr_, "w");
    console_.errIsTerminal = VORN_ISATTY(savedErr_) != 0;
  }
#ifdef _WIN32
  // Our text is UTF-8; a console shows it as such only when told, and the
  // console's own setting comes back when we end.
  consoleCodePage_ = GetConsoleOutputCP();
  if (consoleCodePage_ != 0) SetConsoleOutputCP(CP_UTF8);
#endif
  const int null = OpenNull();
  if (verbose && savedErr_ >= 0) {
    VORN_DUP2(savedErr_, 1);
  } else if (null >= 0) {
    VORN_DUP2(null, 1);
    VORN_DUP2(null, 2);
  }
  if (null >= 0) VORN_CLOSE(null);
}

LogRedirect::~LogRedirect() {
  FlushAll();
#ifdef _WIN32
  if (consoleCodePage_ != 0) SetConsoleOutputCP(consoleCodePage_);
#endif
  if (console_.out) std::fclose(console_.out);
  if (console_.err) std::fclose(console_.err);
  // fclose closed the saved descriptors; 1 and 2 stay pointed away, as the
  // process is ending.
}

}  // namespace vorn::cli
