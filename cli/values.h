// Strict readings of what a user types on the command line: whole integers,
// switches and resolutions. Nothing is guessed: "12abc" is not a number.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorn::cli {

// An optional '-' or '+', then decimal digits, nothing else; within int.
std::optional<int> ParseInt(std::string_view text);

// on/off, true/false, 1/0, in any case.
std::optional<bool> ParseSwitch(std::string_view text);

struct Resolution {
  int width = 0;
  int height = 0;
  bool operator==(const Resolution&) const = default;
};

// "1280x720" (also "1280X720" and "1280*720"); both sides positive.
std::optional<Resolution> ParseResolution(std::string_view text);

// The text in single quotes, as messages show what the user typed.
std::string Quote(std::string_view text);

}  // namespace vorn::cli
