// The last frame the camera delivered, handed from the camera's thread to
// the window thread as one unit. Portable: no window code here.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

namespace vorn {

// One frame: its bytes and their count. The bytes never change once stored;
// whoever holds a Frame keeps its buffer alive, however many frames follow.
struct Frame {
    std::shared_ptr<const uint8_t[]> bytes;
    int32_t size = 0;

    const uint8_t* data() const { return bytes.get(); }
    // A frame arrived (it may still be empty: a camera can send 0 bytes).
    explicit operator bool() const { return bytes != nullptr; }
};

class FrameStore {
public:
    // Copies the frame into a fresh buffer of exactly `count` bytes (one
    // allocation, one copy) and makes it the latest. A frame whose buffer
    // can't be allocated, a negative count or missing bytes leave the
    // previous frame in place and give false. Called on the camera's
    // thread, so it never throws.
    bool Store(const uint8_t* bytes, int32_t count) noexcept;

    // The latest frame, or an empty Frame before the first one.
    Frame Latest() const noexcept;

    // Forgets the frame (the buffer lives on with its other holders).
    void Clear() noexcept;

private:
    mutable std::mutex mutex_;
    Frame latest_;
};

}  // namespace vorn
