#include "config/new_file.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vorn::files {

NewFileResult WriteNewFile(const std::filesystem::path& path, const std::uint8_t* bytes, std::size_t size) {
#ifdef _WIN32
  const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
  if (fd < 0) return errno == EEXIST ? NewFileResult::Exists : NewFileResult::Failed;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < size) {
    const std::size_t chunk = size - done < (1u << 30) ? size - done : (1u << 30);
#ifdef _WIN32
    const int n = _write(fd, bytes + done, static_cast<unsigned>(chunk));
#else
    const ssize_t n = ::write(fd, bytes + done, chunk);
    if (n < 0 && errno == EINTR) continue;
#endif
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
#ifdef _WIN32
  ok = _close(fd) == 0 && ok;
#else
  ok = ::close(fd) == 0 && ok;
#endif
  if (!ok) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return NewFileResult::Failed;
  }
  return NewFileResult::Written;
}

}  // namespace vorn::files
