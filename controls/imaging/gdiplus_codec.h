// The image library's encoders, shared by the window's snapshots and
// vorn_ctl: looking one up by MIME type, and re-encoding a picture held in
// memory. Windows only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vorn::imaging {

// Index of the encoder with exactly this MIME type, its class id out; -1
// when there is none. GDI+ must be running.
int FindEncoder(const wchar_t* mimeType, CLSID* clsid);

// Decodes the bytes (any format the image library reads) and encodes them
// with the encoder, in memory. Nothing when either step fails.
std::optional<std::vector<std::uint8_t>> Reencode(const std::uint8_t* bytes, std::size_t size, const CLSID& encoder);

// GDI+ started for the life of the object.
class GdiplusSession {
public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool started() const { return token_ != 0; }

private:
  ULONG_PTR token_ = 0;
};

}  // namespace vorn::imaging
