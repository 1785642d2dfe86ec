#include "imaging/gdiplus_codec.h"

#include <objidl.h>  // before gdiplus.h, which needs PROPID
#include <gdiplus.h>
#include <shlwapi.h>

namespace vorn::imaging {

int FindEncoder(const wchar_t* mimeType, CLSID* clsid) {
  UINT count = 0;
  UINT size = 0;
  if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return -1;
  std::vector<uint8_t> list;
  try {
    list.resize(size);
  } catch (...) {
    return -1;
  }
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(list.data());
  if (Gdiplus::DllExports::GdipGetImageEncoders(count, size, encoders) != Gdiplus::Ok) return -1;
  for (UINT i = 0; i < count; ++i) {
    if (encoders[i].MimeType && wcscmp(encoders[i].MimeType, mimeType) == 0) {
      *clsid = encoders[i].Clsid;
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::optional<std::vector<std::uint8_t>> Reencode(const std::uint8_t* bytes, std::size_t size, const CLSID& encoder) {
  if (size > 0x7FFFFFFF) return std::nullopt;
  IStream* in = SHCreateMemStream(bytes, static_cast<UINT>(size));
  if (!in) return std::nullopt;
  Gdiplus::GpImage* image = nullptr;
  const bool loaded = Gdiplus::DllExports::GdipLoadImageFromStream(in, &image) == Gdiplus::Ok && image;
  std::optional<std::vector<std::uint8_t>> result;
  IStream* out = nullptr;
  if (loaded && CreateStreamOnHGlobal(nullptr, TRUE, &out) == S_OK) {
    if (Gdiplus::DllExports::GdipSaveImageToStream(image, out, &encoder, nullptr) == Gdiplus::Ok) {
      STATSTG stat = {};
      const LARGE_INTEGER start = {};
      if (out->Stat(&stat, STATFLAG_NONAME) == S_OK && stat.cbSize.QuadPart > 0 &&
          stat.cbSize.QuadPart < 0x7FFFFFFF && out->Seek(start, STREAM_SEEK_SET, nullptr) == S_OK) {
        std::vector<std::uint8_t> encoded(static_cast<std::size_t>(stat.cbSize.QuadPart));
        ULONG read = 0;
        if (out->Read(encoded.data(), static_cast<ULONG>(encoded.size()), &read) == S_OK && read == encoded.size())
          result = std::move(encoded);
      }
    }
    out->Release();
  }
  if (image) Gdiplus::DllExports::GdipDisposeImage(image);
  in->Release();
  return result;
}

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

}  // namespace vorn::imaging
