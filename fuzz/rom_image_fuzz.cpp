// ROM checks over the bytes, read in uneven pieces; the firmware build gate
// over the same bytes with an exact-size heap buffer (no terminating zero).
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "firmware/rom_image.h"
#include "firmware/firmware_gate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn::firmware;
  std::unique_ptr<char[]> text(new char[size ? size : 1]);
  if (size) std::memcpy(text.get(), data, size);
  (void)IsFirmwareNewer(text.get(), size, 210810);
  (void)WidenBounded(text.get(), size);

  // The bytes repeated stand for an image of each accepted size, read in
  // uneven pieces; reading must agree with checking the whole image.
  std::vector<uint8_t> whole(131072, 0);
  if (size) {
    size_t filled = std::min(size, whole.size());
    std::memcpy(whole.data(), data, filled);
    while (filled < whole.size()) {  // doubling copy of the pattern
      const size_t n = std::min(filled, whole.size() - filled);
      std::memcpy(whole.data() + filled, whole.data(), n);
      filled += n;
    }
  }
  const size_t chunk = size ? (data[0] % 7 + 1) * 4096 - 1 : 4095;
  for (size_t length : kRomSizes) {
    size_t pos = 0;
    RomReadResult r = ReadRomImageFrom(length, [&](uint8_t* dst, size_t max) {
      const size_t n = std::min({max, chunk, length - pos});
      std::memcpy(dst, whole.data() + pos, n);
      pos += n;
      return n;
    });
    const std::vector<uint8_t> image(whole.begin(), whole.begin() + length);
    if (r.status != CheckRomImage(image)) __builtin_trap();
    if (r.status == RomStatus::Ok && r.image != image) __builtin_trap();
  }
  std::vector<uint8_t> raw(data, data + size);
  (void)CheckRomImage(raw);
  float done;
  if (size >= 4) {
    std::memcpy(&done, data, 4);
    const int p = ProgressPosition(done);
    if (p < 0 || p > 10000) __builtin_trap();
  }
  return 0;
}
