#include "cli/config_report.h"

#include <utility>

namespace vorn::cli {

namespace {

using vorn::config::RowResult;

const Setting* SettingOfNumber(int number) {
  switch (number) {
    case vorn::config::kBrightness: return FindSetting("brightness");
    case vorn::config::kContrast: return FindSetting("contrast");
    case vorn::config::kSaturation: return FindSetting("saturation");
    case vorn::config::kSharpness: return FindSetting("sharpness");
    case vorn::config::kGamma: return FindSetting("gamma");
    case vorn::config::kAecTarget: return FindSetting("aec-target");
    case vorn::config::kGainBlue: return FindSetting("gain-blue");
    case vorn::config::kGainRed: return FindSetting("gain-red");
    case vorn::config::kExposure: return FindSetting("exposure");
    default: return nullptr;
  }
}

const char* ResultWord(RowResult r) {
  switch (r) {
    case RowResult::Applied: return "applied";
    case RowResult::Unchanged: return "unchanged";
    case RowResult::Ignored: return "ignored";
    case RowResult::Failed: return "failed";
  }
  return "";
}

}  // namespace

const char* TypeWord(vorn::config::RowType t) {
  switch (t) {
    case vorn::config::RowType::Int: return "int";
    case vorn::config::RowType::Bool: return "bool";
    case vorn::config::RowType::Other: break;
  }
  return "other";
}

std::optional<int> CameraConfigTarget::LastApplied(int number) {
  const Setting* s = SettingOfNumber(number);
  if (!s) return std::nullopt;
  const std::optional<Value> v = ReadValue(*s);
  if (!v) return std::nullopt;
  return std::get<int>(*v);
}

std::optional<bool> CameraConfigTarget::AecOn() {
  const std::optional<Value> v = ReadValue(*FindSetting("auto-exposure"));
  if (!v) return std::nullopt;
  return std::get<bool>(*v);
}

std::vector<std::string> CameraConfigTarget::TakeLines() { return std::exchange(lines_, {}); }

Gates GatesOf(const CameraSession& session) {
  const CameraIdentity id = session.Identity();
  return Gates{RotateSupported(id.firmware), IlluminationSupported(id.firmware)};
}

void RowReport::Add(std::size_t index, const vorn::config::ConfigRow& row, RowResult r) {
  const std::vector<std::string> lines = target_.TakeLines();
  const std::size_t line = index + 2;  // after the header, and rows end at the first blank line
  rows.push_back({{"line", line},
                  {"name", row.name},
                  {"value", row.value},
                  {"type", TypeWord(row.type)},
                  {"result", ResultWord(r)},
                  {"messages", lines}});
  table.push_back({"line " + std::to_string(line), row.name, row.value, ResultWord(r), JoinLines(lines)});
  if (r == RowResult::Applied) ++applied;
  if (r != RowResult::Failed) return;
  ++failed;
  if (firstFailure) return;
  const int code = row.number ? kExitFailed : kExitUsage;
  firstFailure = Failure{code, "stopped at line " + std::to_string(line) + ": " + JoinLines(lines)};
  firstFailureJson = {{"line", line}, {"reason", JoinLines(lines)}};
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += (text.empty() ? "" : "; ") + l;
  return text;
}

}  // namespace vorn::cli
