#include "config/file_open.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vorn::files {

#ifdef _WIN32

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return std::filesystem::path(wide);
}

std::filesystem::path PathFromWide(const std::wstring& wide) { return std::filesystem::path(wide); }

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
  return out;
}

std::FILE* Open(const std::filesystem::path& path, const char* mode) {
  std::wstring wmode;
  for (const char* m = mode; *m; ++m) wmode.push_back(static_cast<wchar_t>(*m));
  return _wfopen(path.c_str(), wmode.c_str());
}

#else

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::string(utf8));
}

// wchar_t holds whole code points here; encode them as UTF-8 by hand so the
// result does not depend on the process locale.
std::filesystem::path PathFromWide(const std::wstring& wide) {
  std::string out;
  for (wchar_t wc : wide) {
    auto c = static_cast<char32_t>(wc);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return std::filesystem::path(out);
}

std::string PathToUtf8(const std::filesystem::path& path) { return path.native(); }

std::FILE* Open(const std::filesystem::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

#endif

bool ReadAll(const std::filesystem::path& path, std::string& out) {
  out.clear();
  FileHandle f(Open(path, "rb"));
  if (!f) return false;
  char buf[4096];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f.get())) > 0) out.append(buf, got);
  return !std::ferror(f.get());
}

ReadStatus ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& out) {
  out.clear();
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(path, ec);
  if (std::filesystem::is_directory(st)) return ReadStatus::Folder;
  if (ec || !std::filesystem::exists(st)) return ReadStatus::CantOpen;
  if (!std::filesystem::is_regular_file(st)) return ReadStatus::NotRegular;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (!ec && size > maxBytes) return ReadStatus::TooLarge;

  FileHandle f(Open(path, "rb"));
  if (!f) return ReadStatus::CantOpen;
  // Bounded even when the file grows after the size was taken.
  char buf[4096];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
    if (got > maxBytes - out.size()) {
      out.clear();
      return ReadStatus::TooLarge;
    }
    out.append(buf, got);
  }
  if (std::ferror(f.get())) {
    out.clear();
    return ReadStatus::CantOpen;
  }
  return ReadStatus::Ok;
}

}  // namespace vorn::files
