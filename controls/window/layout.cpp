// The main window on every screen: it opens whole and centred in the work
// area of its monitor (with a smaller font where the template's does not
// fit), lays its controls out when resized, keeps a least size, and follows
// a change of the monitor's scale. The geometry itself is
// ui::layout::Layout; this file only measures and applies.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "resources/resource.h"
#include "ui/dialog_template.h"
#include "window/main_dialog.h"

namespace {

using ui::layout::Anchor;

// The smallest font a window may fall back to on a small screen, and the
// least it keeps on a screen of at least 768 pixels in height at 100 %.
constexpr int kLeastFontPoints = 6;
constexpr int kLeastFontPointsOnLargerScreens = 8;
constexpr int kLargerScreenHeight = 768;

// Automatic scaling of dialogs by the system (per-monitor v2), off: the
// window makes its fonts and rectangles itself.
constexpr DWORD kDialogDisableAll = 0x1 | 0x2 | 0x4;  // DDC_DISABLE_ALL | _RESIZE | _CONTROL_RELAYOUT
constexpr DWORD kControlDisableAll = 0x1 | 0x2;       // DCDC_DISABLE_FONTUPDATE | _RELAYOUT

Anchor AnchorOf(int id) {
    switch (id) {
    case IDC_PREVIEW: return Anchor::Picture;
    case IDC_STATUS: return Anchor::BelowPicture;
    case IDC_START_CAMERA:
    case IDC_EXIT: return Anchor::Bottom;
    default: return Anchor::Fixed;
    }
}

// Functions of newer systems, looked up so that the program still starts
// where they are missing.
template <class F>
F User32(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int DpiOf(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = User32<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpi)
        if (const UINT dpi = getDpi(hwnd)) return static_cast<int>(dpi);
    HDC dc = GetDC(hwnd);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(hwnd, dc);
    return dpi > 0 ? dpi : ui::layout::kBaseDpi;
}

// Width and height of the frame, caption and one-line menu bar at `dpi`.
SIZE NonClientSize(HWND hwnd, int dpi) {
    RECT r{0, 0, 0, 0};
    const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
    using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32<AdjustFn>("AdjustWindowRectExForDpi");
    if (!(adjustForDpi && adjustForDpi(&r, style, TRUE, exStyle, static_cast<UINT>(dpi))))
        AdjustWindowRectEx(&r, style, TRUE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

RECT WorkArea(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool IsComboBox(HWND hwnd) {
    wchar_t name[16] = {};
    return GetClassNameW(hwnd, name, 16) > 0 && lstrcmpiW(name, L"ComboBox") == 0;
}

std::span<const uint8_t> TemplateBytes(UINT templateId) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes) return {};
    return {bytes, SizeofResource(module, found)};
}

}  // namespace

ui::MessageMap CVornControlsDlg::LayoutMap() {
    static const ui::MapEntry entries[] = {
        ui::OnMessage<&CVornControlsDlg::OnSize>(WM_SIZE),
        ui::OnMessage<&CVornControlsDlg::OnGetMinMaxInfo>(WM_GETMINMAXINFO),
        ui::OnMessage<&CVornControlsDlg::OnDpiChanged>(WM_DPICHANGED),
    };
    return entries;
}

void CVornControlsDlg::CaptureLayoutTemplate() {
    auto& s = m_layout;
    s.tmpl = {};
    s.windows.clear();
    s.listHeights.clear();
    // The template's own size: a window larger than its screen may have been
    // made smaller than that.
    RECT client{};
    GetClientRect(hwnd(), &client);
    const std::span<const uint8_t> bytes = TemplateBytes(templateId());
    if (auto extent = ui::ReadTemplateExtent(bytes)) {
        client = {0, 0, extent->cx, extent->cy};
        MapDialogRect(hwnd(), &client);
    }
    s.tmpl.client = {client.right, client.bottom};
    s.tmpl.dpi = s.dpi = DpiOf(hwnd());
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT r = ChildRect(hwnd(), child);
        // A combo box's height in a move is that of its open list; in the
        // layout it is the closed box.
        RECT list = r;
        if (IsComboBox(child)) SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
        const int moveHeight = list.bottom - list.top;
        const int id = GetDlgCtrlID(child);
        s.tmpl.controls.push_back({id, {r.left, r.top, r.right, r.bottom}, AnchorOf(id)});
        s.windows.push_back(child);
        s.listHeights.push_back(moveHeight);
    }
    s.fontPoints = FontPoints().value_or(ui::TemplateFontPoints(bytes).value_or(0));
    s.templateFont = {};
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)))
        GetObjectW(font, sizeof s.templateFont, &s.templateFont);
    s.ready = true;

    using DialogBehaviourFn = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    static const auto dialogBehaviour = User32<DialogBehaviourFn>("SetDialogDpiChangeBehavior");
    static const auto controlBehaviour = User32<DialogBehaviourFn>("SetDialogControlDpiChangeBehavior");
    if (dialogBehaviour) dialogBehaviour(hwnd(), kDialogDisableAll, kDialogDisableAll);
    if (controlBehaviour)
        for (HWND child : s.windows) controlBehaviour(child, kControlDisableAll, kControlDisableAll);
}

bool CVornControlsDlg::ChooseTemplateFont() {
    CaptureLayoutTemplate();
    const auto& s = m_layout;
    const RECT work = WorkArea(hwnd());
    const SIZE frame = NonClientSize(hwnd(), s.dpi);
    const ui::layout::Size least = ui::layout::MinimumClient(s.tmpl, s.dpi);
    const bool fits = least.cx <= work.right - work.left - frame.cx && least.cy <= work.bottom - work.top - frame.cy;
    if (fits || s.fontPoints <= 0) return true;
    const int workHeightAt100 = ui::layout::ScaleLength(work.bottom - work.top, s.dpi, ui::layout::kBaseDpi);
    const int floor = workHeightAt100 >= kLargerScreenHeight ? kLeastFontPointsOnLargerScreens : kLeastFontPoints;
    if (s.fontPoints - 1 < floor) return true;  // as small as it may get: it opens cut
    RecreateWithFontPoints(s.fontPoints - 1);
    return false;
}

void CVornControlsDlg::PlaceInWorkArea() {
    const auto& s = m_layout;
    if (!s.ready) return;
    const RECT work = WorkArea(hwnd());
    RECT window{}, client{};
    GetWindowRect(hwnd(), &window);
    GetClientRect(hwnd(), &client);
    // The frame as it is, the menu bar included.
    const int frameX = (window.right - window.left) - client.right;
    const int frameY = (window.bottom - window.top) - client.bottom;
    const int width = std::min<int>(s.tmpl.client.cx, work.right - work.left - frameX) + frameX;
    const int height = std::min<int>(s.tmpl.client.cy, work.bottom - work.top - frameY) + frameY;
    const int x = work.left + std::max(0, static_cast<int>(work.right - work.left) - width) / 2;
    const int y = work.top + std::max(0, static_cast<int>(work.bottom - work.top) - height) / 2;
    SetWindowPos(hwnd(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
}

void CVornControlsDlg::ApplyLayout() {
    const auto& s = m_layout;
    if (!s.ready || !hwnd() || IsIconic(hwnd())) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const std::vector<ui::layout::Rect> rects =
        ui::layout::Layout(s.tmpl, {client.right, client.bottom}, s.dpi, s.aspect);
    HDWP batch = BeginDeferWindowPos(static_cast<int>(rects.size()));
    for (size_t i = 0; i < rects.size() && i < s.windows.size(); ++i) {
        HWND child = s.windows[i];
        if (!IsWindow(child)) continue;
        const ui::layout::Rect& want = rects[i];
        const RECT now = ChildRect(hwnd(), child);
        const bool samePlace = now.left == want.left && now.top == want.top;
        const bool sameSize = now.right - now.left == want.Width() && now.bottom - now.top == want.Height();
        if (samePlace && sameSize) continue;
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (samePlace ? SWP_NOMOVE : 0) | (sameSize ? SWP_NOSIZE : 0);
        int height = want.Height();
        if (IsComboBox(child)) height = ui::layout::ScaleLength(s.listHeights[i], s.tmpl.dpi, s.dpi);
        if (batch) batch = DeferWindowPos(batch, child, nullptr, want.left, want.top, want.Width(), height, flags);
        else SetWindowPos(child, nullptr, want.left, want.top, want.Width(), height, flags);
    }
    if (batch) EndDeferWindowPos(batch);
}

void CVornControlsDlg::SizePreview(int resolution) {
    m_layout.aspect = ui::layout::PictureAspect(resolution);
    ApplyLayout();
}

bool CVornControlsDlg::OnSize(WPARAM type, LPARAM) {
    if (type != SIZE_MINIMIZED) ApplyLayout();
    return false;
}

bool CVornControlsDlg::OnGetMinMaxInfo(WPARAM, LPARAM info) {
    const auto& s = m_layout;
    if (!s.ready) return false;
    const ui::layout::Size least = ui::layout::MinimumClient(s.tmpl, s.dpi);
    const SIZE frame = NonClientSize(hwnd(), s.dpi);
    const RECT work = WorkArea(hwnd());
    // Never more than the work area: a window that opened cut stays movable.
    auto* minMax = reinterpret_cast<MINMAXINFO*>(info);
    minMax->ptMinTrackSize.x = std::min<LONG>(least.cx + frame.cx, work.right - work.left);
    minMax->ptMinTrackSize.y = std::min<LONG>(least.cy + frame.cy, work.bottom - work.top);
    return true;
}

bool CVornControlsDlg::OnDpiChanged(WPARAM dpis, LPARAM suggested) {
    auto& s = m_layout;
    if (!s.ready || suggested == 0) return false;
    const int dpi = HIWORD(dpis);
    if (dpi <= 0) return false;
    // The template's font at the new scale; the dialog manager's own again
    // when the scale is the template's.
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    HFONT made = nullptr;
    if (dpi != s.tmpl.dpi && s.templateFont.lfHeight != 0) {
        LOGFONTW scaled = s.templateFont;
        scaled.lfHeight = ui::layout::ScaleLength(scaled.lfHeight, s.tmpl.dpi, dpi);
        scaled.lfWidth = ui::layout::ScaleLength(scaled.lfWidth, s.tmpl.dpi, dpi);
        made = CreateFontIndirectW(&scaled);
        if (made) font = made;
    }
    for (HWND child : s.windows)
        if (IsWindow(child)) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (s.scaledFont) DeleteObject(s.scaledFont);
    s.scaledFont = made;
    s.dpi = dpi;

    const RECT* r = reinterpret_cast<const RECT*>(suggested);
    SetWindowPos(hwnd(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
    InvalidateRect(hwnd(), nullptr, TRUE);
    return true;
}
