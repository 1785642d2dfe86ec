// Opening files named by UTF-8 or wide strings. On Windows the name goes
// through the wide-character API, so paths outside the ANSI code page work.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace vorn::files {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::filesystem::path PathFromWide(const std::wstring& wide);
std::string PathToUtf8(const std::filesystem::path& path);

// fopen with a binary mode string ("rb", "wb"); nullptr on failure.
std::FILE* Open(const std::filesystem::path& path, const char* mode);

// Closes on scope exit; release() hands the handle back to the caller.
class FileHandle {
public:
  explicit FileHandle(std::FILE* f = nullptr) : f_(f) {}
  ~FileHandle() { if (f_) std::fclose(f_); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  std::FILE* get() const { return f_; }
  std::FILE* release() { std::FILE* f = f_; f_ = nullptr; return f; }
  explicit operator bool() const { return f_ != nullptr; }
private:
  std::FILE* f_;
};

// Whole file as bytes; false when it cannot be opened or read.
bool ReadAll(const std::filesystem::path& path, std::string& out);

enum class ReadStatus {
  Ok,
  CantOpen,    // missing, locked by another program, no access, or a read error
  Folder,
  NotRegular,  // a device, pipe or the like
  TooLarge,    // more than the bound
};

// Whole file as bytes when it is a regular file of at most maxBytes bytes.
// Folders and devices are refused before they are opened, and a large file
// is refused without reading it.
ReadStatus ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& out);

}  // namespace vorn::files
