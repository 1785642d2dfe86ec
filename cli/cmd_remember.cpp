// remember show|save|apply|forget: the settings the window remembers per
// camera, in the same per-user store and through the same code. The window's
// switch does not govern these: each acts when asked.
#include <filesystem>
#include <string>

#include "cli/commands.h"
#include "cli/config_report.h"
#include "cli/settings.h"
#include "config/file_open.h"
#include "config/remembered_settings.h"

namespace vorn::cli {

namespace {

using vorn::config::RememberedStatus;

struct Camera {
  std::string id;  // eight hex digits
  std::filesystem::path file;
  std::string fileText;
};

int Show(const Context& ctx, const Camera& cam) {
  const vorn::config::RememberedSettings remembered = vorn::config::ReadRemembered(cam.file);
  Json doc = {{"camera", cam.id}, {"file", cam.fileText}};
  switch (remembered.status) {
    case RememberedStatus::Missing:
      doc["remembered"] = false;
      doc["rows"] = Json::array();
      return Succeed(ctx, doc, "no settings are remembered for camera " + cam.id + " (" + cam.fileText + ")\n");
    case RememberedStatus::Unreadable:
      return Fail(ctx, {kExitFailed, "the remembered settings in '" + cam.fileText + "' can't be read: " +
                                         remembered.reason},
                  doc);
    case RememberedStatus::Ok: break;
  }
  Json rows = Json::array();
  std::vector<std::vector<std::string>> table;
  for (const vorn::config::ConfigRow& row : remembered.rows) {
    rows.push_back({{"name", row.name}, {"value", row.value}, {"type", TypeWord(row.type)}});
    table.push_back({row.name, row.value, TypeWord(row.type)});
  }
  doc["remembered"] = true;
  doc["rows"] = rows;
  return Succeed(ctx, doc, cam.fileText + "\n" + (table.empty() ? std::string() : Table(table)));
}

int Save(const Context& ctx, const CameraSession& session, const Camera& cam) {
  auto saved = ReadSavedSettings(GatesOf(session));
  if (auto* f = std::get_if<Failure>(&saved)) return Fail(ctx, *f);
  const CSV_reader table = vorn::config::BuildConfigTable(std::get<vorn::config::SavedSettings>(saved));
  if (!vorn::config::WriteRemembered(cam.file, table))
    return Fail(ctx, {kExitFailed, "can't write '" + cam.fileText + "'; the file there before is kept"});
  const size_t count = table.column("PropName").size();
  return Succeed(ctx, {{"camera", cam.id}, {"file", cam.fileText}, {"rows", count}},
                 "remembered " + std::to_string(count) + " rows for camera " + cam.id + " in " + cam.fileText + "\n");
}

int Apply(const Context& ctx, const CameraSession& session, const Camera& cam) {
  const vorn::config::RememberedSettings remembered = vorn::config::ReadRemembered(cam.file);
  if (remembered.status == RememberedStatus::Missing)
    return Fail(ctx, {kExitFailed, "no settings are remembered for camera " + cam.id});
  if (remembered.status == RememberedStatus::Unreadable)
    return Fail(ctx, {kExitFailed,
                      "the remembered settings in '" + cam.fileText + "' can't be read: " + remembered.reason});

  CameraConfigTarget target(GatesOf(session));
  RowReport report(target);
  vorn::config::ApplyRemembered(target, remembered.rows,
                                [&](size_t index, const vorn::config::ConfigRow& row, vorn::config::RowResult r) {
                                  report.Add(index, row, r);
                                });
  const Json doc = {{"camera", cam.id},
                    {"file", cam.fileText},
                    {"rows", report.rows},
                    {"applied", report.applied},
                    {"failed", report.failed}};
  const std::string text = (report.table.empty() ? std::string() : Table(report.table)) + "applied " +
                           std::to_string(report.applied) + " of " + std::to_string(report.rows.size()) +
                           " remembered rows for camera " + cam.id + "\n";
  if (report.failed > 0)
    return Fail(ctx, {kExitFailed, std::to_string(report.failed) + " remembered rows could not be applied"}, doc,
                text);
  return Succeed(ctx, doc, text);
}

int Forget(const Context& ctx, const Camera& cam) {
  Json doc = {{"camera", cam.id}, {"file", cam.fileText}};
  switch (vorn::config::ForgetRemembered(cam.file)) {
    case vorn::config::ForgetResult::Forgotten:
      doc["forgotten"] = true;
      return Succeed(ctx, doc, "forgot the settings of camera " + cam.id + "\n");
    case vorn::config::ForgetResult::NothingRemembered:
      doc["forgotten"] = false;
      return Succeed(ctx, doc, "no settings are remembered for camera " + cam.id + "\n");
    case vorn::config::ForgetResult::Failed: break;
  }
  return Fail(ctx, {kExitFailed, "can't remove '" + cam.fileText + "'"}, doc);
}

}  // namespace

int RunRemember(const Context& ctx) {
  const std::string& action = ctx.inv.operands.front();
  if (action != "show" && action != "save" && action != "apply" && action != "forget")
    return Fail(ctx, {kExitUsage, "remember takes show, save, apply or forget, not " + Quote(action)});
  const vorn::config::UserStore store(ctx.con.userFolder);
  if (!store.known())
    return Fail(ctx, {kExitFailed, "no folder for per-user settings; set APPDATA or HOME"});

  CameraSession session;
  // Settings are read and written only through an open camera.
  if (auto f = StartSession(ctx, session, action == "save" || action == "apply")) return Fail(ctx, *f);
  const CameraIdentity identity = session.Identity();
  if (!identity.vidPid) return Fail(ctx, {kExitFailed, "can't read the camera's identifier"});
  Camera cam;
  cam.id = *identity.vidPid;
  cam.file = store.CameraFile(cam.id);
  cam.fileText = vorn::files::PathToUtf8(cam.file);

  if (action == "show") return Show(ctx, cam);
  if (action == "save") return Save(ctx, session, cam);
  if (action == "apply") return Apply(ctx, session, cam);
  return Forget(ctx, cam);
}

}  // namespace vorn::cli
