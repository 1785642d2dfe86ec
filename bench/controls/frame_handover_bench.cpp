// Cost of the frame function's hand-over for one 1280x800 frame of the
// simulated camera (a real JPEG picture), against a plain copy of the same
// bytes into a buffer that already exists. The hand-over is one allocation,
// one copy and a pointer swap under the lock; the target is under twice the
// plain copy.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "video_stream.h"
#include "imaging/frame_store.h"

namespace {

const std::vector<uint8_t>& Frame1280x800() {
    static const std::vector<uint8_t> jpeg = [] {
        std::vector<uint8_t> rgb, out;
        sonix_sim::RenderScene(sonix_sim::PictureSettings{}, 1280, 800, 7, rgb);
        sonix_sim::EncodeJpeg(rgb.data(), 1280, 800, 80, out);
        return out;
    }();
    return jpeg;
}

void Bytes(benchmark::State& state, size_t n) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * n));
    state.counters["frame_bytes"] = static_cast<double>(n);
}

void BM_PlainMemcpy(benchmark::State& state) {
    const auto& frame = Frame1280x800();
    std::vector<uint8_t> target(frame.size());
    for (auto _ : state) {
        std::memcpy(target.data(), frame.data(), frame.size());
        benchmark::ClobberMemory();
    }
    Bytes(state, frame.size());
}
BENCHMARK(BM_PlainMemcpy);

void BM_FrameHandover(benchmark::State& state) {
    const auto& frame = Frame1280x800();
    vorn::FrameStore store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.Store(frame.data(), static_cast<int32_t>(frame.size())));
        benchmark::ClobberMemory();
    }
    Bytes(state, frame.size());
}
BENCHMARK(BM_FrameHandover);

// The same while the window thread takes the frame as fast as it can (a
// snapshot holding it keeps the old buffer alive past the next swap).
void BM_FrameHandoverWithReader(benchmark::State& state) {
    const auto& frame = Frame1280x800();
    vorn::FrameStore store;
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop.load(std::memory_order_relaxed)) {
            vorn::Frame f = store.Latest();
            benchmark::DoNotOptimize(f.data());
        }
    });
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.Store(frame.data(), static_cast<int32_t>(frame.size())));
        benchmark::ClobberMemory();
    }
    stop = true;
    reader.join();
    Bytes(state, frame.size());
}
BENCHMARK(BM_FrameHandoverWithReader);

}  // namespace

BENCHMARK_MAIN();
