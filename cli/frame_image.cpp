#include "cli/frame_image.h"

#include "config/text_case.h"

namespace vorn::cli {

std::optional<ImageFormat> FormatOfName(std::string_view fileName) {
  const size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string ext = vorn::text::ToUpperAscii(fileName.substr(dot + 1));
  // A dot in a folder name is no extension.
  if (ext.find_first_of("/\\") != std::string::npos) return std::nullopt;
  if (ext == "JPG" || ext == "JPEG") return ImageFormat::Jpg;
  if (ext == "PNG") return ImageFormat::Png;
  if (ext == "BMP") return ImageFormat::Bmp;
  return std::nullopt;
}

std::optional<Resolution> WholeJpegSize(const std::uint8_t* bytes, std::size_t size) {
  if (!bytes || size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[size - 2] != 0xFF ||
      bytes[size - 1] != 0xD9)
    return std::nullopt;
  // Walk the marker segments up to the first frame header.
  std::size_t pos = 2;
  while (pos + 4 <= size) {
    if (bytes[pos] != 0xFF) return std::nullopt;
    const std::uint8_t marker = bytes[pos + 1];
    if (marker == 0xFF) {  // fill byte
      ++pos;
      continue;
    }
    if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA) return std::nullopt;  // no frame header first
    const std::size_t length = (static_cast<std::size_t>(bytes[pos + 2]) << 8) | bytes[pos + 3];
    if (length < 2 || pos + 2 + length > size) return std::nullopt;
    const bool frameHeader = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frameHeader) {
      if (length < 8) return std::nullopt;
      const int height = (bytes[pos + 5] << 8) | bytes[pos + 6];
      const int width = (bytes[pos + 7] << 8) | bytes[pos + 8];
      if (width == 0 || height == 0) return std::nullopt;
      return Resolution{width, height};
    }
    pos += 2 + length;
  }
  return std::nullopt;
}

}  // namespace vorn::cli
