#include "ui/window_layout.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace ui::layout {
namespace {

// Rounds half away from zero, in 64 bits so that no scale overflows.
int RoundedQuotient(int64_t numerator, int64_t denominator) {
    if (denominator <= 0) return 0;
    const int64_t half = denominator / 2;
    const int64_t q = numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
    return static_cast<int>(std::clamp<int64_t>(q, INT_MIN, INT_MAX));
}

Rect ScaleRect(const Rect& r, int from, int to) {
    return {ScaleLength(r.left, from, to), ScaleLength(r.top, from, to), ScaleLength(r.right, from, to),
            ScaleLength(r.bottom, from, to)};
}

// The template at the asked scale, with the parts the rules need.
struct Scaled {
    std::vector<Rect> rects;
    Size client;
    int picture = -1;  // index of the preview, -1 when there is none
    int status = -1;   // index of the status box
};

Scaled ScaleTemplate(const Template& t, int dpi) {
    Scaled s;
    s.client = {ScaleLength(t.client.cx, t.dpi, dpi), ScaleLength(t.client.cy, t.dpi, dpi)};
    for (size_t i = 0; i < t.controls.size(); ++i) {
        s.rects.push_back(ScaleRect(t.controls[i].rect, t.dpi, dpi));
        if (t.controls[i].anchor == Anchor::Picture && s.picture < 0) s.picture = static_cast<int>(i);
        if (t.controls[i].anchor == Anchor::BelowPicture && s.status < 0) s.status = static_cast<int>(i);
    }
    return s;
}

// The template's left margin: where the left column starts.
int LeftMargin(const Template& t, const Scaled& s) {
    int margin = INT_MAX;
    for (size_t i = 0; i < t.controls.size(); ++i)
        if (t.controls[i].anchor == Anchor::Fixed) margin = std::min(margin, s.rects[i].left);
    return margin == INT_MAX ? 0 : std::max(margin, 0);
}

int Band(const Template& t, const Scaled& s) {
    int bottomTop = INT_MAX;
    for (size_t i = 0; i < t.controls.size(); ++i)
        if (t.controls[i].anchor == Anchor::Bottom) bottomTop = std::min(bottomTop, s.rects[i].top);
    if (bottomTop == INT_MAX) return 0;
    // The lowest fixed control above them; the preview's column does not count.
    int above = 0;
    for (size_t i = 0; i < t.controls.size(); ++i)
        if (t.controls[i].anchor == Anchor::Fixed && s.rects[i].bottom <= bottomTop)
            above = std::max(above, s.rects[i].bottom);
    return std::max(0, bottomTop - above - LeftMargin(t, s));
}

// The largest rectangle of the aspect inside the room, centred in it.
Rect Fit(const Rect& room, Aspect aspect) {
    int width = std::max(room.Width(), 0);
    int height = RoundedQuotient(int64_t{width} * aspect.height, aspect.width);
    if (height > room.Height()) {
        height = std::max(room.Height(), 0);
        width = std::min(RoundedQuotient(int64_t{height} * aspect.width, aspect.height), std::max(room.Width(), 0));
    }
    const int left = room.left + (std::max(room.Width(), 0) - width) / 2;
    const int top = room.top + (std::max(room.Height(), 0) - height) / 2;
    return {left, top, left + width, top + height};
}

}  // namespace

int ScaleLength(int value, int from, int to) {
    if (from <= 0 || from == to) return value;
    return RoundedQuotient(int64_t{value} * to, from);
}

Aspect PictureAspect(int resolutionIndex) {
    switch (resolutionIndex) {
    case 0: return {16, 10};
    case 1: return {16, 9};
    default: return {4, 3};
    }
}

int FreeBand(const Template& t, int dpi) { return Band(t, ScaleTemplate(t, dpi)); }

Size MinimumClient(const Template& t, int dpi) {
    const Scaled s = ScaleTemplate(t, dpi);
    int width = 0;
    for (size_t i = 0; i < t.controls.size(); ++i)
        if (t.controls[i].anchor == Anchor::Fixed || t.controls[i].anchor == Anchor::Bottom)
            width = std::max(width, s.rects[i].right);
    width += LeftMargin(t, s);
    if (s.picture >= 0) {
        const Rect& p = s.rects[s.picture];
        const int rightMargin = s.client.cx - p.right;
        width = std::max(width, p.left + ScaleLength(kMinPreviewWidth, kBaseDpi, dpi) + rightMargin);
    }
    return {width, s.client.cy - Band(t, s)};
}

std::vector<Rect> Layout(const Template& t, Size client, int dpi, Aspect aspect) {
    const Scaled s = ScaleTemplate(t, dpi);
    // A lower window first takes the free band above the bottom buttons.
    const int lift = std::clamp(s.client.cy - client.cy, 0, Band(t, s));
    const int grownWidth = client.cx - s.client.cx;
    const int grownHeight = client.cy - s.client.cy;

    std::vector<Rect> out = s.rects;
    Rect status;
    if (s.status >= 0) {
        status = s.rects[s.status];
        status.right = std::max(status.right + grownWidth, status.left);
        status.top += grownHeight;
        status.bottom += grownHeight;
        out[s.status] = status;
    }
    for (size_t i = 0; i < t.controls.size(); ++i) {
        if (t.controls[i].anchor != Anchor::Bottom) continue;
        out[i].top -= lift;
        out[i].bottom -= lift;
    }
    if (s.picture < 0) return out;

    const Rect& p = s.rects[s.picture];
    Rect room = p;
    room.right += grownWidth;
    room.bottom = s.status >= 0 ? status.top - (s.rects[s.status].top - p.bottom) : p.bottom + grownHeight;
    room.right = std::max(room.right, room.left);
    room.bottom = std::max(room.bottom, room.top);

    if (!aspect.Known()) {
        out[s.picture] = room;
        return out;
    }
    if (client == s.client) {
        const int width = ScaleLength(kSpecifiedPreviewWidth, kBaseDpi, dpi);
        const Rect specified{p.left, p.top, p.left + width,
                             p.top + RoundedQuotient(int64_t{width} * aspect.height, aspect.width)};
        if (specified.right <= client.cx && specified.bottom <= client.cy) {
            out[s.picture] = specified;
            return out;
        }
    }
    out[s.picture] = Fit(room, aspect);
    return out;
}

}  // namespace ui::layout
