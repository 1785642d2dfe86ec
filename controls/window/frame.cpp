// The one piece of state shared with the camera's frame thread.
#include "window/main_dialog.h"

bool CVornControlsDlg::StoreFrame(const uint8_t* data, int length) { return m_frameBuffer.Store(data, length); }

vorn::Frame CVornControlsDlg::LatestFrame() const { return m_frameBuffer.Latest(); }
