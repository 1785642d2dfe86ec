// PNG and BMP on Windows go through GDI+, as the window's snapshots do.
#include "cli/frame_image.h"
#include "imaging/gdiplus_codec.h"

namespace vorn::cli {

std::variant<std::vector<std::uint8_t>, std::string> EncodeFrame(const std::uint8_t* bytes, std::size_t size,
                                                                 ImageFormat format) {
  if (format == ImageFormat::Jpg) return std::vector<std::uint8_t>(bytes, bytes + size);
  vorn::imaging::GdiplusSession gdiplus;
  if (!gdiplus.started()) return std::string("can't start the image library");
  CLSID encoder = {};
  const wchar_t* mime = format == ImageFormat::Png ? L"image/png" : L"image/bmp";
  if (vorn::imaging::FindEncoder(mime, &encoder) < 0) return std::string("the image library has no encoder for it");
  std::optional<std::vector<std::uint8_t>> out = vorn::imaging::Reencode(bytes, size, encoder);
  if (!out) return std::string("can't decode or encode the picture");
  return std::move(*out);
}

}  // namespace vorn::cli
