// The simulated camera's live video: frames are real JPEG pictures of the
// asked size that follow the settings, arrive at about the asked rate, stop
// for good when the stream stops, and break as the faults ask.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "video_paint.h"
#include "video_scene.h"
#include "video_stream.h"

#include "sim_video_decode.h"

using namespace sonix_sim;
using videotest::Decode;
using videotest::MeanLuma;
using videotest::Picture;
using namespace std::chrono_literals;

namespace {

std::vector<uint8_t> Frame(const PictureSettings& s, int w, int h, uint64_t index = 7) {
    std::vector<uint8_t> rgb, jpeg;
    RenderScene(s, w, h, index, rgb);
    EXPECT_TRUE(EncodeJpeg(rgb.data(), w, h, 80, jpeg));
    return jpeg;
}

double MeanChannel(const Picture& p, int ch) {
    double sum = 0;
    for (size_t i = ch; i < p.rgb.size(); i += 3) sum += p.rgb[i];
    return sum / (p.rgb.size() / 3);
}
double LumaSpread(const Picture& p) {
    const double mean = MeanLuma(p);
    double sq = 0;
    for (size_t i = 0; i + 2 < p.rgb.size(); i += 3) {
        const double y = 0.299 * p.rgb[i] + 0.587 * p.rgb[i + 1] + 0.114 * p.rgb[i + 2];
        sq += (y - mean) * (y - mean);
    }
    return std::sqrt(sq / (p.rgb.size() / 3));
}
double Colourfulness(const Picture& p) {
    double sum = 0;
    for (size_t i = 0; i + 2 < p.rgb.size(); i += 3) {
        const int hi = std::max({p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]});
        const int lo = std::min({p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]});
        sum += hi - lo;
    }
    return sum / (p.rgb.size() / 3);
}
// Mean step between horizontal neighbours: fine detail and edges.
double Detail(const Picture& p) {
    double sum = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 1; x < p.width; ++x) {
            const size_t i = (static_cast<size_t>(y) * p.width + x) * 3 + 1;
            sum += std::abs(p.rgb[i] - p.rgb[i - 3]);
        }
    return sum / (static_cast<double>(p.width - 1) * p.height);
}
double MeanAbsDiff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
    return sum / a.size();
}
std::vector<uint8_t> HalfTurn(const Picture& p) {
    std::vector<uint8_t> out(p.rgb.size());
    const size_t n = p.rgb.size() / 3;
    for (size_t i = 0; i < n; ++i) std::memcpy(&out[i * 3], &p.rgb[(n - 1 - i) * 3], 3);
    return out;
}

bool HasMarker(const std::vector<uint8_t>& jpeg, uint8_t code) {
    for (size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return true;
    return false;
}
bool EndsWithEoi(const uint8_t* data, int length) {
    return length >= 2 && data[length - 2] == 0xFF && data[length - 1] == 0xD9;
}

// What the callback saw, for the C callback the stream calls.
struct Sink {
    std::mutex mutex;
    std::vector<std::vector<uint8_t>> frames;
    std::atomic<int> calls{0};
    std::atomic<int> inside{0};
    std::atomic<int> sleepMs{0};
    void Reset() {
        std::lock_guard<std::mutex> lock(mutex);
        frames.clear();
        calls = 0;
        inside = 0;
        sleepMs = 0;
    }
};
Sink g_sink;

int VORN_STDCALL Record(const uint8_t* data, int length) {
    ++g_sink.inside;
    {
        std::lock_guard<std::mutex> lock(g_sink.mutex);
        if (g_sink.frames.size() < 64) g_sink.frames.emplace_back(data, data + length);
    }
    if (g_sink.sleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(g_sink.sleepMs.load()));
    ++g_sink.calls;
    --g_sink.inside;
    return 0;
}

template <typename Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit = 30000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

class VideoStreamTest : public ::testing::Test {
protected:
    void SetUp() override { g_sink.Reset(); }
    StreamConfig Config(int w, int h, double fps) {
        StreamConfig c;
        c.width = w;
        c.height = h;
        c.fps = fps;
        c.callback = Record;
        return c;
    }
};

}  // namespace

TEST(VideoPicture, FramesAreBaselineJpegOfTheAskedSize) {
    const struct {
        int w, h;
    } sizes[] = {{1280, 800}, {320, 240}, {800, 600}, {17, 9}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.w << "x" << size.h);
        std::vector<uint8_t> rgb, jpeg;
        RenderScene(PictureSettings{}, size.w, size.h, 3, rgb);
        ASSERT_EQ(rgb.size(), static_cast<size_t>(size.w) * size.h * 3);
        ASSERT_TRUE(EncodeJpeg(rgb.data(), size.w, size.h, 80, jpeg));
        EXPECT_TRUE(HasMarker(jpeg, 0xC0)) << "baseline frame header";
        EXPECT_FALSE(HasMarker(jpeg, 0xC2)) << "no progressive frame header";
        EXPECT_TRUE(EndsWithEoi(jpeg.data(), static_cast<int>(jpeg.size())));
        const Picture p = Decode(jpeg);
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.width, size.w);
        EXPECT_EQ(p.height, size.h);
        EXPECT_EQ(p.warnings, 0);
        // The decoded picture is the rendered one, channels in order.
        if (size.w >= 320) {
            EXPECT_LT(MeanAbsDiff(p.rgb, rgb), 6.0);
        }
    }
}

TEST(VideoPicture, BadSizesGiveNoPicture) {
    std::vector<uint8_t> rgb{1, 2, 3}, jpeg{1};
    RenderScene(PictureSettings{}, 0, 240, 0, rgb);
    EXPECT_TRUE(rgb.empty());
    RenderScene(PictureSettings{}, 320, -1, 0, rgb);
    EXPECT_TRUE(rgb.empty());
    EXPECT_FALSE(EncodeJpeg(nullptr, 320, 240, 80, jpeg));
    EXPECT_TRUE(jpeg.empty());
    const uint8_t px[3] = {1, 2, 3};
    EXPECT_FALSE(EncodeJpeg(px, 1, 0, 80, jpeg));
}

TEST(VideoPicture, SettingsVisiblyChangeThePicture) {
    using Metric = double (*)(const Picture&);
    const Metric luma = MeanLuma, spread = LumaSpread, colour = Colourfulness, detail = Detail;
    const Metric red = [](const Picture& p) { return MeanChannel(p, 0) - MeanChannel(p, 1); };
    const Metric blue = [](const Picture& p) { return MeanChannel(p, 2) - MeanChannel(p, 1); };
    struct Case {
        const char* name;
        void (*change)(PictureSettings&);
        Metric metric;
        int direction;  // +1: the metric must rise, -1: fall
    };
    const Case cases[] = {
        {"brightness up", [](PictureSettings& s) { s.brightness.value = 80; }, luma, +1},
        {"brightness down", [](PictureSettings& s) { s.brightness.value = 10; }, luma, -1},
        {"contrast up", [](PictureSettings& s) { s.contrast.value = 90; }, spread, +1},
        {"contrast down", [](PictureSettings& s) { s.contrast.value = 5; }, spread, -1},
        {"saturation up", [](PictureSettings& s) { s.saturation.value = 100; }, colour, +1},
        {"saturation off", [](PictureSettings& s) { s.saturation.value = 0; }, colour, -1},
        {"sharpness up", [](PictureSettings& s) { s.sharpness.value = 100; }, detail, +1},
        {"sharpness down", [](PictureSettings& s) { s.sharpness.value = 0; }, detail, -1},
        {"gamma up", [](PictureSettings& s) { s.gamma.value = 100; }, luma, -1},
        {"gamma down", [](PictureSettings& s) { s.gamma.value = 0; }, luma, +1},
        {"red gain", [](PictureSettings& s) { s.gainRed = 400; }, red, +1},
        {"blue gain", [](PictureSettings& s) { s.gainBlue = 400; }, blue, +1},
        {"green gain", [](PictureSettings& s) { s.gainGreen = 400; }, red, -1},
        {"manual exposure long",
         [](PictureSettings& s) {
             s.autoExposure = false;
             s.exposureStep = -3;
         },
         luma, +1},
        {"manual exposure short",
         [](PictureSettings& s) {
             s.autoExposure = false;
             s.exposureStep = -12;
         },
         luma, -1},
        {"illumination", [](PictureSettings& s) { s.illumination = true; }, luma, +1},
    };
    const Picture neutral = Decode(Frame(PictureSettings{}, 320, 240));
    ASSERT_TRUE(neutral.ok);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PictureSettings s;
        c.change(s);
        const Picture changed = Decode(Frame(s, 320, 240));
        ASSERT_TRUE(changed.ok);
        const double before = c.metric(neutral), after = c.metric(changed);
        if (c.direction > 0)
            EXPECT_GT(after, before * 1.05 + 1.0);
        else
            EXPECT_LT(after, before * 0.95 - 1.0);
    }
}

TEST(VideoPicture, ExposureStepIgnoredWhileAutomatic) {
    PictureSettings a, b;
    a.exposureStep = -13;
    b.exposureStep = -1;
    EXPECT_EQ(Frame(a, 160, 120), Frame(b, 160, 120));
}

TEST(VideoPicture, GainsAtTheLightingsBalanceAreNeutral) {
    PictureSettings balanced;
    balanced.balancedRed = balanced.gainRed = 310;
    balanced.balancedBlue = balanced.gainBlue = 420;
    EXPECT_EQ(Frame(balanced, 160, 120), Frame(PictureSettings{}, 160, 120));
    // Unity gains under that light leave its warm cast: more red than blue.
    PictureSettings raw = balanced;
    raw.gainRed = raw.gainBlue = 256;
    const Picture p = Decode(Frame(raw, 160, 120));
    EXPECT_GT(MeanChannel(p, 0), MeanChannel(p, 2) + 10);
}

TEST(VideoPicture, OutOfRangeKnobsAreClamped) {
    PictureSettings wild, extreme;
    wild.brightness.value = 100000;
    extreme.brightness.value = 100;
    wild.gainRed = -5;
    extreme.gainRed = 0;
    EXPECT_EQ(Frame(wild, 160, 120), Frame(extreme, 160, 120));
    // A degenerate range (min == max == default) is simply neutral.
    PictureSettings flat;
    flat.contrast = Knob{7, 7, 7, 7};
    EXPECT_EQ(Frame(flat, 160, 120), Frame(PictureSettings{}, 160, 120));
}

TEST(VideoPicture, RotationTurnsThePictureByHalfATurn) {
    for (const auto& size : {std::pair{320, 240}, std::pair{1280, 800}}) {
        SCOPED_TRACE(size.first);
        PictureSettings turned;
        turned.rotate180 = true;
        const Picture upright = Decode(Frame(PictureSettings{}, size.first, size.second));
        const Picture rotated = Decode(Frame(turned, size.first, size.second));
        ASSERT_TRUE(upright.ok && rotated.ok);
        // Same picture turned, within what the compression changes...
        EXPECT_LT(MeanAbsDiff(rotated.rgb, HalfTurn(upright)), 4.0);
        // ...and the scene is lopsided enough that the turn shows.
        EXPECT_GT(MeanAbsDiff(rotated.rgb, upright.rgb), 25.0);
    }
}

TEST(VideoPicture, MovingPartsChangeFromFrameToFrame) {
    std::vector<uint8_t> a, b;
    RenderScene(PictureSettings{}, 320, 240, 10, a);
    RenderScene(PictureSettings{}, 320, 240, 11, b);
    EXPECT_NE(a, b);
    // Only a small part of the picture moves.
    EXPECT_LT(MeanAbsDiff(a, b), 5.0);
}

TEST(VideoPicture, BottomUpBgrLayout) {
    // 5 pixels wide: 15 bytes a row, padded to 16.
    std::vector<uint8_t> rgb(5 * 2 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i + 1);
    std::vector<uint8_t> dib;
    RgbToBottomUpBgr(rgb.data(), 5, 2, dib);
    ASSERT_EQ(dib.size(), 32u);
    // First stored row is the picture's bottom row, pixels as B, G, R.
    EXPECT_EQ(dib[0], rgb[15 + 2]);
    EXPECT_EQ(dib[1], rgb[15 + 1]);
    EXPECT_EQ(dib[2], rgb[15 + 0]);
    EXPECT_EQ(dib[15], 0) << "row padding";
    EXPECT_EQ(dib[16], rgb[2]);
    EXPECT_EQ(dib[16 + 14], rgb[12]);
}

TEST_F(VideoStreamTest, DeliversDecodableFramesOfTheChosenSize) {
    for (const auto& size : {std::pair{1280, 800}, std::pair{320, 240}}) {
        SCOPED_TRACE(size.first);
        g_sink.Reset();
        VideoStream stream;
        ASSERT_TRUE(stream.Start(Config(size.first, size.second, 60), nullptr, nullptr));
        EXPECT_TRUE(stream.Running());
        ASSERT_TRUE(WaitFor([] { return g_sink.calls >= 2; }));
        stream.Stop();
        EXPECT_FALSE(stream.Running());
        std::lock_guard<std::mutex> lock(g_sink.mutex);
        ASSERT_GE(g_sink.frames.size(), 2u);
        EXPECT_EQ(stream.FramesDelivered(), g_sink.frames.size());
        const Picture p = Decode(g_sink.frames[1]);
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.width, size.first);
        EXPECT_EQ(p.height, size.second);
        EXPECT_NE(g_sink.frames[0], g_sink.frames[1]) << "the picture moves";
    }
}

TEST_F(VideoStreamTest, SettingsAreSampledForEveryFrame) {
    std::atomic<int> brightness{50};
    std::atomic<int> samples{0};
    VideoStream stream;
    ASSERT_TRUE(stream.Start(Config(160, 120, 100), [&] {
        ++samples;
        PictureSettings s;
        s.brightness.value = brightness;
        return s;
    }, nullptr));
    ASSERT_TRUE(WaitFor([] { return g_sink.calls >= 2; }));
    brightness = 100;
    const int seen = g_sink.calls;
    ASSERT_TRUE(WaitFor([&] { return g_sink.calls >= seen + 3; }));
    stream.Stop();
    EXPECT_GE(samples.load(), g_sink.calls.load());
    std::lock_guard<std::mutex> lock(g_sink.mutex);
    EXPECT_GT(MeanLuma(Decode(g_sink.frames.back())), MeanLuma(Decode(g_sink.frames.front())) + 20);
}

TEST_F(VideoStreamTest, RateIsNeverFasterThanAsked) {
    // The stream paces itself by the clock and skips slots it missed, so
    // however the machine is loaded, k frames after the first take at least
    // about k periods. A slower rate is left to the benchmark: a busy
    // machine may starve the thread.
    const struct {
        double fps;
        int frames;
        double paced;  // fps the stream should use
    } cases[] = {{30, 8, 30}, {240, 40, 240}, {0, 8, 30} /* not positive: 30 */};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fps);
        g_sink.Reset();
        VideoStream stream;
        ASSERT_TRUE(stream.Start(Config(160, 120, c.fps), nullptr, nullptr));
        ASSERT_TRUE(WaitFor([] { return g_sink.calls >= 1; }));
        const auto first = std::chrono::steady_clock::now();
        const int start = g_sink.calls;
        ASSERT_TRUE(WaitFor([&] { return g_sink.calls >= start + c.frames; }));
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - first).count();
        stream.Stop();
        // One period of slack for the first frame's own lateness.
        EXPECT_GE(took, (c.frames - 1) / c.paced * 0.9) << c.frames << " frames";
    }
}

TEST_F(VideoStreamTest, NoCallbackAfterStopReturns) {
    g_sink.sleepMs = 40;
    VideoStream stream;
    ASSERT_TRUE(stream.Start(Config(160, 120, 200), nullptr, nullptr));
    ASSERT_TRUE(WaitFor([] { return g_sink.inside > 0; }));
    // Stopped from another thread while a callback sleeps inside.
    std::thread stopper([&] { stream.Stop(); });
    stopper.join();
    EXPECT_EQ(g_sink.inside.load(), 0);
    const int after = g_sink.calls;
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(g_sink.calls.load(), after);
    EXPECT_FALSE(stream.Running());
    stream.Stop();  // again: nothing to do
}

TEST_F(VideoStreamTest, StopsFromSeveralThreadsAtOnceAndRestarts) {
    VideoStream stream;
    ASSERT_TRUE(stream.Start(Config(160, 120, 200), nullptr, nullptr));
    ASSERT_TRUE(WaitFor([] { return g_sink.calls >= 1; }));
    std::vector<std::thread> stoppers;
    for (int i = 0; i < 4; ++i) stoppers.emplace_back([&] { stream.Stop(); });
    for (auto& t : stoppers) t.join();
    EXPECT_EQ(g_sink.inside.load(), 0);
    const int before = g_sink.calls;
    ASSERT_TRUE(stream.Start(Config(160, 120, 200), nullptr, nullptr));
    EXPECT_TRUE(WaitFor([&] { return g_sink.calls > before; }));
    // A second Start replaces the running stream rather than adding one.
    ASSERT_TRUE(stream.Start(Config(320, 240, 200), nullptr, nullptr));
    EXPECT_TRUE(stream.Running());
    stream.Stop();
    EXPECT_EQ(g_sink.inside.load(), 0);
}

namespace {
VideoStream* g_selfStopping = nullptr;
std::atomic<int> g_selfCalls{0};
int VORN_STDCALL StopFromInside(const uint8_t*, int) {
    g_selfStopping->Stop();
    ++g_selfCalls;  // after the stop, so a caller who sees it sees the stop
    return 0;
}
}  // namespace

TEST_F(VideoStreamTest, StopFromItsOwnCallbackEndsTheStream) {
    VideoStream stream;
    g_selfStopping = &stream;
    StreamConfig c = Config(160, 120, 200);
    c.callback = StopFromInside;
    // The first frame comes at once, often before Start has returned; many
    // starts give that order its chance.
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        g_selfCalls = 0;
        ASSERT_TRUE(stream.Start(c, nullptr, nullptr));
        ASSERT_TRUE(WaitFor([] { return g_selfCalls >= 1; }));
        EXPECT_FALSE(stream.Running());
    }
    // A second frame after the stop would come within this pause.
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(g_selfCalls.load(), 1);
    EXPECT_FALSE(stream.Running());
    stream.Stop();
}

TEST_F(VideoStreamTest, DestroyedWhileRunningStopsFirst) {
    g_sink.sleepMs = 20;
    {
        VideoStream stream;
        ASSERT_TRUE(stream.Start(Config(160, 120, 200), nullptr, nullptr));
        ASSERT_TRUE(WaitFor([] { return g_sink.inside > 0; }));
    }
    EXPECT_EQ(g_sink.inside.load(), 0);
    const int after = g_sink.calls;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(g_sink.calls.load(), after);
}

TEST_F(VideoStreamTest, RefusesSizesItCannotMake) {
    VideoStream stream;
    EXPECT_FALSE(stream.Start(Config(0, 240, 30), nullptr, nullptr));
    EXPECT_FALSE(stream.Start(Config(320, 100000, 30), nullptr, nullptr));
    EXPECT_FALSE(stream.Running());
    stream.Stop();
}

TEST_F(VideoStreamTest, RunsWithoutCallbackOrWindow) {
    VideoStream stream;
    StreamConfig c = Config(160, 120, 200);
    c.callback = nullptr;
    ASSERT_TRUE(stream.Start(c, nullptr, nullptr));
    EXPECT_TRUE(WaitFor([&] { return stream.FramesDelivered() >= 3; }));
    stream.Stop();
}

TEST_F(VideoStreamTest, FaultsDropTruncateAndEmptyFrames) {
    // Fault per frame in order, then healthy frames.
    const FrameFault script[] = {FrameFault::None, FrameFault::Drop, FrameFault::Truncate, FrameFault::Drop,
                                 FrameFault::Empty, FrameFault::None};
    std::atomic<size_t> next{0};
    VideoStream stream;
    ASSERT_TRUE(stream.Start(Config(320, 240, 200), nullptr, [&] {
        const size_t i = next++;
        return i < std::size(script) ? script[i] : FrameFault::None;
    }));
    ASSERT_TRUE(WaitFor([] { return g_sink.calls >= 5; }));
    stream.Stop();
    std::lock_guard<std::mutex> lock(g_sink.mutex);
    ASSERT_GE(g_sink.frames.size(), 5u);
    // Two drops: six frames made, four delivered before the healthy ones.
    const auto& whole = g_sink.frames[0];
    const auto& truncated = g_sink.frames[1];
    const auto& empty = g_sink.frames[2];
    const auto& healthy = g_sink.frames[3];
    EXPECT_TRUE(EndsWithEoi(whole.data(), static_cast<int>(whole.size())));
    EXPECT_TRUE(Decode(whole).ok);
    EXPECT_EQ(Decode(whole).warnings, 0);

    EXPECT_GT(truncated.size(), 0u);
    EXPECT_LT(truncated.size(), whole.size() * 3 / 4);
    EXPECT_FALSE(EndsWithEoi(truncated.data(), static_cast<int>(truncated.size())));
    EXPECT_EQ(0, std::memcmp(truncated.data(), whole.data(), 2)) << "still starts as a JPEG";
#ifndef _WIN32
    const Picture damaged = Decode(truncated);
    EXPECT_TRUE(!damaged.ok || damaged.warnings > 0);
#endif
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(EndsWithEoi(healthy.data(), static_cast<int>(healthy.size())));
    EXPECT_EQ(stream.FramesDelivered(), g_sink.frames.size());
}

TEST_F(VideoStreamTest, ThrowingSettingsDoNotEndTheStream) {
    VideoStream stream;
    ASSERT_TRUE(stream.Start(Config(160, 120, 200), []() -> PictureSettings { throw std::runtime_error("gone"); },
                             nullptr));
    EXPECT_TRUE(WaitFor([] { return g_sink.calls >= 3; }));
    stream.Stop();
}

#ifdef _WIN32
#include <windows.h>

namespace {
COLORREF Sample(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}
bool Yellowish(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 170 && GetBValue(c) < 100; }
void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}
}  // namespace

TEST_F(VideoStreamTest, PaintsThePictureScaledIntoTheWindow) {
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 160, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    Pump();
    for (bool turned : {false, true}) {
        SCOPED_TRACE(turned);
        VideoStream stream;
        StreamConfig c = Config(320, 200, 60);
        c.window = window;
        PictureSettings s;
        s.rotate180 = turned;
        ASSERT_TRUE(stream.Start(c, [s] { return s; }, nullptr));
        const int start = g_sink.calls;
        ASSERT_TRUE(WaitFor([&] {
            Pump();
            return g_sink.calls >= start + 3;
        }));
        stream.Stop();
        // The marker of the top-left corner, shrunk to half, at its corner.
        const COLORREF corner = Sample(window, 3, 3), opposite = Sample(window, 156, 96);
        EXPECT_EQ(Yellowish(corner), !turned) << std::hex << corner;
        EXPECT_EQ(Yellowish(opposite), turned) << std::hex << opposite;
    }
    DestroyWindow(window);
}
#endif
