// burn: firmware into the camera's flash, with the dialog's file checks,
// a progress bar and the restart sequence.
#include "cli/commands.h"
#include "config/file_open.h"
#include "firmware/firmware_history.h"
#include "firmware/restart_sequence.h"
#include "firmware/rom_image.h"
#include "firmware/source_file.h"

namespace vorn::cli {

namespace {

constexpr int kBarWidth = 40;

// Redraws one line on a terminal; elsewhere a line per tenth, so a log
// holds eleven lines and not thousands.
struct Progress {
  const Console* con = nullptr;
  int lastShown = -1;  // percent on a terminal, tenths otherwise

  void Show(int percent) {
    if (con->errIsTerminal) {
      if (percent == lastShown) return;
      lastShown = percent;
      const int filled = percent * kBarWidth / 100;
      std::string bar = "\rBurning [" + std::string(static_cast<size_t>(filled), '#') +
                        std::string(static_cast<size_t>(kBarWidth - filled), '-') + "] " + std::to_string(percent) +
                        "%";
      con->Err(bar);
    } else {
      const int tenth = percent / 10;
      if (tenth <= lastShown) return;
      lastShown = tenth;
      con->Err("Burning: " + std::to_string(tenth * 10) + "%\n");
    }
  }
  void End() {
    if (con->errIsTerminal && lastShown >= 0) con->Err("\n");
  }
};

int VORN_CDECL OnProgress(void* context, float done) {
  static_cast<Progress*>(context)->Show(vorn::firmware::ProgressPosition(done) / 100);
  return 0;
}

Json OrNull(const std::optional<std::string>& s) { return s ? Json(*s) : Json(nullptr); }

// One line of the firmware history per burn, whatever its outcome; a history
// that can't be written is reported and never changes the burn's result.
struct HistoryEntry {
  const Context& ctx;
  vorn::firmware::BurnRecord record;

  void Write(vorn::firmware::BurnResult result, const std::optional<std::string>& after = std::nullopt) {
    if (ctx.con.historyFile.empty()) return;
    record.localTime = vorn::firmware::LocalNow();
    record.result = result;
    record.newVersion = after.value_or(std::string());
    if (!vorn::firmware::AppendBurnHistory(ctx.con.historyFile, record))
      ctx.con.Err("vorn_ctl: can't write the firmware history to " + vorn::files::PathToUtf8(ctx.con.historyFile) +
                  "\n");
  }
};

}  // namespace

int RunBurn(const Context& ctx) {
  const std::string& file = ctx.inv.operands.front();
  vorn::firmware::SourceFile source = vorn::firmware::CheckSourceFile(vorn::files::PathFromUtf8(file));
  if (!source.accepted()) {
    std::string why;
    for (const std::string& line : source.refusal()) why += (why.empty() ? "" : " ") + line;
    return Fail(ctx, {kExitUsage, "'" + file + "': " + why});
  }

  CameraSession session;
  if (auto f = StartSession(ctx, session, false)) return Fail(ctx, *f);
  const CameraIdentity identity = session.Identity();
  const std::optional<std::string>& before = identity.firmware;
  if (!before) return Fail(ctx, {kExitFailed, "can't read the camera's firmware version"});
  Json doc = {{"file", file}, {"bytes", source.image.size()}, {"verify", ctx.inv.verify}, {"before", *before}};
  // Shown before the long burn starts; the document waits for the end.
  if (!ctx.inv.json) ctx.con.Out("firmware before: " + *before + "\n");
  std::string text;

  HistoryEntry history{ctx, {}};
  history.record.vidPid = identity.vidPid.value_or(std::string());
  history.record.oldVersion = *before;
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(vorn::files::PathFromUtf8(file), ec);
  history.record.imagePath = ec ? file : vorn::files::PathToUtf8(absolute);
  history.record.imageSize = static_cast<int64_t>(source.image.size());
  history.record.verify = ctx.inv.verify;

  Progress progress{&ctx.con};
  const int status = vorn_uvc_BurnerFW(source.image.data(), static_cast<int>(source.image.size()), &OnProgress,
                                       &progress, ctx.inv.verify ? 1 : 0);
  progress.End();
  if (status != 0) {
    history.Write(vorn::firmware::BurnResult::BurnFailed);
    return Fail(ctx, {kExitFailed, "Failed to Update Firmware!"}, doc, text);
  }
  ctx.con.Err("Firmware Update Complete!\n");

  std::vector<std::string> failures;
  vorn::firmware::RunRestartSequence([&](const char* failure) { failures.emplace_back(failure); });
  session.AdoptRestarted();
  if (!failures.empty()) {
    history.Write(vorn::firmware::BurnResult::RestartFailed);
    std::string why;
    for (const std::string& f : failures) why += (why.empty() ? "" : " ") + f;
    return Fail(ctx, {kExitFailed, why}, doc, text);
  }
  if (auto f = session.Reselect()) {
    history.Write(vorn::firmware::BurnResult::Ok);
    return Fail(ctx, *f, doc, text);
  }
  const std::optional<std::string> after = session.Identity().firmware;
  history.Write(vorn::firmware::BurnResult::Ok, after);
  doc["after"] = OrNull(after);
  doc["changed"] = after && *after != *before;
  if (!after) return Fail(ctx, {kExitFailed, "can't read the firmware version after the update"}, doc, text);
  text = "firmware after:  " + *after + "\n";
  return Succeed(ctx, doc, text);
}

}  // namespace vorn::cli
