// A fresh folder under the system temp folder, removed with everything in it
// when the test ends.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

#include "config/file_open.h"

class TempDir {
public:
  TempDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("vorn_cfg_test_" + std::to_string(stamp) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A file name inside the folder as the UTF-8 text the table reader takes.
  std::string utf8(const std::string& name_utf8) const {
    return vorn::files::PathToUtf8(path_ / vorn::files::PathFromUtf8(name_utf8));
  }

private:
  std::filesystem::path path_;
};

// Writes bytes exactly as given; false when the file cannot be written.
inline bool WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
  vorn::files::FileHandle f(vorn::files::Open(p, "wb"));
  if (!f) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::string data;
  vorn::files::ReadAll(p, data);
  return data;
}
