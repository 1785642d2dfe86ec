// The one piece of state shared with the camera's frame thread.
#include "window/main_dialog.h"

void CVornControlsDlg::StoreFrame(const uint8_t* data, int length) {
    // Built outside the lock, so the window thread never waits on a copy.
    auto frame = std::make_shared<const std::vector<uint8_t>>(
        data && length > 0 ? std::vector<uint8_t>(data, data + length) : std::vector<uint8_t>());
    std::lock_guard<std::mutex> lock(m_frameMutex);
    m_frameBuffer = std::move(frame);
    m_frameSize = static_cast<int32_t>(m_frameBuffer->size());
}

std::shared_ptr<const std::vector<uint8_t>> CVornControlsDlg::LatestFrame(int32_t* size) {
    std::lock_guard<std::mutex> lock(m_frameMutex);
    if (size) *size = m_frameSize;
    return m_frameBuffer;
}
