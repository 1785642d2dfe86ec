#include "cli/settings.h"

#include <array>

namespace vorn::cli {

namespace {

// The library's own limits for the settings it checks itself.
constexpr int kExposureMin = -13, kExposureMax = -1;
constexpr int kGainMin = 128, kGainMax = 512;

const Setting* AutoExposure();
const Setting* AutoWhiteBalance();

const std::array<Setting, 13> kSettings = {{
    {"brightness", "Brightness", Kind::Int, vorn_uvc_getBrightness, vorn_uvc_setBrightness,
     vorn_uvc_getBrightnessRange, 0, 0, nullptr, nullptr, Gate::None, nullptr},
    {"contrast", "Contrast", Kind::Int, vorn_uvc_getContrast, vorn_uvc_setContrast, vorn_uvc_getContrastRange, 0, 0,
     nullptr, nullptr, Gate::None, nullptr},
    {"saturation", "Saturation", Kind::Int, vorn_uvc_getSaturation, vorn_uvc_setSaturation,
     vorn_uvc_getSaturationRange, 0, 0, nullptr, nullptr, Gate::None, nullptr},
    {"sharpness", "Sharpness", Kind::Int, vorn_uvc_getSharpness, vorn_uvc_setSharpness, vorn_uvc_getSharpnessRange,
     0, 0, nullptr, nullptr, Gate::None, nullptr},
    {"gamma", "Gamma", Kind::Int, vorn_uvc_getGamma, vorn_uvc_setGamma, vorn_uvc_getGammaRange, 0, 0, nullptr,
     nullptr, Gate::None, nullptr},
    {"aec-target", "AEC Target", Kind::Int, vorn_uvc_getAEC_Target, vorn_uvc_setAEC_Target,
     vorn_uvc_getAEC_TargetRange, 0, 0, nullptr, nullptr, Gate::None, nullptr},
    {"exposure", "Manual Exposure", Kind::Int, vorn_uvc_getManualExposureValue, vorn_uvc_setManualExposureValue,
     nullptr, kExposureMin, kExposureMax, nullptr, nullptr, Gate::None, AutoExposure},
    {"gain-blue", "Color Gain Blue", Kind::Int, vorn_uvc_get_AWB_Gain_Blue, vorn_uvc_set_AWB_Gain_Blue, nullptr,
     kGainMin, kGainMax, nullptr, nullptr, Gate::None, AutoWhiteBalance},
    {"gain-red", "Color Gain Red", Kind::Int, vorn_uvc_get_AWB_Gain_Red, vorn_uvc_set_AWB_Gain_Red, nullptr,
     kGainMin, kGainMax, nullptr, nullptr, Gate::None, AutoWhiteBalance},
    {"auto-exposure", "Auto Exposure", Kind::Switch, nullptr, nullptr, nullptr, 0, 0, vorn_uvc_isAECModeOn,
     vorn_uvc_setAEC_Mode, Gate::None, nullptr},
    {"auto-white-balance", "Auto White Balance", Kind::Switch, nullptr, nullptr, nullptr, 0, 0,
     vorn_uvc_isAWBModeOn, vorn_uvc_setAWB_Mode, Gate::None, nullptr},
    {"rotate", "Rotate Image 180", Kind::Switch, nullptr, nullptr, nullptr, 0, 0, vorn_uvc_isRotate180On,
     vorn_uvc_rotate180, Gate::Rotate, nullptr},
    {"illumination", "Illumination", Kind::Switch, nullptr, nullptr, nullptr, 0, 0, vorn_uvc_isIlluminationOn,
     vorn_uvc_setIllumination, Gate::Illumination, nullptr},
}};

const Setting* AutoExposure() { return FindSetting("auto-exposure"); }
const Setting* AutoWhiteBalance() { return FindSetting("auto-white-balance"); }

}  // namespace

std::span<const Setting> Settings() { return kSettings; }

const Setting* FindSetting(std::string_view name) {
  for (const Setting& s : kSettings)
    if (name == s.name) return &s;
  return nullptr;
}

bool Gates::Allows(const Setting& s) const {
  switch (s.gate) {
    case Gate::Rotate: return rotate;
    case Gate::Illumination: return illumination;
    case Gate::None: break;
  }
  return true;
}

std::optional<Value> ReadValue(const Setting& s) {
  if (s.kind == Kind::Int) {
    int v = 0;
    if (s.getInt(&v) != 0) return std::nullopt;
    return Value{v};
  }
  bool on = false;
  if (s.getSwitch(&on) != 0) return std::nullopt;
  return Value{on};
}

std::optional<Range> ReadRange(const Setting& s) {
  if (s.kind != Kind::Int) return std::nullopt;
  if (!s.range) return Range{s.fixedMin, s.fixedMax};
  Range r;
  if (s.range(&r.min, &r.max) != 0) return std::nullopt;
  return r;
}

bool WriteValue(const Setting& s, const Value& v) {
  if (s.kind == Kind::Int) return s.setInt(std::get<int>(v)) == 0;
  return s.setSwitch(std::get<bool>(v)) == 0;
}

std::string FormatValue(const Value& v) {
  if (const bool* on = std::get_if<bool>(&v)) return *on ? "on" : "off";
  return std::to_string(std::get<int>(v));
}

std::variant<Assignment, Failure> ParseAssignment(std::string_view text) {
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos)
    return Failure{kExitUsage, Quote(text) + " is not NAME=VALUE"};
  const std::string_view name = text.substr(0, eq), value = text.substr(eq + 1);
  const Setting* s = FindSetting(name);
  if (!s) return Failure{kExitUsage, "unknown setting " + Quote(name)};
  if (s->kind == Kind::Int) {
    const std::optional<int> v = ParseInt(value);
    if (!v) return Failure{kExitUsage, std::string(s->name) + ": " + Quote(value) + " is not a whole number"};
    return Assignment{s, *v};
  }
  const std::optional<bool> on = ParseSwitch(value);
  if (!on) return Failure{kExitUsage, std::string(s->name) + ": " + Quote(value) + " is not on or off"};
  return Assignment{s, *on};
}

std::optional<Failure> Apply(const Assignment& a, const Gates& gates) {
  const Setting& s = *a.setting;
  if (!gates.Allows(s))
    return Failure{kExitFailed, std::string(s.name) + ": this camera's firmware has no " + s.label};
  if (s.kind == Kind::Int) {
    const std::optional<Range> range = ReadRange(s);
    if (!range) return Failure{kExitFailed, std::string(s.name) + ": can't read the camera's range"};
    const int v = std::get<int>(a.value);
    if (v < range->min || v > range->max)
      return Failure{kExitUsage, std::string(s.name) + ": " + std::to_string(v) + " is out of range " +
                                     std::to_string(range->min) + ".." + std::to_string(range->max)};
  }
  if (s.heldBy) {
    const Setting& mode = *s.heldBy();
    const std::optional<Value> on = ReadValue(mode);
    if (!on) return Failure{kExitFailed, std::string(s.name) + ": can't read " + mode.name};
    if (std::get<bool>(*on))
      return Failure{kExitFailed, std::string(s.name) + ": " + mode.name + " is on and would override it; set " +
                                      mode.name + "=off first"};
  }
  if (!WriteValue(s, a.value))
    return Failure{kExitFailed, std::string(s.name) + ": the camera refused " + FormatValue(a.value)};
  return std::nullopt;
}

std::variant<vorn::config::SavedSettings, Failure> ReadSavedSettings(const Gates& gates) {
  vorn::config::SavedSettings saved;
  std::optional<Failure> failure;
  auto readInt = [&](const char* name, int& out) {
    if (failure) return;
    const std::optional<Value> v = ReadValue(*FindSetting(name));
    if (!v) failure = Failure{kExitFailed, std::string("can't read ") + name + "; nothing saved"};
    else out = std::get<int>(*v);
  };
  auto readSwitch = [&](const char* name, bool& out) {
    if (failure) return;
    const std::optional<Value> v = ReadValue(*FindSetting(name));
    if (!v) failure = Failure{kExitFailed, std::string("can't read ") + name + "; nothing saved"};
    else out = std::get<bool>(*v);
  };
  readInt("brightness", saved.brightness);
  readInt("contrast", saved.contrast);
  readInt("saturation", saved.saturation);
  readInt("sharpness", saved.sharpness);
  readInt("gamma", saved.gamma);
  readSwitch("auto-exposure", saved.aecOn);
  if (saved.aecOn)
    readInt("aec-target", saved.aecTarget);
  else
    readInt("exposure", saved.manualExposure);
  readSwitch("auto-white-balance", saved.awbOn);
  if (!saved.awbOn) {
    readInt("gain-blue", saved.gainBlue);
    readInt("gain-red", saved.gainRed);
  }
  saved.rotateSupported = gates.rotate;
  if (gates.rotate) readSwitch("rotate", saved.rotate180);
  saved.illuminationWritten = gates.illumination;
  if (gates.illumination) readSwitch("illumination", saved.illuminationOn);
  if (failure) return *failure;
  return saved;
}

}  // namespace vorn::cli
