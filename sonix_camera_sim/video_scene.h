// The synthetic scene the simulated camera looks at, and the picture path
// that turns it into RGB through the camera's settings.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "video_stream.h"

namespace sonix_sim {

// A knob's position mapped to -1 (minimum) .. 0 (default) .. +1 (maximum),
// piecewise linear, so any range the scenario gives behaves the same.
double NormalizedKnob(const Knob& knob);

// Per-channel tone curves and the saturation factor for one frame.
struct ToneTables {
    std::array<uint8_t, 256> red{};
    std::array<uint8_t, 256> green{};
    std::array<uint8_t, 256> blue{};
    int saturation256 = 256;  // 256 is neutral
};
ToneTables BuildToneTables(const PictureSettings& settings);

// Renders frames of one size. Keeps the static chart (sharpened or softened
// as the sharpness asks) and the chart as the current settings show it
// between frames, so while the settings stay a frame costs one copy and a
// few small drawings; a change costs one table pass.
class SceneRenderer {
public:
    void Render(const PictureSettings& settings, int width, int height, uint64_t frameIndex,
                std::vector<uint8_t>& rgb);

private:
    void PrepareChart(const PictureSettings& settings, int width, int height);
    void PrepareToned(const ToneTables& tables, bool rotate180);

    std::vector<uint8_t> chart_;
    int chartWidth_ = 0;
    int chartHeight_ = 0;
    Knob chartSharpness_{};
    bool chartValid_ = false;

    std::vector<uint8_t> toned_;
    ToneTables tonedTables_{};
    bool tonedRotated_ = false;
    bool tonedValid_ = false;
};

}  // namespace sonix_sim
