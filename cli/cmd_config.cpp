// save and apply: configuration files, with the window's rows and rules.
#include <filesystem>
#include <system_error>

#include "cli/commands.h"
#include "cli/config_report.h"
#include "cli/settings.h"
#include "config/config_apply.h"
#include "config/file_open.h"

namespace vorn::cli {

namespace {

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
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
  RowReport report(target);
  const bool ok = vorn::config::LoadConfigFile(
      target, file, [&](size_t index, const vorn::config::ConfigRow& row, vorn::config::RowResult r) {
        report.Add(index, row, r);
      });
  Json doc = {{"file", file}, {"rows", report.rows}, {"applied", report.applied}, {"stopped", report.firstFailureJson}};
  const std::string text = (report.table.empty() ? std::string() : Table(report.table)) + "applied " +
                           std::to_string(report.applied) + " of " + std::to_string(report.rows.size()) +
                           " rows from " + file + "\n";
  if (report.firstFailure) return Fail(ctx, *report.firstFailure, doc, text);
  if (!ok) {
    // The file itself was refused before any row.
    return Fail(ctx, {kExitUsage, "'" + file + "' refused: " + JoinLines(target.TakeLines())}, doc);
  }
  return Succeed(ctx, doc, text);
}

}  // namespace vorn::cli
