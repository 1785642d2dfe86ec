// Baseline JPEG through stb's writer, compiled into this file only.
#include <climits>
#include <cstdint>
#include <vector>

#include "video_stream.h"

// 32-bit x86 otherwise does the encoder's float work on the x87 unit, at
// about half the speed; every x86 Windows the tool runs on has SSE2.
#if defined(__i386__) && defined(__GNUC__)
#pragma GCC target("sse2", "fpmath=sse")
#endif

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace sonix_sim {
namespace {

void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    // The entropy coder hands over most bytes one at a time.
    if (size == 1)
        out->push_back(*bytes);
    else if (size > 0)
        out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool EncodeJpeg(const uint8_t* rgb, int width, int height, int quality, std::vector<uint8_t>& out) {
    out.clear();
    // stb indexes the picture with int; keep well inside that.
    if (rgb == nullptr || width <= 0 || height <= 0 || width > 65500 || height > 65500 ||
        static_cast<long long>(width) * height * 3 > INT_MAX)
        return false;
    quality = quality < 1 ? 1 : quality > 100 ? 100 : quality;
    out.reserve(static_cast<size_t>(width) * height / 4);
    if (stbi_write_jpg_to_func(Append, &out, width, height, 3, rgb, quality) == 0) {
        out.clear();
        return false;
    }
    return !out.empty();
}

}  // namespace sonix_sim
