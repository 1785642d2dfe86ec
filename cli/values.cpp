#include "cli/values.h"

#include <charconv>

#include "config/text_case.h"

namespace vorn::cli {

std::optional<int> ParseInt(std::string_view text) {
  // from_chars takes a '-' but no '+' and no blanks; a '+' must be followed
  // by a digit.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> ParseSwitch(std::string_view text) {
  using vorn::text::EqualsIgnoreCase;
  for (const char* on : {"on", "true", "1"})
    if (EqualsIgnoreCase(text, on)) return true;
  for (const char* off : {"off", "false", "0"})
    if (EqualsIgnoreCase(text, off)) return false;
  return std::nullopt;
}

std::optional<Resolution> ParseResolution(std::string_view text) {
  const size_t x = text.find_first_of("xX*");
  if (x == std::string_view::npos) return std::nullopt;
  const std::string_view w = text.substr(0, x), h = text.substr(x + 1);
  // Digits only on both sides: no signs.
  for (std::string_view part : {w, h})
    if (part.empty() || part.front() < '0' || part.front() > '9') return std::nullopt;
  const std::optional<int> width = ParseInt(w), height = ParseInt(h);
  if (!width || !height || *width <= 0 || *height <= 0) return std::nullopt;
  return Resolution{*width, *height};
}

std::string Quote(std::string_view text) {
  // Appended, not "'" + string: GCC 12 warns falsely about the latter at -O3.
  std::string quoted(1, '\'');
  quoted.append(text);
  quoted += '\'';
  return quoted;
}

}  // namespace vorn::cli
