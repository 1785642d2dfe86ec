// PNG and BMP natively: stb's reader decodes the frame, its writer encodes
// the file, both compiled into this file only.
#include <cstdlib>

#include "cli/frame_image.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image.h>
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace vorn::cli {

namespace {

void Append(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(context);
  const auto* b = static_cast<const std::uint8_t*>(data);
  if (size > 0) out->insert(out->end(), b, b + size);
}

}  // namespace

std::variant<std::vector<std::uint8_t>, std::string> EncodeFrame(const std::uint8_t* bytes, std::size_t size,
                                                                 ImageFormat format) {
  if (format == ImageFormat::Jpg) return std::vector<std::uint8_t>(bytes, bytes + size);
  if (size > static_cast<std::size_t>(INT32_MAX)) return std::string("the picture is too large");
  int w = 0, h = 0, channels = 0;
  std::uint8_t* rgb = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, 3);
  if (!rgb) return std::string("can't decode the picture");
  std::vector<std::uint8_t> out;
  const int ok = format == ImageFormat::Png ? stbi_write_png_to_func(Append, &out, w, h, 3, rgb, w * 3)
                                            : stbi_write_bmp_to_func(Append, &out, w, h, 3, rgb);
  stbi_image_free(rgb);
  if (!ok || out.empty()) return std::string("can't encode the picture");
  return out;
}

}  // namespace vorn::cli
