// Items of the main window's combo boxes, added at start-up in this order
// (the templates carry none).
#pragma once

namespace vorn::resources {

// Combo box 1048 (drop-down list), in the order shown.
inline constexpr const wchar_t* kResolutionItems[] = {
    L"1280*800", L"1280*720", L"800*600", L"640*480", L"320*240",
};

// Combo box 1052 (sorted drop-down combo): the device numbers.
inline constexpr const wchar_t* kDeviceItems[] = {L"1", L"2", L"3", L"4", L"5"};

}  // namespace vorn::resources
