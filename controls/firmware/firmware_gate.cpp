#include "firmware/firmware_gate.h"

#include <climits>
#include <cstring>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vorn::firmware {

namespace {

std::string_view Bounded(const char* text, size_t bufferSize) {
  if (!text) return {};
  const void* zero = std::memchr(text, 0, bufferSize);
  size_t n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : bufferSize;
  return std::string_view(text, n);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading blanks, an optional sign, then decimal digits up to the first
// other character; no digits give 0. Saturates instead of overflowing.
long long LeadingNumber(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  long long value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    if (value < LLONG_MAX / 10) value = value * 10 + (s[i] - '0');
  }
  return negative ? -value : value;
}

}  // namespace

bool IsFirmwareNewer(const char* text, size_t bufferSize, int threshold) {
  static constexpr std::string_view kMarker = "Corvanith-";
  std::string_view s = Bounded(text, bufferSize);
  const size_t at = s.find(kMarker);
  if (at == std::string_view::npos) return false;

  // The company word ends at the marker's '-'; the build follows it.
  std::string_view rest = s.substr(at + kMarker.size());
  if (rest.empty()) return false;

  // The build is the first run of characters other than 'K'.
  const size_t start = rest.find_first_not_of('K');
  if (start == std::string_view::npos) return false;
  rest = rest.substr(start);
  const std::string_view token = rest.substr(0, rest.find('K'));

  return LeadingNumber(token) > threshold;
}

std::wstring WidenBounded(const char* text, size_t bufferSize) {
  std::string_view s = Bounded(text, bufferSize);
  if (s.empty()) return {};
#ifdef _WIN32
  int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
#else
  std::wstring out;
  out.reserve(s.size());
  for (char c : s) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
#endif
}

}  // namespace vorn::firmware
