// The main window's geometry as a pure function: the template's rectangles
// (client pixels as the dialog manager placed them), the client size, the
// scale and the picture's aspect in; the rectangles out. Portable, so that
// every size and scale can be tried without a window system; the window only
// applies the result.
#pragma once

#include <vector>

namespace ui::layout {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size&) const = default;
};

// What a control does when the window is not at its template size.
enum class Anchor {
    // Keeps its template place and size (the left column).
    Fixed,
    // Like Fixed, but moves up into the free band above it when the window
    // is lower than its template (Start Camera and Exit).
    Bottom,
    // The preview: the rest of the width and the height above the status
    // box, the picture's aspect kept and centred in that room.
    Picture,
    // The status box: keeps its height, stays under the preview and is as
    // wide as the preview's room.
    BelowPicture,
};

struct Control {
    int id = 0;
    Rect rect;
    Anchor anchor = Anchor::Fixed;
};

struct Template {
    std::vector<Control> controls;
    // The client size the rectangles belong to, and the scale (dots per
    // inch) they were measured at.
    Size client;
    int dpi = 96;
};

// Width to height of the picture; 0:0 before any picture was shown, when
// the preview fills its whole room.
struct Aspect {
    int width = 0;
    int height = 0;
    bool Known() const { return width > 0 && height > 0; }
};

inline constexpr int kBaseDpi = 96;
// The preview's width at the template's own size at 100 %, and the least
// width it keeps, both at 100 %.
inline constexpr int kSpecifiedPreviewWidth = 800;
inline constexpr int kMinPreviewWidth = 320;

// The aspect of resolution item k: 1280*800 is 16:10, 1280*720 16:9, the
// others (and no selection) 4:3.
Aspect PictureAspect(int resolutionIndex);

// A template length measured at `from` dots per inch, at `to`.
int ScaleLength(int value, int from, int to);

// The rectangles of the template's controls, in their order, for a client
// area of `client` at `dpi`. At the template's own client size and scale
// every control keeps its template rectangle, except a preview with a known
// picture: that is the specified 800 pixels (at the scale) wide, the
// picture's height high, at its template corner, wherever that lies inside
// the client area.
std::vector<Rect> Layout(const Template& t, Size client, int dpi, Aspect aspect);

// The empty height above the Bottom controls that a lower window gives back.
int FreeBand(const Template& t, int dpi);

// The least client area that keeps the left column whole and the preview at
// least 320 pixels (at the scale) wide.
Size MinimumClient(const Template& t, int dpi);

}  // namespace ui::layout
