// The nine picture properties of the main window as one table: controls,
// fields, library calls and the texts each handler writes. The slider and
// edit handlers, the range read-out and the current-value read-out all work
// from it, so a property's texts live in exactly one place.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "window/main_dialog.h"

namespace vorn::window {

struct PropertyInfo {
    int editId;
    int sliderId;
    int32_t CVornControlsDlg::*value;
    int32_t CVornControlsDlg::*position;
    PropertyRange CVornControlsDlg::*range;
    int(VORN_CDECL* set)(int);
    int(VORN_CDECL* get)(int*);
    // Null for the three fixed ranges the library is never asked for.
    int(VORN_CDECL* rangeCall)(int*, int*);
    const wchar_t* skipText;
    const wchar_t* sliderFailure;  // formatted with the value
    const wchar_t* editFailure;    // formatted with the value
    const wchar_t* success;        // formatted with the value
    const wchar_t* caption;        // title of the range warning
    const wchar_t* rangeLine;      // formatted with min and max
    const wchar_t* currentLine;    // formatted with the value
};

// In control id order: AEC Target, Manual Exposure, Color Gain Blue, Color
// Gain Red, Brightness, Contrast, Saturation, Sharpness, Gamma.
std::span<const PropertyInfo> Properties();
const PropertyInfo* PropertyByEdit(int editId);
const PropertyInfo* PropertyBySlider(int sliderId);

// printf-style formatting of one status line or message.
std::wstring Format(const wchar_t* format, int a);
std::wstring Format(const wchar_t* format, int a, int b);
std::wstring Format(const wchar_t* format, int a, int b, int c);

}  // namespace vorn::window
