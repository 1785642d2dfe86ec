// One pass of the main window's layout: the template's 52 rectangles to the
// rectangles for a client size, at the template's own size and scale, at
// 1.5 times the size, and after a change of scale (each rectangle scaled
// again). This is what the window computes on every WM_SIZE while a user
// drags its frame; moving the controls is the window system's work and is
// timed by resize_timing.exe under Wine.
#include <benchmark/benchmark.h>

#include "ui/window_layout.h"

namespace {

using namespace ui::layout;

// The main window's template at 96 dots per inch: three groups of picture
// settings (a label, an edit and a slider each), check boxes, the snapshot
// group, the combo boxes, the two buttons, the preview and the status box.
Template MainTemplate() {
    Template t;
    t.client = {1402, 777};
    t.dpi = 96;
    int id = 1001;
    for (int group = 0; group < 3; ++group)
        t.controls.push_back({id++, {12, 7 + group * 116, 586, 116 + group * 116}, Anchor::Fixed});
    for (int row = 0; row < 10; ++row) {
        const int y = 25 + row * 36;
        t.controls.push_back({-1, {25, y + 5, 134, y + 19}, Anchor::Fixed});
        t.controls.push_back({id++, {137, y, 200, y + 25}, Anchor::Fixed});
        t.controls.push_back({id++, {207, y, 575, y + 26}, Anchor::Fixed});
    }
    for (int i = 0; i < 15; ++i) {
        const int x = 25 + (i % 3) * 170, y = 424 + (i / 3) * 40;
        t.controls.push_back({id++, {x, y, x + 155, y + 18}, Anchor::Fixed});
    }
    t.controls.push_back({1, {25, 711, 218, 753}, Anchor::Bottom});
    t.controls.push_back({2, {382, 711, 575, 753}, Anchor::Bottom});
    t.controls.push_back({1025, {599, 12, 1390, 572}, Anchor::Picture});
    t.controls.push_back({1024, {599, 581, 1390, 765}, Anchor::BelowPicture});
    return t;
}

void BM_LayoutPass(benchmark::State& state) {
    const Template t = MainTemplate();
    const int dpi = static_cast<int>(state.range(0));
    const int percent = static_cast<int>(state.range(1));
    const Size client{ScaleLength(t.client.cx, 96, dpi) * percent / 100,
                      ScaleLength(t.client.cy, 96, dpi) * percent / 100};
    for (auto _ : state) benchmark::DoNotOptimize(Layout(t, client, dpi, PictureAspect(0)));
    state.counters["controls"] = static_cast<double>(t.controls.size());
}
// dots per inch, client size in percent of the template's at that scale
BENCHMARK(BM_LayoutPass)->Args({96, 100})->Args({96, 150})->Args({144, 100})->Args({144, 150});

void BM_MinimumClient(benchmark::State& state) {
    const Template t = MainTemplate();
    for (auto _ : state) benchmark::DoNotOptimize(MinimumClient(t, 144));
}
BENCHMARK(BM_MinimumClient);

}  // namespace

BENCHMARK_MAIN();
