// reset: the camera's own defaults, through the restore steps the window's
// Restore Camera Defaults runs.
#include "cli/commands.h"
#include "cli/settings.h"
#include "config/camera_defaults.h"

namespace vorn::cli {

namespace {

using vorn::config::DefaultStep;
using vorn::config::StepOutcome;

struct StepName {
  const char* name;
  DefaultStep step;
};

// Our setting names for the steps.
constexpr StepName kStepNames[] = {
    {"brightness", DefaultStep::Brightness},       {"contrast", DefaultStep::Contrast},
    {"saturation", DefaultStep::Saturation},       {"sharpness", DefaultStep::Sharpness},
    {"gamma", DefaultStep::Gamma},                 {"aec-target", DefaultStep::AecTarget},
    {"auto-exposure", DefaultStep::AutoExposure},  {"auto-white-balance", DefaultStep::AutoWhiteBalance},
    {"rotate", DefaultStep::Rotation},
};

const char* NameOf(DefaultStep step) {
  for (const StepName& s : kStepNames)
    if (s.step == step) return s.name;
  return "";
}

const char* OutcomeWord(StepOutcome o) {
  switch (o) {
    case StepOutcome::Done: return "done";
    case StepOutcome::DefaultUnreadable: return "failed: the camera reports no default";
    case StepOutcome::Failed: return "failed: the camera refused it";
    case StepOutcome::Unsupported: return "not in this firmware";
  }
  return "";
}

std::string ResetNames() {
  std::string names;
  for (const StepName& s : kStepNames) names += (names.empty() ? "" : ", ") + std::string(s.name);
  return names;
}

}  // namespace

int RunReset(const Context& ctx) {
  std::vector<DefaultStep> steps;
  for (const std::string& name : ctx.inv.operands) {
    const StepName* found = nullptr;
    for (const StepName& s : kStepNames)
      if (name == s.name) found = &s;
    if (!found) {
      const char* why = FindSetting(name) ? "' has no camera default; reset takes " : "' is no setting; reset takes ";
      return Fail(ctx, {kExitUsage, "'" + name + why + ResetNames()});
    }
    steps.push_back(found->step);
  }

  CameraSession session;
  if (auto f = StartSession(ctx, session, true)) return Fail(ctx, *f);
  const bool rotationSupported = RotateSupported(session.Identity().firmware);
  const std::vector<vorn::config::DefaultStepResult> results =
      vorn::config::RestoreCameraDefaults(rotationSupported, steps);

  Json list = Json::array();
  std::vector<std::vector<std::string>> rows;
  int failed = 0;
  for (const auto& r : results) {
    const bool property = vorn::config::IsPropertyStep(r.step);
    const bool known = !property || r.outcome != StepOutcome::DefaultUnreadable;
    Json value = nullptr;
    std::string valueText;
    if (known && r.attempted()) {
      value = property ? Json(r.value) : Json(r.value != 0);
      valueText = property ? std::to_string(r.value) : (r.value ? "on" : "off");
    }
    list.push_back({{"name", NameOf(r.step)}, {"value", value}, {"result", OutcomeWord(r.outcome)}});
    rows.push_back({NameOf(r.step), valueText, OutcomeWord(r.outcome)});
    // Rotation asked for by name on firmware without it is a failure too.
    if (r.failed() || (r.outcome == StepOutcome::Unsupported && !steps.empty())) ++failed;
  }
  const Json doc = {{"steps", list}, {"failed", failed}};
  const std::string text = Table(rows);
  if (failed > 0)
    return Fail(ctx, {kExitFailed, std::to_string(failed) + " of " + std::to_string(results.size()) + " steps failed"},
                doc, text);
  return Succeed(ctx, doc, text);
}

}  // namespace vorn::cli
