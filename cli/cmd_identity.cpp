// list and info: which cameras there are and what one of them is.
#include "cli/commands.h"

namespace vorn::cli {

namespace {

Json OrNull(const std::optional<std::string>& s) { return s ? Json(*s) : Json(nullptr); }
std::string OrUnknown(const std::optional<std::string>& s) { return s ? *s : "(unknown)"; }

}  // namespace

std::optional<Failure> StartSession(const Context& ctx, CameraSession& session, bool open) {
  if (auto f = session.Start()) return f;
  if (auto f = session.Select(ctx.inv.device)) return f;
  if (open) return session.Open();
  return std::nullopt;
}

int RunList(const Context& ctx) {
  CameraSession session;
  if (auto f = session.Start()) return Fail(ctx, *f, Json::array());
  Json doc = Json::array();
  std::vector<std::vector<std::string>> rows = {{"#", "product", "firmware", "vid/pid"}};
  for (size_t i = 0; i < session.usableSlots().size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    if (auto f = session.Select(number)) return Fail(ctx, *f, doc);
    const CameraIdentity id = session.Identity();
    doc.push_back({{"number", number}, {"product", id.product}, {"firmware", OrNull(id.firmware)},
                   {"vid_pid", OrNull(id.vidPid)}});
    rows.push_back({std::to_string(number), id.product, OrUnknown(id.firmware), OrUnknown(id.vidPid)});
  }
  // No camera is no failure for a list: scripts count the entries.
  return Succeed(ctx, doc, rows.size() > 1 ? Table(rows) : "no camera found\n");
}

int RunInfo(const Context& ctx) {
  CameraSession session;
  if (auto f = StartSession(ctx, session, true)) return Fail(ctx, *f);
  const CameraIdentity id = session.Identity();
  const std::optional<std::vector<Resolution>> resolutions = session.Resolutions();
  if (!resolutions) return Fail(ctx, {kExitFailed, "can't read the preview resolutions"});
  int flashType = 0;
  if (vorn_uvc_getSerialFlashType(&flashType) != 0) return Fail(ctx, {kExitFailed, "can't read the flash type"});

  Json list = Json::array();
  std::string listText;
  for (const Resolution& r : *resolutions) {
    list.push_back({{"width", r.width}, {"height", r.height}});
    if (!listText.empty()) listText += ' ';
    listText += std::to_string(r.width) + "x" + std::to_string(r.height);
  }
  const Json doc = {{"number", id.number},          {"product", id.product}, {"firmware", OrNull(id.firmware)},
                    {"vid_pid", OrNull(id.vidPid)}, {"resolutions", list},   {"flash_type", flashType}};
  const std::string text = Table({{"camera", std::to_string(id.number)},
                                  {"product", id.product},
                                  {"firmware", OrUnknown(id.firmware)},
                                  {"vid/pid", OrUnknown(id.vidPid)},
                                  {"resolutions", listText},
                                  {"flash type", std::to_string(flashType)}});
  return Succeed(ctx, doc, text);
}

}  // namespace vorn::cli
