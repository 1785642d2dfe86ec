// Reads the simulated camera's JPEG frames with a decoder of its own:
// libjpeg-turbo natively, stb's reader under Wine.
#pragma once

#include <cstdint>
#include <vector>

#ifdef _WIN32
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image.h>
#pragma GCC diagnostic pop
#else
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#endif

namespace videotest {

struct Picture {
    bool ok = false;
    int width = 0;
    int height = 0;
    int warnings = 0;  // the decoder's complaints about damaged data
    std::vector<uint8_t> rgb;
};

#ifdef _WIN32
inline Picture Decode(const std::vector<uint8_t>& jpeg) {
    Picture p;
    int w = 0, h = 0, n = 0;
    uint8_t* px = stbi_load_from_memory(jpeg.data(), static_cast<int>(jpeg.size()), &w, &h, &n, 3);
    if (px == nullptr) return p;
    p.ok = true;
    p.width = w;
    p.height = h;
    p.rgb.assign(px, px + static_cast<size_t>(w) * h * 3);
    stbi_image_free(px);
    return p;
}
#else
struct ErrorTrap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

inline void OnError(j_common_ptr info) { longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1); }
// Quiet, but counting the warnings (level -1) as the default handler does.
inline void OnMessage(j_common_ptr info, int level) {
    if (level < 0) ++info->err->num_warnings;
}

inline Picture Decode(const std::vector<uint8_t>& jpeg) {
    Picture p;
    jpeg_decompress_struct info{};
    ErrorTrap trap{};
    info.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = OnError;
    trap.mgr.emit_message = OnMessage;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&info);
        return Picture{};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    p.width = static_cast<int>(info.output_width);
    p.height = static_cast<int>(info.output_height);
    p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &p.rgb[static_cast<size_t>(info.output_scanline) * p.width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    p.warnings = static_cast<int>(trap.mgr.num_warnings);
    jpeg_destroy_decompress(&info);
    p.ok = true;
    return p;
}
#endif

inline double MeanLuma(const Picture& p) {
    if (p.rgb.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i + 2 < p.rgb.size(); i += 3) sum += 0.299 * p.rgb[i] + 0.587 * p.rgb[i + 1] + 0.114 * p.rgb[i + 2];
    return sum / (p.rgb.size() / 3);
}

}  // namespace videotest
