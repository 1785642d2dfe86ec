// snapshot: one picture from the camera, without a preview window.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "cli/commands.h"
#include "cli/frame_image.h"
#include "config/file_open.h"
#include "config/new_file.h"
#include "imaging/frame_store.h"

namespace vorn::cli {

namespace {

// Long enough for a slow first frame; a camera that sends none must not hang a script.
constexpr std::chrono::seconds kFrameWait{10};

// The frames of this run, handed over from the camera's thread.
struct FrameWait {
  std::mutex mutex;
  std::condition_variable arrived;
  std::uint64_t count = 0;
  vorn::FrameStore store;
};

std::atomic<FrameWait*> g_frames{nullptr};

int VORN_STDCALL OnFrame(const std::uint8_t* bytes, int count) {
  FrameWait* wait = g_frames.load();
  if (!wait) return 0;
  if (wait->store.Store(bytes, count)) {
    std::lock_guard<std::mutex> lock(wait->mutex);
    ++wait->count;
  }
  wait->arrived.notify_all();
  return 0;
}

// Frames until one is a whole picture of the wanted size, or the time is up.
std::optional<vorn::Frame> WaitForWholeFrame(FrameWait& wait, const Resolution& wanted) {
  const auto deadline = std::chrono::steady_clock::now() + kFrameWait;
  std::uint64_t seen = 0;
  std::unique_lock<std::mutex> lock(wait.mutex);
  while (wait.arrived.wait_until(lock, deadline, [&] { return wait.count > seen; })) {
    seen = wait.count;
    lock.unlock();
    vorn::Frame frame = wait.store.Latest();
    const std::optional<Resolution> size =
        frame ? WholeJpegSize(frame.data(), static_cast<std::size_t>(frame.size)) : std::nullopt;
    if (size && *size == wanted) return frame;
    lock.lock();
  }
  return std::nullopt;
}

const char* FormatWord(ImageFormat f) {
  switch (f) {
    case ImageFormat::Jpg: return "jpg";
    case ImageFormat::Png: return "png";
    case ImageFormat::Bmp: return "bmp";
  }
  return "";
}

std::string SizeText(const Resolution& r) { return std::to_string(r.width) + "x" + std::to_string(r.height); }

// Ends the preview whatever happens, and with it the frames.
class PreviewScope {
public:
  explicit PreviewScope(FrameWait& wait) { g_frames = &wait; }
  ~PreviewScope() { Stop(); }
  PreviewScope(const PreviewScope&) = delete;
  PreviewScope& operator=(const PreviewScope&) = delete;
  void Stop() {
    if (running) vorn_uvc_StopPreview();
    running = false;
    g_frames = nullptr;
  }
  bool running = false;
};

}  // namespace

int RunSnapshot(const Context& ctx) {
  const std::string& file = ctx.inv.operands.front();
  const std::optional<ImageFormat> format = FormatOfName(file);
  if (!format) return Fail(ctx, {kExitUsage, "'" + file + "': the name must end in .jpg, .png or .bmp"});
  const std::filesystem::path path = vorn::files::PathFromUtf8(file);
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
    return Fail(ctx, {kExitUsage, "'" + file + "' exists; not replaced"});

  FrameWait wait;
  CameraSession session;
  if (auto f = session.Start()) return Fail(ctx, *f);
  if (auto f = session.Select(ctx.inv.device)) return Fail(ctx, *f);
  if (auto f = session.Open(&OnFrame)) return Fail(ctx, *f);

  const std::optional<std::vector<Resolution>> resolutions = session.Resolutions();
  if (!resolutions || resolutions->empty()) return Fail(ctx, {kExitFailed, "can't read the preview resolutions"});
  std::size_t index = 0;
  if (ctx.inv.resolution) {
    const Resolution wanted = *ParseResolution(*ctx.inv.resolution);
    std::string offered;
    for (index = 0; index < resolutions->size() && !((*resolutions)[index] == wanted); ++index) {}
    if (index == resolutions->size()) {
      for (const Resolution& r : *resolutions) {
        if (!offered.empty()) offered += ' ';
        offered += SizeText(r);
      }
      return Fail(ctx, {kExitUsage, "the camera has no resolution " + SizeText(wanted) + "; it has " + offered});
    }
  }
  const Resolution size = (*resolutions)[index];
  if (vorn_uvc_setVideoFormat(0, static_cast<int>(index)) != 0)
    return Fail(ctx, {kExitFailed, "can't set the resolution " + SizeText(size)});

  PreviewScope preview(wait);
  if (vorn_uvc_StartPreview() != 0) return Fail(ctx, {kExitFailed, "can't start the picture"});
  preview.running = true;
  const std::optional<vorn::Frame> frame = WaitForWholeFrame(wait, size);
  preview.Stop();
  if (!frame)
    return Fail(ctx, {kExitFailed, "no whole " + SizeText(size) + " picture from the camera within " +
                                       std::to_string(kFrameWait.count()) + " seconds"});

  auto encoded = EncodeFrame(frame->data(), static_cast<std::size_t>(frame->size), *format);
  if (auto* why = std::get_if<std::string>(&encoded)) return Fail(ctx, {kExitFailed, *why});
  const std::vector<std::uint8_t>& bytes = std::get<std::vector<std::uint8_t>>(encoded);
  switch (vorn::files::WriteNewFile(path, bytes.data(), bytes.size())) {
    case vorn::files::NewFileResult::Written: break;
    case vorn::files::NewFileResult::Exists: return Fail(ctx, {kExitUsage, "'" + file + "' exists; not replaced"});
    case vorn::files::NewFileResult::Failed: return Fail(ctx, {kExitFailed, "can't write '" + file + "'"});
  }
  const Json doc = {{"file", file},          {"format", FormatWord(*format)}, {"width", size.width},
                    {"height", size.height}, {"bytes", bytes.size()}};
  return Succeed(ctx, doc,
                 file + ": " + SizeText(size) + " " + FormatWord(*format) + ", " + std::to_string(bytes.size()) +
                     " bytes\n");
}

}  // namespace vorn::cli
