// The firmware source file checks of an update, before anything is burnt:
// a path that names an existing file, then the ROM image checks, each
// refusal with the words the user sees.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "firmware/rom_image.h"

namespace vorn::firmware {

inline constexpr char kInvalidSourcePath[] = "Invalid FW Source fiel path!";
inline constexpr char kSourceReadFailed[] = "Failed to read Firmware source file!";

// Not empty, and names a regular file: a folder or a device is no source.
bool IsSourcePathValid(const std::filesystem::path& path);

struct SourceFile {
  bool pathValid = false;
  RomStatus status = RomStatus::CantOpen;  // meaningful when pathValid
  std::vector<std::uint8_t> image;         // filled when accepted

  bool accepted() const { return pathValid && status == RomStatus::Ok; }
  // The refusal as shown, one message per line: the path message alone, or
  // the image's own refusal followed by kSourceReadFailed. Empty when accepted.
  std::vector<std::string> refusal() const;
};

SourceFile CheckSourceFile(const std::filesystem::path& path);

}  // namespace vorn::firmware
