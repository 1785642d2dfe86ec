#include "config/replace_file.h"

#include <atomic>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vorn::files {

namespace {

// Unique per process and call, so two programs (the window and vorn_ctl)
// writing the same file never share a temporary one.
std::filesystem::path TempBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
#ifdef _WIN32
  const unsigned long pid = GetCurrentProcessId();
#else
  const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  std::filesystem::path temp = target;
  temp += "." + std::to_string(pid) + "-" + std::to_string(counter++) + ".tmp";
  return temp;
}

// The written bytes on the disk before the rename makes them the file.
bool FlushToDisk(const std::filesystem::path& path) {
#ifdef _WIN32
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(h) != FALSE;
  return CloseHandle(h) != FALSE && flushed;
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool flushed = ::fsync(fd) == 0;
  return ::close(fd) == 0 && flushed;
#endif
}

}  // namespace

std::error_code RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
  return std::error_code(static_cast<int>(GetLastError()), std::system_category());
#else
  std::error_code ec;
  std::filesystem::rename(from, to, ec);
  return ec;
#endif
}

bool ReplaceWhole(const std::filesystem::path& target, const ContentWriter& write, const RenameOver& rename) {
  const std::filesystem::path temp = TempBeside(target);
  const auto removeTemp = [&] {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
  };
  bool ok = false;
  try {
    ok = write(temp) && FlushToDisk(temp) && !rename(temp, target);
  } catch (...) {
    removeTemp();
    throw;
  }
  if (!ok) removeTemp();
  return ok;
}

}  // namespace vorn::files
