#include "imaging/frame_store.h"

#include <cstring>
#include <new>
#include <utility>

namespace vorn {

bool FrameStore::Store(const uint8_t* bytes, int32_t count) noexcept {
    if (count < 0 || (count > 0 && bytes == nullptr)) return false;
    try {
        Frame next;
        // Control block and bytes in one allocation, left uninitialised: the
        // copy below is the only pass over the frame.
        std::shared_ptr<uint8_t[]> buffer = std::make_shared_for_overwrite<uint8_t[]>(static_cast<size_t>(count));
        if (count > 0) std::memcpy(buffer.get(), bytes, static_cast<size_t>(count));
        next.bytes = std::move(buffer);
        next.size = count;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            std::swap(latest_, next);
        }
        // `next` now holds the previous frame; it is released here, outside
        // the lock, unless a reader still has it.
        return true;
    } catch (...) {
        // Out of memory (or a failing lock): this frame is dropped.
        return false;
    }
}

Frame FrameStore::Latest() const noexcept {
    std::lock_guard<std::mutex> lock(mutex_);
    return latest_;
}

void FrameStore::Clear() noexcept {
    Frame old;
    std::lock_guard<std::mutex> lock(mutex_);
    std::swap(latest_, old);
}

}  // namespace vorn
