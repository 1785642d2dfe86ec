// The main window's layout in the program: at its first size every control
// is where the template puts it and the window lies centred in its work
// area; a change of scale makes fonts and places for the new scale and comes
// back whole. Resizing, maximising and other screens: screens_check.cpp.
#include "window_fixture.h"

#include <cstdlib>
#include <vector>

#include "ui/dialog.h"

namespace vorn::test {
namespace {

class TemplateOnly : public ui::Dialog {
public:
    TemplateOnly() : ui::Dialog(IDD_VORN_CONTROLS_DIALOG) {}
    ~TemplateOnly() override { Destroy(); }
};

std::vector<RECT> ChildRects(HWND dialog) {
    std::vector<RECT> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        out.push_back(r);
    }
    return out;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

LONG FontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

class LayoutWindowTest : public MainWindowTest {
protected:
    RECT WindowRect() const {
        RECT r;
        GetWindowRect(Hwnd(), &r);
        return r;
    }
    RECT ClientRect() const {
        RECT r;
        GetClientRect(Hwnd(), &r);
        return r;
    }
    RECT ItemRect(int id) const {
        RECT r;
        GetWindowRect(Item(id), &r);
        MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void ChangeScale(int dpi, RECT suggested) {
        SendMessageW(Hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        Pump();
    }
};

TEST_F(LayoutWindowTest, AtItsFirstSizeEveryControlIsWhereTheTemplatePutsIt) {
    ASSERT_TRUE(Start());
    TemplateOnly plain;
    ASSERT_TRUE(plain.Create());
    const std::vector<RECT> want = ChildRects(plain.hwnd());
    const std::vector<RECT> got = ChildRects(Hwnd());
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(SameRect(got[i], want[i])) << "control " << i;
    // The whole template under the menu bar: the status box is not cut.
    RECT templateClient;
    GetClientRect(plain.hwnd(), &templateClient);
    EXPECT_TRUE(SameRect(ClientRect(), templateClient));

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(Hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT w = WindowRect(), work = monitor.rcWork;
    EXPECT_LE(std::abs((w.left - work.left) - (work.right - w.right)), 1);
    EXPECT_LE(std::abs((w.top - work.top) - (work.bottom - w.bottom)), 1);
}

TEST_F(LayoutWindowTest, AScaleChangeMakesFontsAndPlacesForItAndComesBackWhole) {
    ASSERT_TRUE(Start());
    const RECT first = WindowRect();
    const std::vector<RECT> rects = ChildRects(Hwnd());
    const LONG font = FontHeight(Item(IDC_START_CAMERA));
    const RECT slider = ItemRect(IDC_BRIGHTNESS_SLIDER);

    // The monitor's scale goes from 100 % to 125 %; the window is offered a
    // rectangle a quarter larger (which the screen may cut).
    ChangeScale(120, {first.left, first.top, first.left + (first.right - first.left) * 5 / 4,
                      first.top + (first.bottom - first.top) * 5 / 4});
    EXPECT_NEAR(FontHeight(Item(IDC_START_CAMERA)), font * 5 / 4, 1);
    EXPECT_NEAR(FontHeight(Item(IDC_STATUS)), font * 5 / 4, 1);
    const RECT scaled = ItemRect(IDC_BRIGHTNESS_SLIDER);
    EXPECT_NEAR(scaled.left, slider.left * 5 / 4, 1);
    EXPECT_NEAR(scaled.right, slider.right * 5 / 4, 1);
    EXPECT_NEAR(scaled.bottom - scaled.top, (slider.bottom - slider.top) * 5 / 4, 1);
    const RECT client = ClientRect();
    for (HWND c = GetWindow(Hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r, inside;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(IntersectRect(&inside, &r, &client) && SameRect(inside, r)) << GetDlgCtrlID(c);
    }

    // And back: the same rectangles and the template's font.
    ChangeScale(96, first);
    EXPECT_TRUE(SameRect(WindowRect(), first));
    EXPECT_EQ(FontHeight(Item(IDC_START_CAMERA)), font);
    const std::vector<RECT> back = ChildRects(Hwnd());
    ASSERT_EQ(back.size(), rects.size());
    for (size_t i = 0; i < back.size(); ++i) EXPECT_TRUE(SameRect(back[i], rects[i])) << "control " << i;
}

}  // namespace
}  // namespace vorn::test
