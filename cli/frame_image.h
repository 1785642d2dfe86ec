// A camera frame as a snapshot file: whether the frame is one whole JPEG
// picture and of which size, and its re-encoding as PNG or BMP.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/values.h"

namespace vorn::cli {

enum class ImageFormat { Jpg, Png, Bmp };

// By the file name's extension, in any case: .jpg or .jpeg, .png, .bmp.
std::optional<ImageFormat> FormatOfName(std::string_view fileName);

// The picture size when the bytes are a whole JPEG image: the start mark,
// a frame header, and the end mark as the last two bytes. Nothing for a
// truncated or empty frame.
std::optional<Resolution> WholeJpegSize(const std::uint8_t* bytes, std::size_t size);

// The frame as the format's file bytes: JPG as delivered, PNG and BMP
// decoded and encoded. A string says why it couldn't be done.
std::variant<std::vector<std::uint8_t>, std::string> EncodeFrame(const std::uint8_t* bytes, std::size_t size,
                                                                 ImageFormat format);

}  // namespace vorn::cli
