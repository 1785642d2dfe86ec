// save and apply: configuration files, with the window's rows and rules.
#include <filesystem>
#include <system_error>

#include "cli/commands.h"
#include "cli/settings.h"
#include "config/config_apply.h"
#include "config/file_open.h"

namespace vorn::cli {

namespace {

using vorn::config::ConfigRow;
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

// A load straight onto the camera: what it holds now is what it was last
// given, and the status lines of each row are kept for its report.
class CameraConfigTarget : public vorn::config::ConfigTarget {
public:
  explicit CameraConfigTarget(const Gates& gates) : gates_(gates) {}

  std::optional<int> LastApplied(int number) override {
    const Setting* s = SettingOfNumber(number);
    if (!s) return std::nullopt;
    const std::optional<Value> v = ReadValue(*s);
    if (!v) return std::nullopt;
    return std::get<int>(*v);
  }
  void IntApplied(int, int) override {}
  std::optional<bool> AecOn() override {
    const std::optional<Value> v = ReadValue(*FindSetting("auto-exposure"));
    if (!v) return std::nullopt;
    return std::get<bool>(*v);
  }
  void AecSwitched(bool) override {}
  void AwbSwitched(bool) override {}
  bool RotateSupported() override { return gates_.rotate; }
  void RotateSwitched(bool) override {}
  bool IlluminationAvailable() override { return gates_.illumination; }
  void IlluminationSwitched(bool) override {}
  void Status(const std::string& line) override { lines_.push_back(WithoutLineEnd(line)); }

  std::vector<std::string> TakeLines() { return std::exchange(lines_, {}); }

private:
  Gates gates_;
  std::vector<std::string> lines_;
};

const char* ResultWord(RowResult r) {
  switch (r) {
    case RowResult::Applied: return "applied";
    case RowResult::Unchanged: return "unchanged";
    case RowResult::Ignored: return "ignored";
    case RowResult::Failed: return "failed";
  }
  return "";
}

const char* TypeWord(vorn::config::RowType t) {
  switch (t) {
    case vorn::config::RowType::Int: return "int";
    case vorn::config::RowType::Bool: return "bool";
    case vorn::config::RowType::Other: break;
  }
  return "other";
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += (text.empty() ? "" : "; ") + l;
  return text;
}

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

Gates GatesOf(const CameraSession& session) {
  const CameraIdentity id = session.Identity();
  return Gates{RotateSupported(id.firmware), IlluminationSupported(id.firmware)};
}

}  // namespace

int RunSave(const Context& ctx) {
  const std::string& file = ctx.inv.operands.front();
  const std::filesystem::path path = vorn::files::PathFromUtf8(file);
  std::error_code ec;
  if (!ctx.inv.force && std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
    return Fail(ctx, {kExitUsage, "'" + file + "' exists; not replaced (--force replaces it)"});
  if (std::filesystem::is_directory(path, ec)) return Fail(ctx, {kExitUsage, "'" + file + "' is a folder"});

  CameraSession session;
  if (auto f = StartSession(ctx, session, true)) return Fail(ctx, *f);
  auto saved = ReadSavedSettings(GatesOf(session));
  if (auto* f = std::get_if<Failure>(&saved)) return Fail(ctx, *f);

  CSV_reader table = vorn::config::BuildConfigTable(std::get<vorn::config::SavedSettings>(saved));
  if (!table.write_file(file)) return Fail(ctx, {kExitFailed, "can't write '" + file + "'"});

  const std::vector<std::string>& names = table.column("PropName");
  const std::vector<std::string>& values = table.column("Value");
  Json rows = Json::array();
  std::vector<std::vector<std::string>> text;
  for (size_t i = 0; i < names.size(); ++i) {
    rows.push_back({{"name", names[i]}, {"value", values[i]}});
    text.push_back({names[i], values[i]});
  }
  return Succeed(ctx, {{"file", file}, {"rows", rows}}, Table(text) + "saved " + std::to_string(names.size()) +
                                                            " rows to " + file + "\n");
}

int RunApply(const Context& ctx) {
  const std::string& file = ctx.inv.operands.front();
  if (!IsRegularFile(vorn::files::PathFromUtf8(file)))
    return Fail(ctx, {kExitUsage, "can't open configuration file '" + file + "'"});

  CameraSession session;
  if (auto f = StartSession(ctx, session, true)) return Fail(ctx, *f);
  CameraConfigTarget target(GatesOf(session));

  Json rows = Json::array();
  std::vector<std::vector<std::string>> table;
  size_t applied = 0;
  std::optional<Failure> stopped;
  Json stop = nullptr;
  const bool ok = vorn::config::LoadConfigFile(target, file, [&](size_t index, const ConfigRow& row, RowResult r) {
    const std::vector<std::string> lines = target.TakeLines();
    const size_t line = index + 2;  // after the header, and rows end at the first blank line
    rows.push_back({{"line", line},
                    {"name", row.name},
                    {"value", row.value},
                    {"type", TypeWord(row.type)},
                    {"result", ResultWord(r)},
                    {"messages", lines}});
    table.push_back({"line " + std::to_string(line), row.name, row.value, ResultWord(r), Join(lines)});
    if (r == RowResult::Applied) ++applied;
    if (r == RowResult::Failed) {
      // An unknown name is the file's fault; a refusal is the camera's.
      const int code = row.number ? kExitFailed : kExitUsage;
      stopped = Failure{code, "stopped at line " + std::to_string(line) + ": " + Join(lines)};
      stop = {{"line", line}, {"reason", Join(lines)}};
    }
  });
  Json doc = {{"file", file}, {"rows", rows}, {"applied", applied}, {"stopped", stop}};
  const std::string text = (table.empty() ? std::string() : Table(table)) + "applied " + std::to_string(applied) +
                           " of " + std::to_string(rows.size()) + " rows from " + file + "\n";
  if (stopped) return Fail(ctx, *stopped, doc, text);
  if (!ok) {
    // The file itself was refused before any row.
    const std::vector<std::string> lines = target.TakeLines();
    return Fail(ctx, {kExitUsage, "'" + file + "' refused: " + Join(lines)}, doc);
  }
  return Succeed(ctx, doc, text);
}

}  // namespace vorn::cli
