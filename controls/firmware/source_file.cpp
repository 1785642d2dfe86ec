#include "firmware/source_file.h"

#include <system_error>

namespace vorn::firmware {

bool IsSourcePathValid(const std::filesystem::path& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::status(path, ec)) && !ec;
}

std::vector<std::string> SourceFile::refusal() const {
  if (!pathValid) return {kInvalidSourcePath};
  if (status == RomStatus::Ok) return {};
  return {RomStatusText(status), kSourceReadFailed};
}

SourceFile CheckSourceFile(const std::filesystem::path& path) {
  SourceFile file;
  file.pathValid = IsSourcePathValid(path);
  if (!file.pathValid) return file;
  RomReadResult read = ReadRomImage(path);
  file.status = read.status;
  file.image = std::move(read.image);
  return file;
}

}  // namespace vorn::firmware
