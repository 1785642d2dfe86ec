// Checks of a firmware source file before it is burnt: its size and its
// first bytes, plus the progress bar position of a running burn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vorn::firmware {

enum class RomStatus {
  Ok,
  CantOpen,          // also a read that returns fewer bytes than the length
  InvalidLength,
  NoMemory,
  FilledFF,          // first two bytes both 0xFF: erased flash, no image
  NoSignature,
};

// The text shown to the user for a refusal; empty for Ok.
const char* RomStatusText(RomStatus status);
const wchar_t* RomStatusTextW(RomStatus status);

inline constexpr size_t kRomSizes[] = {32768, 65536, 131072};
bool IsRomSize(std::uint64_t length);

// Size, then the 0xFF 0xFF mark, then any one of the signature bytes
// 'S' 'N' '9' 'C' at offsets 0 to 3.
RomStatus CheckRomImage(const std::vector<std::uint8_t>& image);

struct RomReadResult {
  RomStatus status = RomStatus::CantOpen;
  std::vector<std::uint8_t> image;  // filled only when status is Ok
};

// Reads up to `max` bytes into dst and returns how many it read, 0 at the
// end or on an error.
using RomByteSource = std::function<size_t(std::uint8_t* dst, size_t max)>;

// The checks over a source of known length; a source that gives out before
// `length` bytes makes the read fail instead of leaving a padded image.
RomReadResult ReadRomImageFrom(std::uint64_t length, const RomByteSource& read);

// The file at the path, opened through the wide API on Windows.
RomReadResult ReadRomImage(const std::filesystem::path& path);

// Progress bar position 0..10000 for the fraction done: the product is
// taken as a 32-bit float and truncated toward zero.
int ProgressPosition(float done);

}  // namespace vorn::firmware
