#include "video_scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sonix_sim {
namespace {

constexpr int kMaxSide = 8192;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    uint8_t r, g, b;
};

// A colour checker's patches, row by row: naturals, primaries, greys.
constexpr Rgb kPatches[4][6] = {
    {{115, 82, 68}, {194, 150, 130}, {98, 122, 157}, {87, 108, 67}, {133, 128, 177}, {103, 189, 170}},
    {{214, 126, 44}, {80, 91, 166}, {193, 90, 99}, {94, 60, 108}, {157, 188, 64}, {224, 163, 46}},
    {{56, 61, 150}, {70, 148, 73}, {175, 54, 60}, {231, 199, 31}, {187, 86, 149}, {8, 133, 161}},
    {{243, 243, 242}, {200, 200, 200}, {160, 160, 160}, {122, 122, 121}, {85, 85, 85}, {52, 52, 52}},
};

constexpr Rgb kBackground{96, 96, 96};
constexpr Rgb kPatchBorder{30, 30, 30};
constexpr Rgb kMarker{250, 220, 40};
constexpr Rgb kTrack{40, 40, 48};
constexpr Rgb kPuck{255, 120, 20};
constexpr Rgb kDigits{235, 235, 235};

// 5x7 digits, one byte per row, bit 4 is the leftmost column.
constexpr uint8_t kFont[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

class Canvas {
public:
    // A turned canvas maps every rectangle through the half turn, so the
    // moving parts can be drawn onto a picture that is already turned.
    Canvas(std::vector<uint8_t>& px, int w, int h, bool turned = false) : px_(px), w_(w), h_(h), turned_(turned) {}

    void Fill(int x0, int y0, int x1, int y1, Rgb c) {
        if (turned_) {
            const int tx0 = w_ - x1, ty0 = h_ - y1;
            x1 = w_ - x0;
            y1 = h_ - y0;
            x0 = tx0;
            y0 = ty0;
        }
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, w_);
        y1 = std::min(y1, h_);
        for (int y = y0; y < y1; ++y) {
            uint8_t* p = &px_[(static_cast<size_t>(y) * w_ + x0) * 3];
            for (int x = x0; x < x1; ++x, p += 3) {
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
            }
        }
    }
    void Put(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
        uint8_t* p = &px_[(static_cast<size_t>(y) * w_ + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    int W() const { return w_; }
    int H() const { return h_; }

private:
    std::vector<uint8_t>& px_;
    int w_, h_;
    bool turned_;
};

int Frac(int extent, double f) { return static_cast<int>(std::lround(extent * f)); }

void DrawPatches(Canvas& c) {
    const int x0 = Frac(c.W(), 0.04), x1 = Frac(c.W(), 0.56);
    const int y0 = Frac(c.H(), 0.10), y1 = Frac(c.H(), 0.56);
    c.Fill(x0, y0, x1, y1, kPatchBorder);
    const int gap = std::max(1, c.W() / 200);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 6; ++col) {
            const int px0 = x0 + (x1 - x0) * col / 6 + gap, px1 = x0 + (x1 - x0) * (col + 1) / 6 - gap;
            const int py0 = y0 + (y1 - y0) * row / 4 + gap, py1 = y0 + (y1 - y0) * (row + 1) / 4 - gap;
            c.Fill(px0, py0, px1, py1, kPatches[row][col]);
        }
    }
}

// Spokes get finer towards the centre: resolution and aliasing at a glance.
void DrawStar(Canvas& c) {
    const int rx0 = Frac(c.W(), 0.60), rx1 = Frac(c.W(), 0.96);
    const int ry0 = Frac(c.H(), 0.06), ry1 = Frac(c.H(), 0.56);
    const double cx = (rx0 + rx1) / 2.0, cy = (ry0 + ry1) / 2.0;
    const double radius = std::min(rx1 - rx0, ry1 - ry0) * 0.4;
    const int spokes = 24;
    for (int y = ry0; y < ry1; ++y) {
        for (int x = rx0; x < rx1; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy > radius * radius) continue;
            const double a = std::atan2(dy, dx) + kPi;
            const bool dark = static_cast<int>(a / (2 * kPi) * spokes * 2) % 2 == 0;
            c.Put(x, y, dark ? Rgb{20, 20, 20} : Rgb{235, 235, 235});
        }
    }
}

// Groups of vertical stripes of 1, 2, 3, 4 and 6 pixels, in pixels rather
// than fractions so every size shows its finest detail.
void DrawLinePairs(Canvas& c) {
    const int x0 = Frac(c.W(), 0.04), x1 = Frac(c.W(), 0.96);
    const int y0 = Frac(c.H(), 0.62), y1 = Frac(c.H(), 0.70);
    constexpr int widths[] = {1, 2, 3, 4, 6};
    const int groups = 5;
    for (int g = 0; g < groups; ++g) {
        const int gx0 = x0 + (x1 - x0) * g / groups, gx1 = x0 + (x1 - x0) * (g + 1) / groups - c.W() / 100;
        for (int x = gx0; x < gx1; ++x) {
            const bool dark = ((x - gx0) / widths[g]) % 2 == 0;
            c.Fill(x, y0, x + 1, y1, dark ? Rgb{25, 25, 25} : Rgb{230, 230, 230});
        }
    }
}

// Eleven steps, black on the left: also tells left from right.
void DrawGreyRamp(Canvas& c) {
    const int x0 = Frac(c.W(), 0.04), x1 = Frac(c.W(), 0.96);
    const int y0 = Frac(c.H(), 0.76), y1 = Frac(c.H(), 0.84);
    for (int s = 0; s < 11; ++s) {
        const auto v = static_cast<uint8_t>(s * 255 / 10);
        c.Fill(x0 + (x1 - x0) * s / 11, y0, x0 + (x1 - x0) * (s + 1) / 11, y1, {v, v, v});
    }
}

// A triangle in the top-left corner, so a turned picture is obvious.
void DrawMarker(Canvas& c) {
    const int size = std::max(4, std::min(c.W(), c.H()) / 8);
    for (int y = 0; y < size; ++y) c.Fill(0, y, size - y, y + 1, kMarker);
}

void DrawTrack(Canvas& c) {
    c.Fill(0, Frac(c.H(), 0.87), c.W(), Frac(c.H(), 0.97), kTrack);
}

void DrawPuck(Canvas& c, uint64_t frameIndex, Rgb colour) {
    const int y0 = Frac(c.H(), 0.88), y1 = Frac(c.H(), 0.96);
    const int size = std::max(2, y1 - y0);
    const int travel = std::max(1, c.W() - size);
    const int step = std::max(1, c.W() / 120);
    const int x = static_cast<int>((frameIndex * static_cast<uint64_t>(step)) % static_cast<uint64_t>(travel));
    c.Fill(x, y0, x + size, y0 + size, colour);
}

void DrawCounter(Canvas& c, uint64_t frameIndex, Rgb colour) {
    const int scale = std::max(1, static_cast<int>(c.H() * 0.045 / 7));
    const int top = std::max(1, Frac(c.H(), 0.01));
    int right = Frac(c.W(), 0.96);
    do {
        const int digit = static_cast<int>(frameIndex % 10);
        frameIndex /= 10;
        right -= 6 * scale;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (kFont[digit][row] & (0x10 >> col))
                    c.Fill(right + col * scale, top + row * scale, right + (col + 1) * scale,
                           top + (row + 1) * scale, colour);
    } while (frameIndex != 0 && right > 0);
}

// Box blur of the given radius, separable, clamped at the edges.
void BoxBlur(const std::vector<uint8_t>& in, std::vector<uint8_t>& out, int w, int h, int r) {
    const size_t stride = static_cast<size_t>(w) * 3;
    std::vector<uint16_t> rows(in.size());
    // Rows padded with their edge pixels, so every sum is a plain run.
    std::vector<uint8_t> pad(stride + 6 * static_cast<size_t>(r));
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = &in[y * stride];
        for (int k = 0; k < r; ++k) {
            std::memcpy(&pad[k * 3], src, 3);
            std::memcpy(&pad[stride + (r + k) * 3], src + stride - 3, 3);
        }
        std::memcpy(&pad[r * 3], src, stride);
        uint16_t* dst = &rows[y * stride];
        std::fill(dst, dst + stride, uint16_t{0});
        for (int k = 0; k <= 2 * r; ++k) {
            const uint8_t* p = &pad[k * 3];
            for (size_t i = 0; i < stride; ++i) dst[i] = static_cast<uint16_t>(dst[i] + p[i]);
        }
    }
    out.resize(in.size());
    const int n2 = (2 * r + 1) * (2 * r + 1);
    std::vector<uint32_t> sum(stride);
    for (int y = 0; y < h; ++y) {
        std::fill(sum.begin(), sum.end(), 0u);
        for (int k = -r; k <= r; ++k) {
            const uint16_t* row = &rows[std::clamp(y + k, 0, h - 1) * stride];
            for (size_t i = 0; i < stride; ++i) sum[i] += row[i];
        }
        uint8_t* dst = &out[y * stride];
        for (size_t i = 0; i < stride; ++i) dst[i] = static_cast<uint8_t>((sum[i] + n2 / 2) / n2);
    }
}

// The lens: a [1 2 1] blur both ways, so edges are a pixel or two wide as
// through real optics rather than hard steps.
void ApplyLens(std::vector<uint8_t>& px, int w, int h) {
    std::vector<uint8_t> tmp(px.size());
    const size_t stride = static_cast<size_t>(w) * 3;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = &px[y * stride];
        uint8_t* out = &tmp[y * stride];
        for (int x = 0; x < w; ++x)
            for (int ch = 0; ch < 3; ++ch) {
                const int l = row[std::max(x - 1, 0) * 3 + ch], r = row[std::min(x + 1, w - 1) * 3 + ch];
                out[x * 3 + ch] = static_cast<uint8_t>((l + 2 * row[x * 3 + ch] + r + 2) / 4);
            }
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* up = &tmp[std::max(y - 1, 0) * stride];
        const uint8_t* mid = &tmp[y * stride];
        const uint8_t* down = &tmp[std::min(y + 1, h - 1) * stride];
        uint8_t* out = &px[y * stride];
        for (size_t i = 0; i < stride; ++i) out[i] = static_cast<uint8_t>((up[i] + 2 * mid[i] + down[i] + 2) / 4);
    }
}

// Unsharp masking above the default, softening below it.
void ApplySharpness(std::vector<uint8_t>& px, int w, int h, const Knob& sharpness) {
    const double a = NormalizedKnob(sharpness);
    if (std::abs(a) < 1e-3) return;
    std::vector<uint8_t> blurred;
    BoxBlur(px, blurred, w, h, a > 0 ? 1 : 2);
    const int k256 = static_cast<int>(std::lround((a > 0 ? a * 2.0 : a) * 256));
    for (size_t i = 0; i < px.size(); ++i) {
        const int v = px[i];
        px[i] = static_cast<uint8_t>(std::clamp(v + ((v - blurred[i]) * k256) / 256, 0, 255));
    }
}

inline void Tone(const ToneTables& t, const uint8_t* in, uint8_t* out) {
    int r = t.red[in[0]], g = t.green[in[1]], b = t.blue[in[2]];
    const int sat = t.saturation256;
    if (sat != 256) {
        const int y = (77 * r + 150 * g + 29 * b) >> 8;
        r = std::clamp(y + (((r - y) * sat) >> 8), 0, 255);
        g = std::clamp(y + (((g - y) * sat) >> 8), 0, 255);
        b = std::clamp(y + (((b - y) * sat) >> 8), 0, 255);
    }
    out[0] = static_cast<uint8_t>(r);
    out[1] = static_cast<uint8_t>(g);
    out[2] = static_cast<uint8_t>(b);
}

Rgb Toned(const ToneTables& t, Rgb c) {
    const uint8_t in[3] = {c.r, c.g, c.b};
    uint8_t out[3];
    Tone(t, in, out);
    return {out[0], out[1], out[2]};
}

bool SameTables(const ToneTables& a, const ToneTables& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.saturation256 == b.saturation256;
}

bool SameKnob(const Knob& a, const Knob& b) {
    return a.value == b.value && a.min == b.min && a.max == b.max && a.def == b.def;
}

}  // namespace

double NormalizedKnob(const Knob& knob) {
    const int v = std::clamp(knob.value, std::min(knob.min, knob.max), std::max(knob.min, knob.max));
    if (v > knob.def && knob.max > knob.def) return static_cast<double>(v - knob.def) / (knob.max - knob.def);
    if (v < knob.def && knob.def > knob.min) return -static_cast<double>(knob.def - v) / (knob.def - knob.min);
    return 0.0;
}

ToneTables BuildToneTables(const PictureSettings& s) {
    ToneTables t;
    const double brightness = NormalizedKnob(s.brightness) * 0.4;
    const double contrast = std::pow(2.0, NormalizedKnob(s.contrast) * 1.5);
    const double gammaExp = std::pow(2.0, NormalizedKnob(s.gamma));
    // Manual exposure: each step of the control is half a stop around the
    // middle setting; automatic exposure holds the scene where it is.
    const int step = std::clamp(s.exposureStep, -13, -1);
    const double exposure = s.autoExposure ? 1.0 : std::pow(2.0, (step + 6) * 0.5);
    // The camera's lamp lights the scene up, a little warm.
    const double lamp = s.illumination ? 1.5 : 1.0;
    // The sensor sees the scene through its lighting; the gains undo that.
    auto balance = [](int gain, int balanced) {
        return std::clamp(gain, 0, 1023) / static_cast<double>(std::clamp(balanced, 1, 1023));
    };
    const double gain[3] = {
        balance(s.gainRed, s.balancedRed) * (s.illumination ? 1.08 : 1.0),
        balance(s.gainGreen, s.balancedGreen),
        balance(s.gainBlue, s.balancedBlue) * (s.illumination ? 0.9 : 1.0),
    };
    std::array<uint8_t, 256>* luts[3] = {&t.red, &t.green, &t.blue};
    for (int ch = 0; ch < 3; ++ch) {
        const double f = gain[ch] * exposure * lamp;
        for (int i = 0; i < 256; ++i) {
            double x = std::min(1.0, i / 255.0 * f);
            x = std::pow(x, gammaExp);
            x = (x - 0.5) * contrast + 0.5 + brightness;
            (*luts[ch])[i] = static_cast<uint8_t>(std::lround(std::clamp(x, 0.0, 1.0) * 255.0));
        }
    }
    t.saturation256 = static_cast<int>(std::lround((1.0 + NormalizedKnob(s.saturation)) * 256));
    return t;
}

void SceneRenderer::PrepareChart(const PictureSettings& settings, int width, int height) {
    if (chartValid_ && chartWidth_ == width && chartHeight_ == height && SameKnob(chartSharpness_, settings.sharpness))
        return;
    chart_.assign(static_cast<size_t>(width) * height * 3, 0);
    Canvas c(chart_, width, height);
    c.Fill(0, 0, width, height, kBackground);
    DrawPatches(c);
    DrawStar(c);
    DrawLinePairs(c);
    DrawGreyRamp(c);
    DrawTrack(c);
    DrawMarker(c);
    ApplyLens(chart_, width, height);
    ApplySharpness(chart_, width, height, settings.sharpness);
    chartWidth_ = width;
    chartHeight_ = height;
    chartSharpness_ = settings.sharpness;
    chartValid_ = true;
}

void SceneRenderer::PrepareToned(const ToneTables& t, bool rotate180) {
    if (tonedValid_ && tonedRotated_ == rotate180 && SameTables(tonedTables_, t)) return;
    toned_.resize(chart_.size());
    const size_t pixels = chart_.size() / 3;
    const uint8_t* src = chart_.data();
    uint8_t* dst = toned_.data();
    // The chart is mostly runs of one colour: tone a pixel only when it
    // differs from the one before. A half turn is the pixel order reversed.
    uint8_t last[3] = {src[0], src[1], src[2]};
    uint8_t out[3];
    Tone(t, last, out);
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* in = src + (rotate180 ? pixels - 1 - i : i) * 3;
        if (in[0] != last[0] || in[1] != last[1] || in[2] != last[2]) {
            std::memcpy(last, in, 3);
            Tone(t, last, out);
        }
        std::memcpy(dst + i * 3, out, 3);
    }
    tonedTables_ = t;
    tonedRotated_ = rotate180;
    tonedValid_ = true;
}

void SceneRenderer::Render(const PictureSettings& settings, int width, int height, uint64_t frameIndex,
                           std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        rgb.clear();
        return;
    }
    const bool chartWasValid = chartValid_ && chartWidth_ == width && chartHeight_ == height &&
                               SameKnob(chartSharpness_, settings.sharpness);
    if (!chartWasValid) tonedValid_ = false;
    PrepareChart(settings, width, height);
    // The tables are rebuilt every frame (cheap); the picture only when they change.
    const ToneTables t = BuildToneTables(settings);
    PrepareToned(t, settings.rotate180);

    rgb.resize(toned_.size());
    std::memcpy(rgb.data(), toned_.data(), toned_.size());
    Canvas c(rgb, width, height, settings.rotate180);
    DrawPuck(c, frameIndex, Toned(t, kPuck));
    DrawCounter(c, frameIndex, Toned(t, kDigits));
}

void RenderScene(const PictureSettings& settings, int width, int height, uint64_t frameIndex,
                 std::vector<uint8_t>& rgb) {
    thread_local SceneRenderer renderer;
    renderer.Render(settings, width, height, frameIndex, rgb);
}

}  // namespace sonix_sim
