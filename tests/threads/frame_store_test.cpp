// The frame store on one thread: what a stored frame holds, what a refused
// one leaves behind, and how long a frame a reader holds lives.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/frame_store.h"

// Allocations of at least this many bytes fail while it is non-zero, so a
// test can make the frame buffer's allocation fail and nothing else.
static std::atomic<size_t> g_failAllocationsFrom{0};

// new and delete over malloc and free, as a pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
    size_t limit = g_failAllocationsFrom.load();
    if (limit != 0 && size >= limit) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

std::vector<uint8_t> Contents(const vorn::Frame& frame) {
    return frame ? std::vector<uint8_t>(frame.data(), frame.data() + frame.size) : std::vector<uint8_t>();
}

TEST(FrameStore, NothingBeforeTheFirstFrame) {
    vorn::FrameStore store;
    vorn::Frame frame = store.Latest();
    EXPECT_FALSE(frame);
    EXPECT_EQ(frame.size, 0);
}

// Each row stores a sequence of deliveries and names what the latest frame
// holds afterwards and which deliveries were refused.
struct Delivery {
    std::vector<uint8_t> bytes;
    int32_t count;  // may differ from bytes.size() to model a bad call
    bool nullBytes;
    bool accepted;
};

TEST(FrameStore, LatestFrameAfterASequenceOfDeliveries) {
    const auto jpeg = Bytes({0xFF, 0xD8, 0x01, 0x02, 0xFF, 0xD9});
    const auto other = Bytes({0xFF, 0xD8, 0x09, 0xFF, 0xD9});
    struct Case {
        const char* name;
        std::vector<Delivery> deliveries;
        bool present;
        std::vector<uint8_t> latest;
    } cases[] = {
        {"one frame", {{jpeg, 6, false, true}}, true, jpeg},
        {"the newer frame wins", {{jpeg, 6, false, true}, {other, 5, false, true}}, true, other},
        {"only count bytes are taken", {{jpeg, 3, false, true}}, true, Bytes({0xFF, 0xD8, 0x01})},
        {"an empty frame replaces the last", {{jpeg, 6, false, true}, {{}, 0, true, true}}, true, {}},
        {"a negative count is refused", {{jpeg, 6, false, true}, {jpeg, -1, false, false}}, true, jpeg},
        {"missing bytes are refused", {{jpeg, 6, false, true}, {{}, 4, true, false}}, true, jpeg},
        {"a refused first frame leaves none", {{{}, 10, true, false}}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vorn::FrameStore store;
        for (const Delivery& d : c.deliveries)
            EXPECT_EQ(store.Store(d.nullBytes ? nullptr : d.bytes.data(), d.count), d.accepted);
        vorn::Frame frame = store.Latest();
        EXPECT_EQ(static_cast<bool>(frame), c.present);
        EXPECT_EQ(frame.size, static_cast<int32_t>(c.latest.size()));
        EXPECT_EQ(Contents(frame), c.latest);
    }
}

TEST(FrameStore, KeepsItsOwnCopyOfTheCallersBuffer) {
    vorn::FrameStore store;
    auto buffer = Bytes({1, 2, 3, 4});
    ASSERT_TRUE(store.Store(buffer.data(), 4));
    // The camera library reuses its buffer for the next frame.
    std::memset(buffer.data(), 0xEE, buffer.size());
    EXPECT_EQ(Contents(store.Latest()), Bytes({1, 2, 3, 4}));
}

TEST(FrameStore, AFrameAReaderHoldsOutlivesNewerFramesAndClear) {
    vorn::FrameStore store;
    const auto first = Bytes({7, 7, 7});
    store.Store(first.data(), 3);
    vorn::Frame held = store.Latest();
    const auto second = Bytes({8, 8});
    store.Store(second.data(), 2);
    store.Clear();
    EXPECT_FALSE(store.Latest());
    EXPECT_EQ(Contents(held), first);
}

TEST(FrameStore, AFrameWhoseBufferCantBeAllocatedIsDroppedWithoutThrowing) {
    vorn::FrameStore store;
    const auto small = Bytes({1, 2, 3});
    ASSERT_TRUE(store.Store(small.data(), 3));
    std::vector<uint8_t> big(1 << 20, 0x5A);
    g_failAllocationsFrom = big.size();
    bool stored = true;
    EXPECT_NO_THROW(stored = store.Store(big.data(), static_cast<int32_t>(big.size())));
    g_failAllocationsFrom = 0;
    EXPECT_FALSE(stored);
    EXPECT_EQ(Contents(store.Latest()), small);
    // Memory back: the next frame goes through.
    EXPECT_TRUE(store.Store(big.data(), static_cast<int32_t>(big.size())));
    EXPECT_EQ(store.Latest().size, static_cast<int32_t>(big.size()));
}

}  // namespace
