// Case folding that touches a-z only, whatever the locale: names and words in
// the configuration files are ASCII, other bytes are compared as they are.
#pragma once

#include <string>
#include <string_view>

namespace vorn::text {

inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string ToUpperAscii(std::string_view s);

// Equal length and equal bytes once a-z are mapped to A-Z.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace vorn::text
