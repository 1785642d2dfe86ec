// The nine property pairs of the main window (edit box and slider): their
// ranges, the range warning, the half-typed-number test, the edit and slider
// handlers, and the status box's scrolling.
#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <cstdio>

#include "resources/resource.h"
#include "ui/data_exchange.h"
#include "ui/message_map.h"
#include "ui/prompts.h"
#include "window/main_dialog.h"
#include "window/property_table.h"

namespace vorn::window {
namespace {

using D = CVornControlsDlg;

// The texts are the tool's own, misspellings included: stored logs and the
// people who read them know them this way.
const PropertyInfo kProperties[] = {
    {IDC_AEC_TARGET_EDIT, IDC_AEC_TARGET_SLIDER, &D::m_aecTarget, &D::m_aecTargetPos, &D::m_aecTargetRange,
     vorn_uvc_setAEC_Target, vorn_uvc_getAEC_Target, vorn_uvc_getAEC_TargetRange,
     L"Skip setting AEC Target\r\n", L"Failed to set AEC Target to %d\r\n", L"Failed to set AEC Target to %d\r\n",
     L"Set AEC Target to %d successfully\r\n", L"Invalid AEC Target Value", L"AEC Target range: %d - %d\r\n",
     L"Current AEC Target value is %d\r\n"},
    {IDC_MANUAL_EXPOSURE_EDIT, IDC_MANUAL_EXPOSURE_SLIDER, &D::m_manualExposure, &D::m_manualExposurePos,
     &D::m_exposureRange, vorn_uvc_setManualExposureValue, vorn_uvc_getManualExposureValue, nullptr,
     L"Skip setting Manual Exposure\r\n", L"Failed to set Manual Exposure to %d\r\n",
     L"Failed to set Manual Exposure to %d\r\n", L"Set Manual Exposure to %d successfully\r\n",
     L"Invalid Manual Exposure Value", L"Manual Exposure range: %d - %d\r\n",
     L"Current Manual Exposure value = %d\r\n"},
    {IDC_GAIN_BLUE_EDIT, IDC_GAIN_BLUE_SLIDER, &D::m_gainBlue, &D::m_gainBluePos, &D::m_gainBlueRange,
     vorn_uvc_set_AWB_Gain_Blue, vorn_uvc_get_AWB_Gain_Blue, nullptr, L"Skip setting Color Gain Blue\r\n",
     L"Failed to set Color Gain Blue to %d\r\n", L"Failed to set Color Gain Blue to %d\r\n",
     L"Set Color Gain Blue to %d successfully\r\n", L"Invalid Color Gain Blue Value",
     L"Color Gain Blue range: %d - %d\r\n", L"Current Color Gain Blue value is %d\r\n"},
    {IDC_GAIN_RED_EDIT, IDC_GAIN_RED_SLIDER, &D::m_gainRed, &D::m_gainRedPos, &D::m_gainRedRange,
     vorn_uvc_set_AWB_Gain_Red, vorn_uvc_get_AWB_Gain_Red, nullptr, L"Skip setting Color Gain Red\r\n",
     L"Failed to set Color Gain Red to %d\r\n", L"Failed to set Color Gain Red to %d\r\n",
     L"Set Color Gain Red to %d successfully\r\n", L"Invalid Color Gain Red Value",
     L"Color Gain Red range: %d - %d\r\n", L"Current Color Gain Red value is %d\r\n"},
    {IDC_BRIGHTNESS_EDIT, IDC_BRIGHTNESS_SLIDER, &D::m_brightness, &D::m_brightnessPos, &D::m_brightnessRange,
     vorn_uvc_setBrightness, vorn_uvc_getBrightness, vorn_uvc_getBrightnessRange, L"Skip setting Brighness\r\n",
     L"Failed to set Brightness to %d\r\n", L"Failed to setBrightness to %d\r\n",
     L"Set Brightness to %d successfully\r\n", L"Invalid Brightness Value", L"Brightness range: %d - %d\r\n",
     L"Current Brightness value is %d\r\n"},
    {IDC_CONTRAST_EDIT, IDC_CONTRAST_SLIDER, &D::m_contrast, &D::m_contrastPos, &D::m_contrastRange,
     vorn_uvc_setContrast, vorn_uvc_getContrast, vorn_uvc_getContrastRange, L"Skip setting Contrast\r\n",
     L"Failed to set Contrast to %d\r\n", L"Failed to set Contrast to %d\r\n",
     L"Set Contrast to %d successfully\r\n", L"Invalid Contrast Value", L"Contrast range: %d - %d\r\n",
     L"Current Contrast value is %d\r\n"},
    {IDC_SATURATION_EDIT, IDC_SATURATION_SLIDER, &D::m_saturation, &D::m_saturationPos, &D::m_saturationRange,
     vorn_uvc_setSaturation, vorn_uvc_getSaturation, vorn_uvc_getSaturationRange, L"Skip setting Saturation\r\n",
     L"Failed to set Saturation to %d\r\n", L"Failed to set Saturation to %d\r\n",
     L"Set Saturation to %d successfully\r\n", L"Invalid Saturation Value", L"Saturation range: %d - %d\r\n",
     L"Current Saturation value is %d\r\n"},
    {IDC_SHARPNESS_EDIT, IDC_SHARPNESS_SLIDER, &D::m_sharpness, &D::m_sharpnessPos, &D::m_sharpnessRange,
     vorn_uvc_setSharpness, vorn_uvc_getSharpness, vorn_uvc_getSharpnessRange, L"Skip setting Sharpness\r\n",
     L"Failed to set Sharpness to %d\r\n", L"Failed to set Sharpness to %d\r\n",
     L"Set Sharpness to %d successfully\r\n", L"Invalid Sharpness Value", L"Sharpness range: %d - %d\r\n",
     L"Current Sharpness value is %d\r\n"},
    {IDC_GAMMA_EDIT, IDC_GAMMA_SLIDER, &D::m_gamma, &D::m_gammaPos, &D::m_gammaRange, vorn_uvc_setGamma,
     vorn_uvc_getGamma, vorn_uvc_getGammaRange, L"Skip setting Gamma\r\n", L"Failed to set Gamma to %d\r\n",
     L"Failed to set Gamma to %d\r\n", L"Set Gamma to %d successfully\r\n", L"Invalid Gamma Value",
     L"Gamma range: %d - %d\r\n", L"Current Gamma value is %d\r\n"},
};

// The order of the range warnings in the exchange.
const int kValidationOrder[] = {IDC_AEC_TARGET_EDIT, IDC_BRIGHTNESS_EDIT,      IDC_CONTRAST_EDIT,
                                IDC_SATURATION_EDIT, IDC_SHARPNESS_EDIT,       IDC_GAMMA_EDIT,
                                IDC_MANUAL_EXPOSURE_EDIT, IDC_GAIN_BLUE_EDIT, IDC_GAIN_RED_EDIT};

// The ranges the camera reports, in the order they are asked for and
// reported; the fixed ones follow them.
const int kLibraryRangeOrder[] = {IDC_BRIGHTNESS_EDIT, IDC_CONTRAST_EDIT, IDC_SATURATION_EDIT,
                                  IDC_SHARPNESS_EDIT,  IDC_GAMMA_EDIT,    IDC_AEC_TARGET_EDIT};
const int kFixedRangeOrder[] = {IDC_MANUAL_EXPOSURE_EDIT, IDC_GAIN_BLUE_EDIT, IDC_GAIN_RED_EDIT};

// The leading decimal integer of a text: an optional sign and the digits up
// to the first other character, 0 without digits. Saturates instead of
// overflowing on a long run of digits.
long long LeadingInt(const std::wstring& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long v = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        v = v * 10 + (text[i] - L'0');
        if (v > INT_MAX) v = static_cast<long long>(INT_MAX) + 1;
    }
    return negative ? -v : v;
}

}  // namespace

std::span<const PropertyInfo> Properties() { return kProperties; }

const PropertyInfo* PropertyByEdit(int editId) {
    for (const PropertyInfo& p : kProperties)
        if (p.editId == editId) return &p;
    return nullptr;
}

const PropertyInfo* PropertyBySlider(int sliderId) {
    for (const PropertyInfo& p : kProperties)
        if (p.sliderId == sliderId) return &p;
    return nullptr;
}

std::wstring Format(const wchar_t* format, int a) {
    wchar_t buf[256] = {};
    swprintf(buf, 256, format, a);
    return buf;
}

std::wstring Format(const wchar_t* format, int a, int b) {
    wchar_t buf[256] = {};
    swprintf(buf, 256, format, a, b);
    return buf;
}

std::wstring Format(const wchar_t* format, int a, int b, int c) {
    wchar_t buf[256] = {};
    swprintf(buf, 256, format, a, b, c);
    return buf;
}

}  // namespace vorn::window

using vorn::window::Format;
using vorn::window::PropertyByEdit;
using vorn::window::PropertyBySlider;
using vorn::window::PropertyInfo;

ui::MessageMap CVornControlsDlg::PropertyMap() {
    static const ui::MapEntry entries[] = {
        ui::OnHScroll<&CVornControlsDlg::OnHScroll>(),
        ui::OnEnChange<&CVornControlsDlg::OnChangeAecTarget>(IDC_AEC_TARGET_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnChangeManualExposure>(IDC_MANUAL_EXPOSURE_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnChangeGainBlue>(IDC_GAIN_BLUE_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnChangeGainRed>(IDC_GAIN_RED_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnChangeBrightness>(IDC_BRIGHTNESS_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnChangeContrast>(IDC_CONTRAST_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnChangeSaturation>(IDC_SATURATION_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnChangeSharpness>(IDC_SHARPNESS_EDIT),
        ui::OnEnChange<&CVornControlsDlg::OnChangeGamma>(IDC_GAMMA_EDIT),
    };
    return entries;
}

void CVornControlsDlg::ScrollStatusToEnd() { m_statusBox.ScrollToEnd(GetDlgItem(hwnd(), IDC_STATUS)); }

void CVornControlsDlg::ValidatePropertyRange(ui::DataExchange& dx, int value, int min, int max,
                                             const wchar_t* caption) {
    if (!dx.saving()) return;
    if (value > max || value < min)
        ui::CurrentPrompts().MessageBox(hwnd(), Format(L"Enter an integer between %d and %d\r\n", min, max), caption,
                                        MB_ICONEXCLAMATION | MB_OK);
}

void CVornControlsDlg::ValidatePropertyRanges(ui::DataExchange& dx) {
    dx.Validate([&] {
        for (int editId : vorn::window::kValidationOrder) {
            const PropertyInfo& p = *PropertyByEdit(editId);
            const PropertyRange& range = this->*p.range;
            ValidatePropertyRange(dx, this->*p.value, range.min, range.max, p.caption);
        }
    });
}

bool CVornControlsDlg::IsEditTextPending(int id, bool allowNegative) const {
    const std::wstring text = ItemText(id);
    const size_t n = text.size();
    if (n == 0) return true;
    // A gamma or a colour gain is typed digit by digit through values that
    // would be far out of range; wait for a plausible number.
    if (id == IDC_GAMMA_EDIT || id == IDC_GAIN_BLUE_EDIT || id == IDC_GAIN_RED_EDIT) {
        if (n < 2) return true;
        const long long limit = id == IDC_GAMMA_EDIT ? 50 : 51;
        if (vorn::window::LeadingInt(text) <= limit) return true;
    }
    if (allowNegative && text == L"-") return true;
    return false;
}

void CVornControlsDlg::ChangeFromEdit(int editId) {
    const PropertyInfo* p = PropertyByEdit(editId);
    if (!p) return;
    if (IsEditTextPending(editId, (this->*p->range).min < 0)) return;
    UpdateData(true);
    const int value = this->*p->value;
    if (value == this->*p->position) return;
    std::wstring line;
    if (p->set(value) == 0) {
        this->*p->position = value;
        line = Format(p->success, value);
    } else {
        line = Format(p->editFailure, value);
    }
    AppendStatus(line);
    UpdateData(false);
    ScrollStatusToEnd();
}

void CVornControlsDlg::OnChangeAecTarget() { ChangeFromEdit(IDC_AEC_TARGET_EDIT); }
void CVornControlsDlg::OnChangeManualExposure() { ChangeFromEdit(IDC_MANUAL_EXPOSURE_EDIT); }
void CVornControlsDlg::OnChangeGainBlue() { ChangeFromEdit(IDC_GAIN_BLUE_EDIT); }
void CVornControlsDlg::OnChangeGainRed() { ChangeFromEdit(IDC_GAIN_RED_EDIT); }
void CVornControlsDlg::OnChangeBrightness() { ChangeFromEdit(IDC_BRIGHTNESS_EDIT); }
void CVornControlsDlg::OnChangeContrast() { ChangeFromEdit(IDC_CONTRAST_EDIT); }
void CVornControlsDlg::OnChangeSaturation() { ChangeFromEdit(IDC_SATURATION_EDIT); }
void CVornControlsDlg::OnChangeSharpness() { ChangeFromEdit(IDC_SHARPNESS_EDIT); }
void CVornControlsDlg::OnChangeGamma() { ChangeFromEdit(IDC_GAMMA_EDIT); }

bool CVornControlsDlg::OnHScroll(int code, int /*position*/, HWND sender) {
    // The message's own position is not trusted: the slider is asked.
    const int id = sender ? GetDlgCtrlID(sender) : 0;
    const int pos = sender ? static_cast<int>(SendMessageW(sender, TBM_GETPOS, 0, 0)) : 0;
    if (code == TB_ENDTRACK) return true;

    const PropertyInfo* p = PropertyBySlider(id);
    if (!p) {
        ScrollStatusToEnd();
        return false;  // not one of ours: the default handling
    }
    if (pos == this->*p->position) {
        // Already applied (the end of a drag, a key at either end). Shown at
        // the next refresh of any handler.
        AppendStatus(p->skipText);
    } else {
        std::wstring line;
        if (p->set(pos) == 0) {
            this->*p->position = pos;
            this->*p->value = pos;
            line = Format(p->success, pos);
        } else {
            line = Format(p->sliderFailure, pos);
        }
        AppendStatus(line);
        UpdateData(false);
    }
    ScrollStatusToEnd();
    return true;
}

void CVornControlsDlg::ReadRanges() {
    // 1. Preview resolutions. A record the library did not fill is not shown.
    int count = 0;
    vorn_uvc_getPreviewResolutionCount(&count);
    for (int i = 0; i < count; ++i) {
        ResolutionInfo info = {};
        if (vorn_uvc_getPreviewResolutionInfo(i, &info) != 0) continue;
        AppendStatus(Format(L"No. %d: resolution = %d * %d\r\n", i, info.width, info.height));
    }

    auto setSliderRange = [this](const PropertyInfo& p, int min, int max) {
        HWND slider = GetDlgItem(hwnd(), p.sliderId);
        SendMessageW(slider, TBM_SETRANGEMIN, FALSE, min);
        SendMessageW(slider, TBM_SETRANGEMAX, FALSE, max);
        ui::Trackbar bar;
        bar.Attach(slider);
        bar.PlaceThumb();
    };

    // 2. The ranges the camera knows; a failed call keeps 0..100 silently.
    for (int editId : vorn::window::kLibraryRangeOrder) {
        const PropertyInfo& p = *PropertyByEdit(editId);
        int min = 0, max = 0;
        if (p.rangeCall(&min, &max) != 0) continue;
        setSliderRange(p, min, max);
        this->*p.range = PropertyRange{min, max};
        AppendStatus(Format(p.rangeLine, min, max));
    }

    // 3. Illumination state, and the rotation the window holds.
    bool on = false;
    if (vorn_uvc_isIlluminationOn(&on) == 0) m_illuminationOn = on ? 1 : 0;
    if (m_rotateSupported) vorn_uvc_rotate180(m_rotate180 != 0);

    // 4. The fixed ranges.
    for (int editId : vorn::window::kFixedRangeOrder) {
        const PropertyInfo& p = *PropertyByEdit(editId);
        const PropertyRange& range = this->*p.range;
        setSliderRange(p, range.min, range.max);
        AppendStatus(Format(p.rangeLine, range.min, range.max));
    }

    ScrollStatusToEnd();
}
