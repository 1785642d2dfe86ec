// get and set: the picture settings by name.
#include "cli/commands.h"
#include "cli/config_report.h"
#include "cli/settings.h"

namespace vorn::cli {

namespace {

Json ToJson(const Value& v) {
  if (const bool* on = std::get_if<bool>(&v)) return *on;
  return std::get<int>(v);
}

}  // namespace

int RunGet(const Context& ctx) {
  std::vector<const Setting*> wanted;
  for (const std::string& name : ctx.inv.operands) {
    const Setting* s = FindSetting(name);
    if (!s) return Fail(ctx, {kExitUsage, "unknown setting '" + name + "'"});
    wanted.push_back(s);
  }
  CameraSession session;
  if (auto f = StartSession(ctx, session, true)) return Fail(ctx, *f);
  const Gates gates = GatesOf(session);
  if (wanted.empty()) {
    // All that this camera offers.
    for (const Setting& s : Settings())
      if (gates.Allows(s)) wanted.push_back(&s);
  }

  Json doc = Json::object();
  std::vector<std::vector<std::string>> rows;
  for (const Setting* s : wanted) {
    if (!gates.Allows(*s))
      return Fail(ctx, {kExitFailed, std::string(s->name) + ": this camera's firmware has no " + s->label});
    const std::optional<Value> value = ReadValue(*s);
    if (!value) return Fail(ctx, {kExitFailed, std::string("can't read ") + s->name});
    Json entry = {{"value", ToJson(*value)}};
    std::vector<std::string> row = {s->name, FormatValue(*value)};
    if (s->kind == Kind::Int) {
      const std::optional<Range> range = ReadRange(*s);
      if (!range) return Fail(ctx, {kExitFailed, std::string("can't read the range of ") + s->name});
      entry["min"] = range->min;
      entry["max"] = range->max;
      row.push_back(std::to_string(range->min) + ".." + std::to_string(range->max));
    }
    doc[s->name] = entry;
    rows.push_back(row);
  }
  return Succeed(ctx, doc, Table(rows));
}

int RunSet(const Context& ctx) {
  // Every operand is checked for its form before the camera is touched.
  std::vector<Assignment> assignments;
  for (const std::string& operand : ctx.inv.operands) {
    auto parsed = ParseAssignment(operand);
    if (auto* f = std::get_if<Failure>(&parsed)) return Fail(ctx, *f, {{"applied", Json::object()}});
    assignments.push_back(std::get<Assignment>(parsed));
  }
  CameraSession session;
  if (auto f = StartSession(ctx, session, true)) return Fail(ctx, *f, {{"applied", Json::object()}});
  const Gates gates = GatesOf(session);

  Json applied = Json::object();
  std::string text;
  for (const Assignment& a : assignments) {
    if (auto f = Apply(a, gates)) return Fail(ctx, *f, {{"applied", applied}}, text);
    applied[a.setting->name] = ToJson(a.value);
    text += std::string(a.setting->name) + " = " + FormatValue(a.value) + "\n";
  }
  return Succeed(ctx, {{"applied", applied}}, text);
}

}  // namespace vorn::cli
