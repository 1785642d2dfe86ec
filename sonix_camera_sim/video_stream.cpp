#include "video_stream.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "video_paint.h"
#include "video_scene.h"

namespace sonix_sim {
namespace {

constexpr int kJpegQuality = 80;
constexpr int kMaxSide = 8192;
constexpr double kDefaultFps = 30.0;
constexpr double kMinFps = 0.1;
constexpr double kMaxFps = 1000.0;

// Handed to the callback for an empty frame, so even a caller that copies
// without looking at the length gets a valid pointer.
const uint8_t kNoBytes[1] = {0};

}  // namespace

struct VideoStream::Impl {
    std::mutex control;  // one Start or Stop at a time
    std::thread thread;
    std::atomic<std::thread::id> streamId{};

    std::mutex wakeMutex;
    std::condition_variable wake;
    bool stopRequested = false;

    std::atomic<bool> running{false};
    std::atomic<uint64_t> delivered{0};

    void RequestStop() {
        {
            std::lock_guard<std::mutex> lock(wakeMutex);
            stopRequested = true;
        }
        wake.notify_all();
    }
    bool StopRequested() {
        std::lock_guard<std::mutex> lock(wakeMutex);
        return stopRequested;
    }
    // Caller holds `control` and is not the stream thread.
    void JoinLocked() {
        RequestStop();
        if (thread.joinable()) thread.join();
        running = false;
        streamId = std::thread::id{};
    }

    void Run(StreamConfig config, SettingsFn settingsFn, FaultFn faultFn);
};

void VideoStream::Impl::Run(StreamConfig config, SettingsFn settingsFn, FaultFn faultFn) {
    // Set here, not by Start after the thread exists: a thread that ended
    // at once would otherwise leave its id behind for a later thread.
    streamId = std::this_thread::get_id();
    // Forgotten on the way out: a later thread may be given the same id.
    struct Forget {
        std::atomic<std::thread::id>& id;
        ~Forget() { id = std::thread::id{}; }
    } forget{streamId};
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / config.fps));
    SceneRenderer renderer;
    FramePainter painter;
    std::vector<uint8_t> rgb;
    std::vector<uint8_t> jpeg;

    // Frame n is due at start + n periods, so the rate does not drift with
    // the time each frame takes. A stream that falls behind skips the slots
    // it missed instead of bursting to catch up.
    const Clock::time_point start = Clock::now();
    for (uint64_t n = 0;; ++n) {
        Clock::time_point due = start + period * static_cast<int64_t>(n);
        {
            std::unique_lock<std::mutex> lock(wakeMutex);
            if (wake.wait_until(lock, due, [this] { return stopRequested; })) return;
        }
        const Clock::time_point now = Clock::now();
        if (now - due > period * 2) {
            n = static_cast<uint64_t>((now - start) / period);
            due = start + period * static_cast<int64_t>(n);
        }

        PictureSettings settings;
        FrameFault fault = FrameFault::None;
        try {
            if (settingsFn) settings = settingsFn();
            if (faultFn) fault = faultFn();
        } catch (...) {
            // The picture goes on with what we have rather than ending the thread.
        }
        if (fault == FrameFault::Drop) continue;

        renderer.Render(settings, config.width, config.height, n, rgb);
        if (rgb.empty() || !EncodeJpeg(rgb.data(), config.width, config.height, kJpegQuality, jpeg)) continue;
        if (config.window != nullptr) painter.Paint(config.window, rgb.data(), config.width, config.height);

        // A stop that came in while this frame was made wins over its delivery.
        if (StopRequested()) return;
        if (config.callback != nullptr) {
            switch (fault) {
            case FrameFault::Truncate:
                // The end of the picture, end-of-image marker included, is lost.
                config.callback(jpeg.data(), static_cast<int>(jpeg.size() / 2));
                break;
            case FrameFault::Empty:
                config.callback(kNoBytes, 0);
                break;
            default:
                config.callback(jpeg.data(), static_cast<int>(jpeg.size()));
                break;
            }
        }
        ++delivered;
        if (config.delivered != nullptr) config.delivered->fetch_add(1, std::memory_order_relaxed);
    }
}

VideoStream::VideoStream() : impl_(std::make_unique<Impl>()) {}

VideoStream::~VideoStream() {
    if (std::this_thread::get_id() == impl_->streamId.load()) {
        // Destroyed from its own callback: the thread cannot join itself.
        impl_->RequestStop();
        impl_->thread.detach();
        (void)impl_.release();  // the detached thread still uses it
        return;
    }
    Stop();
}

bool VideoStream::Start(const StreamConfig& requested, SettingsFn settings, FaultFn fault) {
    if (std::this_thread::get_id() == impl_->streamId.load()) return false;
    std::lock_guard<std::mutex> lock(impl_->control);
    impl_->JoinLocked();

    StreamConfig config = requested;
    if (config.width <= 0 || config.height <= 0 || config.width > kMaxSide || config.height > kMaxSide) return false;
    if (!std::isfinite(config.fps) || config.fps <= 0) config.fps = kDefaultFps;
    config.fps = std::fmin(std::fmax(config.fps, kMinFps), kMaxFps);

    {
        std::lock_guard<std::mutex> wakeLock(impl_->wakeMutex);
        impl_->stopRequested = false;
    }
    impl_->delivered = 0;
    // Running before the thread exists: its first callback may stop the
    // stream before this call returns, and that stop must stand.
    impl_->running = true;
    try {
        impl_->thread = std::thread(&Impl::Run, impl_.get(), config, std::move(settings), std::move(fault));
    } catch (const std::exception&) {
        impl_->running = false;
        return false;
    }
    return true;
}

void VideoStream::Stop() {
    if (std::this_thread::get_id() == impl_->streamId.load()) {
        // From the stream's own callback: no further frame follows, and the
        // thread is joined by the next Start, Stop from elsewhere or the end.
        impl_->RequestStop();
        impl_->running = false;
        return;
    }
    std::lock_guard<std::mutex> lock(impl_->control);
    impl_->JoinLocked();
}

bool VideoStream::Running() const { return impl_->running; }

uint64_t VideoStream::FramesDelivered() const { return impl_->delivered; }

}  // namespace sonix_sim
