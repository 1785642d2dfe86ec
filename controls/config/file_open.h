// Opening files named by UTF-8 or wide strings. On Windows the name goes
// through the wide-character API, so paths outside the ANSI code page work.
#pragma once

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

}  // namespace vorn::files
