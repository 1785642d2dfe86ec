#include "cli/camera.h"

#include "config/remembered_settings.h"
#include "vorn_uvc.h"
#include "firmware/firmware_gate.h"

namespace vorn::cli {

namespace {

constexpr int kFirmwareBufferSize = 60;
constexpr int kProductBufferSize = 100;
constexpr int kVidPidBufferSize = 10;
constexpr int kRotateBuild = 210810;
constexpr int kIlluminationBuild = 210824;

// Text of a zero-filled buffer the library may have filled to the last byte.
std::string BoundedText(const char* buffer, size_t size) {
  size_t n = 0;
  while (n < size && buffer[n] != '\0') ++n;
  return std::string(buffer, n);
}

std::optional<std::string> ReadFirmware() {
  char buffer[kFirmwareBufferSize] = {};
  if (vorn_uvc_get_FW_version(buffer, kFirmwareBufferSize, 1) != 0) return std::nullopt;
  return BoundedText(buffer, sizeof buffer);
}

}  // namespace

CameraSession::~CameraSession() { End(); }

std::optional<Failure> CameraSession::Start() {
  if (vorn_uvc_init() != 0) return Failure{kExitFailed, "can't initialise the camera library"};
  started_ = true;
  DeviceRecord records[VORN_UVC_MAX_DEVICES] = {};
  int count = 0;
  if (vorn_uvc_getEnumDevice(records, &count) != 0) return Failure{kExitFailed, "can't list the cameras"};
  if (count > VORN_UVC_MAX_DEVICES) count = VORN_UVC_MAX_DEVICES;
  usable_.clear();
  for (int slot = 0; slot < count; ++slot) {
    char product[kProductBufferSize] = {};
    if (vorn_uvc_selectDevice(slot) == 0 && vorn_uvc_get_product(product, kProductBufferSize) == 0)
      usable_.push_back(slot);
  }
  return std::nullopt;
}

std::optional<Failure> CameraSession::Select(int number) {
  if (usable_.empty()) return Failure{kExitFailed, "no camera found"};
  if (number < 1 || number > static_cast<int>(usable_.size()))
    return Failure{kExitUsage, "there is no camera " + std::to_string(number) + "; " +
                                   std::to_string(usable_.size()) + " found"};
  number_ = number;
  slot_ = usable_[static_cast<size_t>(number - 1)];
  if (vorn_uvc_selectDevice(slot_) != 0)
    return Failure{kExitFailed, "can't select camera " + std::to_string(number)};
  return std::nullopt;
}

std::optional<Failure> CameraSession::Open(FrameCallbackProc frames) {
  if (vorn_uvc_openCamera(nullptr, 0, frames) != 0)
    return Failure{kExitFailed, "can't open camera " + std::to_string(number_)};
  open_ = true;
  return std::nullopt;
}

CameraIdentity CameraSession::Identity() const {
  CameraIdentity id;
  id.number = number_;
  id.slot = slot_;
  char product[kProductBufferSize] = {};
  if (vorn_uvc_get_product(product, kProductBufferSize) == 0) id.product = BoundedText(product, sizeof product);
  id.firmware = ReadFirmware();
  uint8_t bytes[kVidPidBufferSize] = {};
  if (vorn_uvc_getVidPid(bytes, kVidPidBufferSize) == 0) id.vidPid = vorn::config::CameraIdentityText(bytes, sizeof bytes);
  return id;
}

void CameraSession::AdoptRestarted() {
  // The restart closed the camera; the sequence initialised the library.
  open_ = false;
  started_ = true;
}

std::optional<Failure> CameraSession::Reselect() {
  // A re-initialised library knows the cameras only after an enumeration.
  DeviceRecord records[VORN_UVC_MAX_DEVICES] = {};
  int count = 0;
  if (vorn_uvc_getEnumDevice(records, &count) != 0 || slot_ >= count || vorn_uvc_selectDevice(slot_) != 0)
    return Failure{kExitFailed, "can't select camera " + std::to_string(number_) + " again"};
  return std::nullopt;
}

std::optional<std::vector<Resolution>> CameraSession::Resolutions() const {
  int count = 0;
  if (vorn_uvc_getPreviewResolutionCount(&count) != 0) return std::nullopt;
  std::vector<Resolution> list;
  for (int i = 0; i < count; ++i) {
    ResolutionInfo info = {};
    if (vorn_uvc_getPreviewResolutionInfo(i, &info) != 0) return std::nullopt;
    list.push_back({info.width, info.height});
  }
  return list;
}

void CameraSession::End() {
  if (open_) {
    bool previewing = false;
    if (vorn_uvc_IsPreviewing(&previewing) == 0 && previewing) vorn_uvc_StopPreview();
    vorn_uvc_closeCamera();
    open_ = false;
  }
  if (started_) {
    vorn_uvc_unInit();
    started_ = false;
  }
}

bool RotateSupported(const std::optional<std::string>& firmware) {
  return firmware && vorn::firmware::IsFirmwareNewer(firmware->c_str(), firmware->size() + 1, kRotateBuild);
}

bool IlluminationSupported(const std::optional<std::string>& firmware) {
  return firmware && vorn::firmware::IsFirmwareNewer(firmware->c_str(), firmware->size() + 1, kIlluminationBuild);
}

}  // namespace vorn::cli
