// Reads snapshot files back with stb's reader (JPEG, PNG, BMP). Include it
// in one file of a test program only: it holds the reader's implementation.
#pragma once

#include <algorithm>
#include <string>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace vorn::cli::test {

struct Decoded {
  bool ok = false;
  int width = 0, height = 0;
  double spread = 0;  // max - min of the first channel: a picture, not a flat fill
};

inline Decoded Decode(const std::string& bytes) {
  Decoded d;
  int n = 0;
  unsigned char* px = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                            static_cast<int>(bytes.size()), &d.width, &d.height, &n, 3);
  if (!px) return d;
  d.ok = true;
  int lo = 255, hi = 0;
  for (size_t i = 0; i < static_cast<size_t>(d.width) * d.height * 3; i += 3) {
    lo = std::min<int>(lo, px[i]);
    hi = std::max<int>(hi, px[i]);
  }
  d.spread = hi - lo;
  stbi_image_free(px);
  return d;
}

}  // namespace vorn::cli::test
