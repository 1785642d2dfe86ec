#include "firmware/restart_sequence.h"

#include <thread>

#include "vorn_uvc.h"

namespace vorn::firmware {

bool RunRestartSequence(const std::function<void(const char* failure)>& onFailure,
                        const std::function<void(std::chrono::milliseconds)>& pause,
                        const std::function<bool()>& cameraGone) {
  const auto settle = [&] {
    if (pause)
      pause(kSettleTime);
    else
      std::this_thread::sleep_for(kSettleTime);
  };
  bool ok = true;
  const auto step = [&](int status, const char* failure) {
    if (status == 0) return;
    ok = false;
    if (onFailure) onFailure(failure);
  };
  const int restart = vorn_uvc_restartDevice();
  if (restart == 0 || !cameraGone || !cameraGone()) step(restart, "Can't restart camera device!");
  settle();
  step(vorn_uvc_unInit(), "Can't uninitialize camera device!");
  settle();
  step(vorn_uvc_init(), "Can't initialize camera device!");
  return ok;
}

}  // namespace vorn::firmware
