// Parts of the main window that need no window: the frame hand-over between
// the camera's thread and the window thread, and the firmware gate.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <chrono>
#include <thread>
#include <vector>

#include "window/main_dialog.h"

namespace {

TEST(FrameHandover, NoFrameBeforeTheFirstDelivery) {
    CVornControlsDlg dlg;
    vorn::Frame frame = dlg.LatestFrame();
    EXPECT_FALSE(frame);
    EXPECT_EQ(frame.size, 0);
}

TEST(FrameHandover, AnEmptyFrameReplacesTheLastOne) {
    CVornControlsDlg dlg;
    const uint8_t bytes[] = {0xFF, 0xD8, 0xFF, 0xD9};
    dlg.StoreFrame(bytes, 4);
    dlg.StoreFrame(nullptr, 0);
    vorn::Frame frame = dlg.LatestFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame.size, 0);
}

// Each frame is filled with one byte value derived from its length, so a
// reader can tell a torn frame (size of one, bytes of another) at once.
TEST(FrameHandover, ReadersAlwaysSeeOneWholeFrameWhileFramesArrive) {
    CVornControlsDlg dlg;
    std::atomic<bool> stop{false};
    std::thread camera([&] {
        std::vector<uint8_t> buffer;
        for (int n = 0; !stop; ++n) {
            int length = 1 + (n * 7919) % 5000;
            buffer.assign(static_cast<size_t>(length), static_cast<uint8_t>(length % 251));
            dlg.StoreFrame(buffer.data(), length);
        }
    });
    // Bounded wait for the first frame, then read while frames keep coming.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!dlg.LatestFrame() && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    ASSERT_TRUE(dlg.LatestFrame()) << "the writer thread stored no frame";
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        vorn::Frame frame = dlg.LatestFrame();
        if (!frame) continue;
        ASSERT_GT(frame.size, 0);
        const uint8_t expected = static_cast<uint8_t>(frame.size % 251);
        ASSERT_EQ(frame.data()[0], expected);
        ASSERT_EQ(frame.data()[frame.size - 1], expected);
        ++checked;
    }
    stop = true;
    camera.join();
    EXPECT_EQ(checked, 20000);
}

}  // namespace

namespace {

// The gate must stop at the end of the buffer it was given even when the
// library left no terminating zero: here the bytes just past the buffer
// would complete a build number that passes.
TEST(FirmwareGate, StopsAtTheEndOfAnUnterminatedBuffer) {
    struct {
        char firmware[60];
        char after[12];
    } memory;
    const std::string head = "Vorn-Corvanith-2";
    std::memset(memory.firmware, 'x', sizeof memory.firmware);
    std::memcpy(memory.firmware + sizeof memory.firmware - head.size(), head.data(), head.size());
    std::memcpy(memory.after, "99999K-1.3", 11);
    CVornControlsDlg dlg;
    EXPECT_FALSE(dlg.IsFirmwareNewer(memory.firmware, sizeof memory.firmware, 210810));
    // The same bytes with room for the whole number do pass.
    EXPECT_TRUE(dlg.IsFirmwareNewer(memory.firmware, sizeof memory, 210810));
}

}  // namespace
