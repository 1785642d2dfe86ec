#include "firmware/rom_image.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "config/file_open.h"

namespace vorn::firmware {

const char* RomStatusText(RomStatus status) {
  switch (status) {
    case RomStatus::Ok: return "";
    case RomStatus::CantOpen: return "Can't Open File!";
    case RomStatus::InvalidLength: return "Invalid file length!";
    case RomStatus::NoMemory: return "Cannot allocate memory!";
    case RomStatus::FilledFF: return "It is NOT a Sonix Rom File!";
    case RomStatus::NoSignature: return "It is Not a Sonix Rom File!";
  }
  return "";
}

const wchar_t* RomStatusTextW(RomStatus status) {
  switch (status) {
    case RomStatus::Ok: return L"";
    case RomStatus::CantOpen: return L"Can't Open File!";
    case RomStatus::InvalidLength: return L"Invalid file length!";
    case RomStatus::NoMemory: return L"Cannot allocate memory!";
    case RomStatus::FilledFF: return L"It is NOT a Sonix Rom File!";
    case RomStatus::NoSignature: return L"It is Not a Sonix Rom File!";
  }
  return L"";
}

bool IsRomSize(std::uint64_t length) {
  for (size_t size : kRomSizes)
    if (length == size) return true;
  return false;
}

RomStatus CheckRomImage(const std::vector<std::uint8_t>& image) {
  if (!IsRomSize(image.size())) return RomStatus::InvalidLength;
  if (image[0] == 0xFF && image[1] == 0xFF) return RomStatus::FilledFF;
  if (image[0] == 'S' || image[1] == 'N' || image[2] == '9' || image[3] == 'C') return RomStatus::Ok;
  return RomStatus::NoSignature;
}

RomReadResult ReadRomImageFrom(std::uint64_t length, const RomByteSource& read) {
  RomReadResult result;
  if (!IsRomSize(length)) {
    result.status = RomStatus::InvalidLength;
    return result;
  }
  std::vector<std::uint8_t> image;
  try {
    image.resize(static_cast<size_t>(length));
  } catch (const std::bad_alloc&) {
    result.status = RomStatus::NoMemory;
    return result;
  }
  size_t have = 0;
  while (have < image.size()) {
    const size_t got = read(image.data() + have, image.size() - have);
    if (got == 0 || got > image.size() - have) break;
    have += got;
  }
  if (have != image.size()) {
    result.status = RomStatus::CantOpen;
    return result;
  }
  result.status = CheckRomImage(image);
  if (result.status == RomStatus::Ok) result.image = std::move(image);
  return result;
}

namespace {

// 64-bit length of an open file, or false.
bool FileLength(std::FILE* f, std::uint64_t& length) {
#ifdef _WIN32
  if (_fseeki64(f, 0, SEEK_END) != 0) return false;
  const long long end = _ftelli64(f);
  if (end < 0 || _fseeki64(f, 0, SEEK_SET) != 0) return false;
#else
  if (fseeko(f, 0, SEEK_END) != 0) return false;
  const off_t end = ftello(f);
  if (end < 0 || fseeko(f, 0, SEEK_SET) != 0) return false;
#endif
  length = static_cast<std::uint64_t>(end);
  return true;
}

}  // namespace

RomReadResult ReadRomImage(const std::filesystem::path& path) {
  files::FileHandle f(files::Open(path, "rb"));
  std::uint64_t length = 0;
  if (!f || !FileLength(f.get(), length)) return RomReadResult{RomStatus::CantOpen, {}};
  return ReadRomImageFrom(length, [&](std::uint8_t* dst, size_t max) {
    return std::fread(dst, 1, max, f.get());
  });
}

int ProgressPosition(float done) {
  // Stored through a volatile float so x87 code rounds the product to 32
  // bits, as it is on every other target, before truncating.
  volatile float scaled = done * 10000.0f;
  const float p = scaled;
  if (!(p > 0.0f)) return 0;  // also NaN
  if (p >= 10000.0f) return 10000;
  return static_cast<int>(p);
}

}  // namespace vorn::firmware
