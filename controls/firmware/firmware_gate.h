// The firmware build gate: features are offered only to builds newer than a
// threshold, the build number being the one after "Corvanith-" in the
// camera's firmware version text.
#pragma once

#include <cstddef>
#include <string>

namespace vorn::firmware {

// Reads at most bufferSize bytes of text, stopping early at a zero byte, so
// a buffer without a terminating zero is safe.
bool IsFirmwareNewer(const char* text, size_t bufferSize, int threshold);

// The same bounded text as window text: each byte widened through the system
// code page on Windows, byte for byte elsewhere.
std::wstring WidenBounded(const char* text, size_t bufferSize);

}  // namespace vorn::firmware
