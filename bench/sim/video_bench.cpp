// Cost of making the simulated camera's frames: milliseconds per frame and
// the share of one core the stream needs at 30 frames a second.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstring>
#include <thread>
#include <vector>

#include "video_scene.h"
#include "video_stream.h"

using namespace sonix_sim;

namespace {

constexpr int kQuality = 80;

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

// ms per frame from the measuring thread's CPU time, and that as a share
// of one core at 30 frames a second (ms per frame x 30 / 1000).
class PerFrame {
public:
    explicit PerFrame(benchmark::State& state) : state_(state), start_(ThreadCpuMs()) {}
    ~PerFrame() {
        const double ms = (ThreadCpuMs() - start_) / std::max<benchmark::IterationCount>(1, state_.iterations());
        state_.counters["ms_per_frame"] = ms;
        state_.counters["core_share_at_30fps"] = ms * 30 / 1000;
    }

private:
    benchmark::State& state_;
    double start_;
};

PictureSettings Settings(int frame, bool changing) {
    PictureSettings s;
    s.saturation.value = 60;
    if (changing) s.brightness.value = 40 + frame % 20;  // a slider being dragged
    return s;
}

void BM_Render(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const bool changing = state.range(2) != 0;
    SceneRenderer renderer;
    std::vector<uint8_t> rgb;
    int frame = 0;
    PerFrame perFrame(state);
    for (auto _ : state) {
        renderer.Render(Settings(frame, changing), w, h, frame, rgb);
        ++frame;
        benchmark::DoNotOptimize(rgb.data());
    }
}

void BM_Encode(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    std::vector<uint8_t> rgb, jpeg;
    RenderScene(Settings(0, false), w, h, 0, rgb);
    PerFrame perFrame(state);
    for (auto _ : state) {
        EncodeJpeg(rgb.data(), w, h, kQuality, jpeg);
        benchmark::DoNotOptimize(jpeg.data());
    }
    state.counters["jpeg_bytes"] = static_cast<double>(jpeg.size());
}

// What the stream thread does for each frame, painting aside.
void BM_RenderAndEncode(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const bool changing = state.range(2) != 0;
    SceneRenderer renderer;
    std::vector<uint8_t> rgb, jpeg;
    int frame = 0;
    PerFrame perFrame(state);
    for (auto _ : state) {
        renderer.Render(Settings(frame, changing), w, h, frame, rgb);
        EncodeJpeg(rgb.data(), w, h, kQuality, jpeg);
        ++frame;
        benchmark::DoNotOptimize(jpeg.data());
    }
}

std::vector<uint8_t> g_lastFrame;
int VORN_STDCALL CopyFrame(const uint8_t* data, int length) {
    g_lastFrame.assign(data, data + length);  // what the tool's callback does
    return 0;
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The real stream at 1280x800 and 30 fps for two seconds: the whole
// process's CPU time over the wall time is the share of one core it takes.
void BM_StreamAt30Fps(benchmark::State& state) {
    double share = 0;
    uint64_t frames = 0;
    for (auto _ : state) {
        VideoStream stream;
        StreamConfig config;
        config.width = 1280;
        config.height = 800;
        config.fps = 30;
        config.callback = CopyFrame;
        const double cpu0 = ProcessCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        stream.Start(config, [] { return Settings(0, false); }, nullptr);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        stream.Stop();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        share = (ProcessCpuSeconds() - cpu0) / wall;
        frames = stream.FramesDelivered();
    }
    state.counters["core_share"] = share;
    state.counters["frames_in_2s"] = static_cast<double>(frames);
}

}  // namespace

BENCHMARK(BM_Render)->Args({1280, 800, 0})->Args({1280, 800, 1})->Args({320, 240, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)->Args({1280, 800})->Args({320, 240})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderAndEncode)
    ->Args({1280, 800, 0})
    ->Args({1280, 800, 1})
    ->Args({320, 240, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamAt30Fps)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
