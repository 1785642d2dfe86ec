// The camera session of one vorn_ctl run: the library initialised, the
// usable cameras found as the window finds them (selection and the product
// query answer), one of them selected and, for most commands, opened
// without a preview. Everything is undone when the session ends.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/values.h"
#include "vorn_uvc.h"

namespace vorn::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the camera or an operation failed
inline constexpr int kExitUsage = 2;   // usage or input error

// A failure with the exit code it ends the run with.
struct Failure {
  int code = kExitFailed;
  std::string message;
};

struct CameraIdentity {
  int number = 0;  // 1-based among the usable cameras
  int slot = 0;    // index in the library's device table
  std::string product;
  std::optional<std::string> firmware;  // nothing when it can't be read
  std::optional<std::string> vidPid;    // eight lower-case hex digits
};

class CameraSession {
public:
  CameraSession() = default;
  ~CameraSession();
  CameraSession(const CameraSession&) = delete;
  CameraSession& operator=(const CameraSession&) = delete;

  // Initialises the library and finds the usable cameras.
  std::optional<Failure> Start();
  // The usable cameras' slots, in table order.
  const std::vector<int>& usableSlots() const { return usable_; }

  // Selects the N-th usable camera (from 1).
  std::optional<Failure> Select(int number);
  // Opens the selected camera without a preview window; with a frame
  // function for a snapshot.
  std::optional<Failure> Open(FrameCallbackProc frames = nullptr);
  // Reads product, firmware and ids of the selected camera.
  CameraIdentity Identity() const;
  int selectedSlot() const { return slot_; }

  // After the library was brought back (a firmware restart): initialised
  // again, the same slot selected.
  void AdoptRestarted();
  std::optional<Failure> Reselect();

  // Preview resolutions in the camera's order.
  std::optional<std::vector<Resolution>> Resolutions() const;

  // Closes the camera and un-initialises the library; also by the destructor.
  void End();

private:
  bool started_ = false;
  bool open_ = false;
  int number_ = 0;
  int slot_ = -1;
  std::vector<int> usable_;
};

// The firmware's build gates of the window: rotation after 210810,
// illumination after 210824.
bool RotateSupported(const std::optional<std::string>& firmware);
bool IlluminationSupported(const std::optional<std::string>& firmware);

}  // namespace vorn::cli
