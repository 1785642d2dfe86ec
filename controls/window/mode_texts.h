// Status lines of the mode switches. The check-box handlers, the current-value
// read-out and the restore of the camera defaults report the same switches
// with the same words.
#pragma once

namespace vorn::window {

inline constexpr wchar_t kAecSwitchFailed[] = L"Set AEC Mode failed!\r\n";
inline constexpr wchar_t kAwbSwitchFailed[] = L"Set AWB Mode failed!\r\n";
inline constexpr wchar_t kRotationFailed[] = L"Rotation failed!\r\n";
inline constexpr wchar_t kAecSetOn[] = L"AEC Mode is set to ON\r\n";
inline constexpr wchar_t kAecSetOff[] = L"AEC Mode is set to OFF\r\n";
inline constexpr wchar_t kAwbOn[] = L"AWB Mode is ON\r\n";
inline constexpr wchar_t kAwbOff[] = L"AWB Mode is OFF\r\n";

}  // namespace vorn::window
