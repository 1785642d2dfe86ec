// The main window's layout as a function: the template of the real window
// (its rectangles as the dialog manager places them at 100 %) laid out for
// the first size, smaller and larger windows, other scales and pictures.
#include "ui/window_layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace ui::layout;

constexpr int kStart = 1, kExit = 2, kPreview = 1025, kStatus = 1024, kSlider = 1015, kResolution = 1048;

// The main window's template at 96 dots per inch (9 point font), as the
// dialog manager placed it: a few of the left column's controls, the two
// buttons, the preview and the status box.
Template MainTemplate() {
    Template t;
    t.client = {1402, 777};
    t.dpi = 96;
    t.controls = {
        {1001, {12, 7, 586, 116}, Anchor::Fixed},
        {kSlider, {207, 256, 575, 282}, Anchor::Fixed},
        {1049, {25, 546, 533, 571}, Anchor::Fixed},
        {kResolution, {116, 613, 256, 635}, Anchor::Fixed},
        {kStart, {25, 711, 218, 753}, Anchor::Bottom},
        {kExit, {382, 711, 575, 753}, Anchor::Bottom},
        {kPreview, {599, 12, 1390, 572}, Anchor::Picture},
        {kStatus, {599, 581, 1390, 765}, Anchor::BelowPicture},
    };
    return t;
}

Rect Of(const Template& t, const std::vector<Rect>& rects, int id) {
    for (size_t i = 0; i < t.controls.size(); ++i)
        if (t.controls[i].id == id) return rects[i];
    ADD_FAILURE() << "no control " << id;
    return {};
}

std::string Show(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.Width()) + "x" +
           std::to_string(r.Height());
}

// A picture rectangle whose height is the aspect's for its width, within a pixel.
bool HoldsAspect(const Rect& r, Aspect a) {
    return std::abs(r.Height() * a.width - r.Width() * a.height) <= a.width;
}

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(WindowLayout, ResolutionItemsGiveTheirPictureAspect) {
    const struct {
        int item, width, height;
    } cases[] = {{0, 16, 10}, {1, 16, 9}, {2, 4, 3}, {3, 4, 3}, {4, 4, 3}, {-1, 4, 3}};
    for (const auto& c : cases) {
        const Aspect a = PictureAspect(c.item);
        EXPECT_EQ(a.width, c.width) << c.item;
        EXPECT_EQ(a.height, c.height) << c.item;
    }
}

// At the template's own size and scale nothing moves; a picture's preview
// is the specified 800 pixels wide at its template corner.
TEST(WindowLayout, AtTheFirstSizeTheTemplateStandsAndThePreviewIs800Wide) {
    const Template t = MainTemplate();
    const struct {
        Aspect aspect;
        Rect preview;
    } cases[] = {
        {{}, {599, 12, 1390, 572}},
        {PictureAspect(0), {599, 12, 1399, 512}},
        {PictureAspect(1), {599, 12, 1399, 462}},
        {PictureAspect(4), {599, 12, 1399, 612}},
    };
    for (const auto& c : cases) {
        const std::vector<Rect> out = Layout(t, t.client, 96, c.aspect);
        SCOPED_TRACE(c.aspect.width);
        for (size_t i = 0; i < out.size(); ++i) {
            if (t.controls[i].id != kPreview) {
                EXPECT_EQ(out[i], t.controls[i].rect) << t.controls[i].id;
            }
        }
        EXPECT_EQ(Of(t, out, kPreview), c.preview) << Show(Of(t, out, kPreview));
    }
}

// Larger and smaller windows: the left column stays, the buttons give back
// at most the free band, the status box follows the bottom and the width,
// and the picture is the largest of its aspect centred in its room.
TEST(WindowLayout, OtherSizesMoveOnlyThePreviewTheStatusBoxAndTheButtons) {
    const Template t = MainTemplate();
    const int band = FreeBand(t, 96);
    EXPECT_EQ(band, 711 - 635 - 12);
    const struct {
        const char* name;
        Size client;
        Aspect aspect;
        int lift;
        Rect preview;
    } cases[] = {
        // Room 1492x949: full width, 933 high, 8 down.
        {"1.5 times, 16:10", {2103, 1166}, PictureAspect(0), 0, {599, 20, 2091, 953}},
        // Room 1791x560: full height, 996 wide, 397 in.
        {"wider only, 16:9: height-limited", {2402, 777}, PictureAspect(1), 0, {996, 12, 1992, 572}},
        // Room 791x520: full height, 693 wide, 49 in.
        {"40 lower: from the band", {1402, 737}, PictureAspect(4), 40, {648, 12, 1341, 532}},
        // The band gives 64 and the rest comes off the room: 791x460.
        {"100 lower: the band only", {1402, 677}, PictureAspect(4), band, {688, 12, 1301, 472}},
        {"300 narrower, idle: the room", {1102, 777}, {}, 0, {599, 12, 1090, 572}},
        // Room 792x560: full width, 495 high, 32 down.
        {"one pixel wider: fitted, not specified", {1403, 777}, PictureAspect(0), 0, {599, 44, 1391, 539}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Rect> out = Layout(t, c.client, 96, c.aspect);
        EXPECT_EQ(Of(t, out, 1001), Rect(12, 7, 586, 116));
        EXPECT_EQ(Of(t, out, kSlider), Rect(207, 256, 575, 282));
        EXPECT_EQ(Of(t, out, kResolution), Rect(116, 613, 256, 635));
        EXPECT_EQ(Of(t, out, kStart), Rect(25, 711 - c.lift, 218, 753 - c.lift));
        EXPECT_EQ(Of(t, out, kExit), Rect(382, 711 - c.lift, 575, 753 - c.lift));
        const Rect status = Of(t, out, kStatus);
        EXPECT_EQ(status, Rect(599, c.client.cy - 196, c.client.cx - 12, c.client.cy - 12)) << Show(status);
        const Rect preview = Of(t, out, kPreview);
        EXPECT_EQ(preview, c.preview) << Show(preview);
        if (c.aspect.Known()) {
            EXPECT_TRUE(HoldsAspect(preview, c.aspect)) << Show(preview);
        }
        EXPECT_LE(preview.bottom, status.top);
        EXPECT_LE(preview.right, c.client.cx);
    }
}

// From the first size to 1.5 times and back, and from 100 % to 150 % and
// back (what the window does on WM_DPICHANGED): nothing drifts.
TEST(WindowLayout, ResizeAndScaleChangeComeBackToTheSameRectangles) {
    const Template t = MainTemplate();
    for (Aspect aspect : {Aspect{}, PictureAspect(0), PictureAspect(1), PictureAspect(4)}) {
        SCOPED_TRACE(aspect.width);
        const std::vector<Rect> first = Layout(t, t.client, 96, aspect);
        const std::vector<Rect> grown = Layout(t, {t.client.cx * 3 / 2, t.client.cy * 3 / 2}, 96, aspect);
        EXPECT_GT(Of(t, grown, kPreview).Width(), Of(t, first, kPreview).Width());
        EXPECT_EQ(Of(t, grown, kStatus).Width(), Of(t, first, kStatus).Width() + t.client.cx / 2);

        // 150 %: the template's rectangles scaled, the picture at 1200 wide.
        const Size scaledClient{2103, 1166};
        const std::vector<Rect> scaled = Layout(t, scaledClient, 144, aspect);
        EXPECT_EQ(Of(t, scaled, kSlider), Rect(311, 384, 863, 423));
        EXPECT_EQ(Of(t, scaled, kStart), Rect(38, 1067, 327, 1130));
        EXPECT_EQ(Of(t, scaled, kStatus), Rect(899, 872, 2085, 1148));
        if (aspect.Known()) {
            EXPECT_EQ(Of(t, scaled, kPreview).Width(), 1200);
            EXPECT_TRUE(HoldsAspect(Of(t, scaled, kPreview), aspect));
        }
        EXPECT_EQ(Layout(t, t.client, 96, aspect), first);
    }
    // At another scale the least size grows with it.
    EXPECT_EQ(MinimumClient(t, 96), Size(599 + 320 + 12, 777 - FreeBand(t, 96)));
    EXPECT_EQ(MinimumClient(t, 144), Size(899 + 480 + 18, 1166 - FreeBand(t, 144)));
}

// Down to the least size nothing overlaps and every rectangle stays in the
// client area, at every scale and picture.
TEST(WindowLayout, AtTheLeastSizeEverythingStaysInsideAndApart) {
    const Template t = MainTemplate();
    for (int dpi : {96, 120, 144, 192})
        for (Aspect aspect : {Aspect{}, PictureAspect(0), PictureAspect(1), PictureAspect(4)}) {
            SCOPED_TRACE(std::to_string(dpi) + " dpi, aspect " + std::to_string(aspect.width));
            const Size least = MinimumClient(t, dpi);
            const std::vector<Rect> out = Layout(t, least, dpi, aspect);
            const Rect client{0, 0, least.cx, least.cy};
            for (size_t i = 0; i < out.size(); ++i) {
                EXPECT_TRUE(Inside(out[i], client)) << t.controls[i].id << " " << Show(out[i]);
                for (size_t j = 0; j < i; ++j) {
                    if (t.controls[i].id == 1001 || t.controls[j].id == 1001) continue;  // the group box
                    EXPECT_FALSE(Overlap(out[i], out[j])) << t.controls[i].id << " and " << t.controls[j].id;
                }
            }
            EXPECT_GE(Of(t, out, kPreview).Width(), ScaleLength(kMinPreviewWidth, kBaseDpi, dpi));
        }
}

TEST(WindowLayout, TinyOrEmptyInputsGiveNoNegativeSizes) {
    const Template t = MainTemplate();
    for (Size client : {Size{0, 0}, Size{10, 10}, Size{600, 100}}) {
        for (const Rect& r : Layout(t, client, 96, PictureAspect(0))) {
            EXPECT_GE(r.Width(), 0);
            EXPECT_GE(r.Height(), 0);
        }
    }
    EXPECT_TRUE(Layout(Template{}, {800, 600}, 96, PictureAspect(0)).empty());
    EXPECT_EQ(ScaleLength(-7, 96, 144), -11);  // rounded away from zero, as +7 gives 11
    EXPECT_EQ(ScaleLength(7, 96, 144), 11);
}

}  // namespace
