// Restoring the camera's defaults: the six picture properties set to the
// defaults the camera reports with their ranges, automatic exposure and
// automatic white balance on, and rotation off where the firmware has it.
// The steps run over the library calls; the main window and the command line
// each turn the results into their own lines.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vorn::config {

enum class DefaultStep {
  Brightness,
  Contrast,
  Saturation,
  Sharpness,
  Gamma,
  AecTarget,
  AutoExposure,
  AutoWhiteBalance,
  Rotation,
};

// Every step, in the order a restore runs them.
std::span<const DefaultStep> DefaultSteps();

// The step's word on the command line: "brightness", "contrast",
// "saturation", "sharpness", "gamma", "aec_target", "auto_exposure",
// "auto_white_balance", "rotation".
std::string_view DefaultStepName(DefaultStep step);
// The step for a word in any case; nullopt for anything else.
std::optional<DefaultStep> DefaultStepFromName(std::string_view name);
// The six steps that set a value read from the camera.
bool IsPropertyStep(DefaultStep step);

enum class StepOutcome {
  Done,               // set or switched
  DefaultUnreadable,  // the camera did not report the default; nothing was set
  Failed,             // the camera refused the set or the switch
  Unsupported,        // rotation on firmware without it: not attempted
};

struct DefaultStepResult {
  DefaultStep step;
  StepOutcome outcome;
  // Property steps: the default, when it was read. Mode steps: 1 for on,
  // 0 for off, the state asked for.
  int value;

  bool attempted() const { return outcome != StepOutcome::Unsupported; }
  bool failed() const { return outcome == StepOutcome::DefaultUnreadable || outcome == StepOutcome::Failed; }
};

using DefaultStepReport = std::function<void(const DefaultStepResult&)>;

// Runs the chosen steps (all of them when `steps` is empty) in restore order,
// each once however often it is named. A failing step does not stop the
// others. `report`, when given, hears each step right after it has run.
std::vector<DefaultStepResult> RestoreCameraDefaults(bool rotationSupported, std::span<const DefaultStep> steps = {},
                                                     const DefaultStepReport& report = {});

struct RestoreSummary {
  int attempted = 0;
  int failed = 0;
};
RestoreSummary Summarise(std::span<const DefaultStepResult> results);

// Whether the selected camera's firmware has rotation (the same build gate as
// the main window's); nullopt when its version can't be read.
std::optional<bool> CameraSupportsRotation();

}  // namespace vorn::config
