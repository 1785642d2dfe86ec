// Frames delivered at full rate on one thread against snapshots taken in a
// loop on another: every snapshot must be one whole frame, its bytes and its
// length from the same delivery. Run under ThreadSanitizer as well, which
// also reports any access to the frame outside the hand-over.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "sim_video_decode.h"
#include "video_stream.h"
#include "imaging/frame_store.h"

namespace {

using Clock = std::chrono::steady_clock;

// Frame n: its sequence number and length in the first 8 bytes, then bytes
// that depend on both, so a torn frame (one delivery's length, another's
// bytes, or a buffer overwritten in place) fails the check somewhere.
uint8_t PatternByte(uint32_t sequence, uint32_t index) { return static_cast<uint8_t>(sequence * 131u + index * 7u); }

void FillFrame(std::vector<uint8_t>& frame, uint32_t sequence) {
    const uint32_t length = static_cast<uint32_t>(frame.size());
    std::memcpy(frame.data(), &sequence, 4);
    std::memcpy(frame.data() + 4, &length, 4);
    for (uint32_t i = 8; i < length; ++i) frame[i] = PatternByte(sequence, i);
}

// Empty when whole, else what is wrong.
std::string CheckWhole(const std::vector<uint8_t>& copy, int32_t size) {
    if (copy.size() != static_cast<size_t>(size)) return "copy length differs from the frame's size";
    if (size < 8) return "shorter than any frame delivered";
    uint32_t sequence = 0, length = 0;
    std::memcpy(&sequence, copy.data(), 4);
    std::memcpy(&length, copy.data() + 4, 4);
    if (length != static_cast<uint32_t>(size)) return "size of one frame, bytes of another";
    for (uint32_t i = 8; i < length; ++i)
        if (copy[i] != PatternByte(sequence, i)) return "bytes changed under the reader at " + std::to_string(i);
    return {};
}

TEST(FrameHandoverThreads, EverySnapshotIsOneWholeFrameWhileFramesArriveAtFullRate) {
    vorn::FrameStore store;
    std::atomic<bool> stop{false};
    std::atomic<uint32_t> delivered{0};
    std::thread camera([&] {
        std::vector<uint8_t> buffer;
        for (uint32_t n = 0; !stop.load(std::memory_order_relaxed); ++n) {
            // Lengths vary from a few bytes to a large frame.
            buffer.resize(8 + (n * 7919u) % 60000u);
            FillFrame(buffer, n);
            ASSERT_TRUE(store.Store(buffer.data(), static_cast<int32_t>(buffer.size())));
            delivered.store(n + 1, std::memory_order_relaxed);
        }
    });

    // The reader goes on until it has seen enough distinct frames: how many
    // snapshots that takes depends on how the scheduler shares the cores.
    constexpr int kDistinctWanted = 200;
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    int snapshots = 0;
    uint32_t lastSequence = 0;
    int distinct = 0;
    std::vector<uint8_t> saved;
    while (distinct < kDistinctWanted && Clock::now() < deadline) {
        vorn::Frame frame = store.Latest();
        if (!frame) {
            std::this_thread::yield();
            continue;
        }
        // What a JPG snapshot does with the frame: all of its bytes out.
        saved.assign(frame.data(), frame.data() + frame.size);
        std::string fault = CheckWhole(saved, frame.size);
        ASSERT_TRUE(fault.empty()) << fault << " (snapshot " << snapshots << ")";
        uint32_t sequence = 0;
        std::memcpy(&sequence, saved.data(), 4);
        if (snapshots > 0) {
            ASSERT_GE(sequence, lastSequence) << "an older frame came back (snapshot " << snapshots << ")";
        }
        if (snapshots == 0 || sequence != lastSequence) ++distinct;
        lastSequence = sequence;
        ++snapshots;
        // Give a starved writer a chance on a loaded machine.
        if (snapshots % 64 == 0) std::this_thread::yield();
    }
    stop = true;
    camera.join();
    // Only a writer that got no time at all for the whole deadline misses this.
    EXPECT_GE(distinct, kDistinctWanted) << snapshots << " snapshots, " << delivered.load() << " frames delivered";
}

// The same hand-over fed by the simulated camera's own stream thread with
// real JPEG frames at a high rate.
vorn::FrameStore* g_store = nullptr;

int VORN_STDCALL StoreFrame(const uint8_t* bytes, int count) {
    g_store->Store(bytes, count);
    return 0;
}

TEST(FrameHandoverThreads, SnapshotsOfTheSimulatedCamerasStreamAreWholePictures) {
    vorn::FrameStore store;
    g_store = &store;
    sonix_sim::VideoStream stream;
    sonix_sim::StreamConfig config;
    config.width = 320;
    config.height = 240;
    config.fps = 1000;
    config.callback = &StoreFrame;
    ASSERT_TRUE(stream.Start(config, [] { return sonix_sim::PictureSettings{}; },
                             [] { return sonix_sim::FrameFault::None; }));

    const auto deadline = Clock::now() + std::chrono::seconds(30);
    int snapshots = 0;
    int decoded = 0;
    // Snapshots go on until the camera has delivered a good number of
    // frames meanwhile, so they really ran against new frames.
    const uint64_t startFrames = stream.FramesDelivered();
    while ((snapshots < 400 || stream.FramesDelivered() < startFrames + 30) && Clock::now() < deadline) {
        vorn::Frame frame = store.Latest();
        if (!frame) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        std::vector<uint8_t> saved(frame.data(), frame.data() + frame.size);
        ASSERT_GE(saved.size(), 4u);
        // One whole JPEG picture: starts with its SOI marker, ends with EOI.
        ASSERT_EQ(saved[0], 0xFF);
        ASSERT_EQ(saved[1], 0xD8);
        ASSERT_EQ(saved[saved.size() - 2], 0xFF);
        ASSERT_EQ(saved[saved.size() - 1], 0xD9);
        // Decoding is slow under the sanitizer; every 40th is enough.
        if (snapshots % 40 == 0) {
            videotest::Picture picture = videotest::Decode(saved);
            ASSERT_TRUE(picture.ok);
            EXPECT_EQ(picture.width, 320);
            EXPECT_EQ(picture.height, 240);
            EXPECT_EQ(picture.warnings, 0);
            ++decoded;
        }
        ++snapshots;
    }
    const uint64_t frames = stream.FramesDelivered() - startFrames;
    stream.Stop();
    g_store = nullptr;
    EXPECT_GE(snapshots, 400);
    EXPECT_GE(decoded, 10);
    EXPECT_GE(frames, 30u);
}

}  // namespace
