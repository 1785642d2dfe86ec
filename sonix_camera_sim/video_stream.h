// Live video of the simulated camera: a synthetic scene rendered through the
// camera's current settings, encoded as baseline JPEG, handed to the frame
// callback and painted into the preview window, from a thread of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "sonix_camera.h"

namespace sonix_sim {

// One picture setting with the range the camera reports for it, so the
// renderer can tell neutral from extreme without knowing the scenario.
struct Knob {
    int value = 50;  // at the default: a default PictureSettings is neutral
    int min = 0;
    int max = 100;
    int def = 50;
};

// The camera's settings as the picture sees them, sampled once per frame.
struct PictureSettings {
    Knob brightness;  // property 0
    Knob contrast;    // property 1
    Knob saturation;  // property 3
    Knob sharpness;   // property 4
    Knob gamma;       // property 5
    // 10-bit white-balance gains as held in the gain registers (0..1023);
    // with automatic white balance on these are the camera's own choice.
    int gainRed = 256;
    int gainGreen = 256;
    int gainBlue = 256;
    // The gains at which the scene's lighting looks neutral: what automatic
    // white balance settles on. Gains equal to these give a grey-balanced
    // picture; the plain 256s give the sensor's raw colour.
    int balancedRed = 256;
    int balancedGreen = 256;
    int balancedBlue = 256;
    int exposureStep = -6;  // control 4, -13 (darkest) .. -1 (brightest)
    bool autoExposure = true;
    bool rotate180 = false;    // control 2 == 3
    bool illumination = false; // control 6 == 0
};

enum class FrameFault { None, Drop, Truncate, Empty };

struct StreamConfig {
    int width = 1280;
    int height = 800;
    double fps = 30.0;
    VORN_HWND window = nullptr;          // may be null: frames are only delivered
    FrameCallbackProc callback = nullptr;  // may be null: frames are only painted
    std::atomic<uint64_t>* delivered = nullptr;  // may be null; counts each delivery
};

// Pure pieces, usable without a thread.
void RenderScene(const PictureSettings& settings, int width, int height, uint64_t frameIndex,
                 std::vector<uint8_t>& rgb);
bool EncodeJpeg(const uint8_t* rgb, int width, int height, int quality, std::vector<uint8_t>& out);

class VideoStream {
public:
    using SettingsFn = std::function<PictureSettings()>;
    using FaultFn = std::function<FrameFault()>;

    VideoStream();
    ~VideoStream();
    VideoStream(const VideoStream&) = delete;
    VideoStream& operator=(const VideoStream&) = delete;

    // Starts the producer thread (a running one is stopped first). The
    // functions are called from that thread once per frame, without any lock
    // of the caller held by the stream. False for a size outside 1..8192 or
    // when no thread can be made; a frame rate that is not positive becomes
    // 30. Called from the stream's own callback it does nothing.
    bool Start(const StreamConfig& config, SettingsFn settings, FaultFn fault);
    // Returns only when no callback is running and none will follow. Must
    // not be called with a lock that SettingsFn or FaultFn take. Idempotent.
    // From the stream's own callback it returns at once; no frame follows.
    void Stop();
    bool Running() const;
    uint64_t FramesDelivered() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sonix_sim
