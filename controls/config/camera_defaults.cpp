#include "config/camera_defaults.h"

#include <algorithm>
#include <string>

#include "config/text_case.h"
#include "vorn_uvc.h"
#include "firmware/firmware_gate.h"

namespace vorn::config {
namespace {

constexpr int kRotateBuild = 210810;
constexpr int kFirmwareBufferSize = 60;

struct StepCalls {
  DefaultStep step;
  std::string_view name;
  // Property steps: read the default, then set it.
  int(VORN_CDECL* getDefault)(int*);
  int(VORN_CDECL* set)(int);
  // Mode steps: switch to `on`.
  int(VORN_CDECL* mode)(bool);
  bool on;
};

// Restore order. The properties come before the modes, so that the AEC
// target is in place when automatic exposure takes over.
const StepCalls kSteps[] = {
    {DefaultStep::Brightness, "brightness", vorn_uvc_getBrightnessDefault, vorn_uvc_setBrightness, nullptr, false},
    {DefaultStep::Contrast, "contrast", vorn_uvc_getContrastDefault, vorn_uvc_setContrast, nullptr, false},
    {DefaultStep::Saturation, "saturation", vorn_uvc_getSaturationDefault, vorn_uvc_setSaturation, nullptr, false},
    {DefaultStep::Sharpness, "sharpness", vorn_uvc_getSharpnessDefault, vorn_uvc_setSharpness, nullptr, false},
    {DefaultStep::Gamma, "gamma", vorn_uvc_getGammaDefault, vorn_uvc_setGamma, nullptr, false},
    {DefaultStep::AecTarget, "aec_target", vorn_uvc_getAEC_TargetDefault, vorn_uvc_setAEC_Target, nullptr, false},
    {DefaultStep::AutoExposure, "auto_exposure", nullptr, nullptr, vorn_uvc_setAEC_Mode, true},
    {DefaultStep::AutoWhiteBalance, "auto_white_balance", nullptr, nullptr, vorn_uvc_setAWB_Mode, true},
    {DefaultStep::Rotation, "rotation", nullptr, nullptr, vorn_uvc_rotate180, false},
};

constexpr DefaultStep kOrder[] = {
    DefaultStep::Brightness,   DefaultStep::Contrast,         DefaultStep::Saturation,
    DefaultStep::Sharpness,    DefaultStep::Gamma,            DefaultStep::AecTarget,
    DefaultStep::AutoExposure, DefaultStep::AutoWhiteBalance, DefaultStep::Rotation,
};

const StepCalls& CallsOf(DefaultStep step) {
  for (const StepCalls& calls : kSteps)
    if (calls.step == step) return calls;
  return kSteps[0];  // every step has its row
}

DefaultStepResult RunStep(const StepCalls& calls, bool rotationSupported) {
  if (calls.step == DefaultStep::Rotation && !rotationSupported)
    return {calls.step, StepOutcome::Unsupported, 0};
  if (calls.mode) {
    const StepOutcome outcome = calls.mode(calls.on) == 0 ? StepOutcome::Done : StepOutcome::Failed;
    return {calls.step, outcome, calls.on ? 1 : 0};
  }
  int value = 0;
  if (calls.getDefault(&value) != 0) return {calls.step, StepOutcome::DefaultUnreadable, 0};
  const StepOutcome outcome = calls.set(value) == 0 ? StepOutcome::Done : StepOutcome::Failed;
  return {calls.step, outcome, value};
}

}  // namespace

std::span<const DefaultStep> DefaultSteps() { return kOrder; }

std::string_view DefaultStepName(DefaultStep step) { return CallsOf(step).name; }

std::optional<DefaultStep> DefaultStepFromName(std::string_view name) {
  for (const StepCalls& calls : kSteps)
    if (text::EqualsIgnoreCase(calls.name, name)) return calls.step;
  return std::nullopt;
}

bool IsPropertyStep(DefaultStep step) { return CallsOf(step).mode == nullptr; }

std::vector<DefaultStepResult> RestoreCameraDefaults(bool rotationSupported, std::span<const DefaultStep> steps,
                                                     const DefaultStepReport& report) {
  std::vector<DefaultStepResult> results;
  for (DefaultStep step : kOrder) {
    if (!steps.empty() && std::find(steps.begin(), steps.end(), step) == steps.end()) continue;
    results.push_back(RunStep(CallsOf(step), rotationSupported));
    if (report) report(results.back());
  }
  return results;
}

RestoreSummary Summarise(std::span<const DefaultStepResult> results) {
  RestoreSummary summary;
  for (const DefaultStepResult& r : results) {
    if (r.attempted()) ++summary.attempted;
    if (r.failed()) ++summary.failed;
  }
  return summary;
}

std::optional<bool> CameraSupportsRotation() {
  char firmware[kFirmwareBufferSize] = {};
  if (vorn_uvc_get_FW_version(firmware, kFirmwareBufferSize, 1) != 0) return std::nullopt;
  return firmware::IsFirmwareNewer(firmware, sizeof firmware, kRotateBuild);
}

}  // namespace vorn::config
