// What follows a successful burn: the camera restarts from its new flash
// and the library is brought back, with a pause after each of the first two
// steps for the camera to settle.
#pragma once

#include <chrono>
#include <functional>

namespace vorn::firmware {

inline constexpr std::chrono::milliseconds kSettleTime{1000};

// Restart, pause, un-initialise, pause, initialise. A failed step is
// reported with its message ("Can't restart camera device!" and so on) and
// the sequence goes on, so the library is left initialised as far as it
// goes. True when every step succeeded. When the restart fails and
// cameraGone says the camera was unplugged meanwhile, there is nothing to
// restart: that step is passed over without a failure.
bool RunRestartSequence(const std::function<void(const char* failure)>& onFailure,
                        const std::function<void(std::chrono::milliseconds)>& pause = {},
                        const std::function<bool()>& cameraGone = {});

}  // namespace vorn::firmware
