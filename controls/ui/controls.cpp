#include "ui/controls.h"

#include <commctrl.h>

#include <vector>

namespace ui {

std::wstring WindowText(HWND hwnd) {
    if (!hwnd) return {};
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

bool SetWindowTextIfChanged(HWND hwnd, const std::wstring& text) {
    if (!hwnd) return false;
    // An unchanged box keeps its caret, selection and scroll position and
    // sends no EN_CHANGE. Long texts are not compared.
    constexpr size_t kCompareLimit = 255;
    if (text.size() <= kCompareLimit && WindowText(hwnd) == text) return false;
    SetWindowTextW(hwnd, text.c_str());
    return true;
}

void Control::Enable(bool on) const {
    if (hwnd_) EnableWindow(hwnd_, on ? TRUE : FALSE);
}

void Control::Show(bool on) const {
    if (hwnd_) ShowWindow(hwnd_, on ? SW_SHOW : SW_HIDE);
}

LRESULT Control::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return hwnd_ ? SendMessageW(hwnd_, message, wParam, lParam) : 0;
}

void Trackbar::SetRange(int min, int max) const {
    Send(TBM_SETRANGEMIN, FALSE, min);
    Send(TBM_SETRANGEMAX, FALSE, max);
}

void Trackbar::SetPos(int pos, bool redraw) const { Send(TBM_SETPOS, redraw ? TRUE : FALSE, pos); }

void Trackbar::PlaceThumb() const {
    const int pos = GetPos();
    const int other = pos != RangeMax() ? RangeMax() : RangeMin();
    if (other != pos) Send(TBM_SETPOS, TRUE, other);
    Send(TBM_SETPOS, TRUE, pos);
}

int Trackbar::GetPos() const { return static_cast<int>(Send(TBM_GETPOS)); }
int Trackbar::RangeMin() const { return static_cast<int>(Send(TBM_GETRANGEMIN)); }
int Trackbar::RangeMax() const { return static_cast<int>(Send(TBM_GETRANGEMAX)); }

void Edit::SetText(const std::wstring& text) const {
    if (hwnd()) SetWindowTextW(hwnd(), text.c_str());
}

int Edit::LineCount() const { return static_cast<int>(Send(EM_GETLINECOUNT)); }

void Edit::LineScroll(int lines, int chars) const { Send(EM_LINESCROLL, chars, lines); }

void Edit::SetSel(int start, int end) const { Send(EM_SETSEL, start, end); }

int ComboBox::Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }

int ComboBox::AddString(const std::wstring& text) const {
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::DeleteString(int index) const {
    return static_cast<int>(Send(CB_DELETESTRING, static_cast<WPARAM>(index)));
}

int ComboBox::CurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }

int ComboBox::SetCurSel(int index) const {
    return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

std::wstring ComboBox::ItemText(int index) const {
    const LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR || length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data());
}

Menu::~Menu() {
    // A window destroys its own menu; one that was never given away is ours.
    if (menu_ && !window_) DestroyMenu(menu_);
}

bool Menu::Load(UINT id) {
    HMENU loaded = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    if (!loaded) return false;
    if (menu_ && !window_) DestroyMenu(menu_);
    menu_ = loaded;
    window_ = nullptr;
    return true;
}

bool Menu::AttachTo(HWND window) {
    if (!menu_ || !SetMenu(window, menu_)) return false;
    window_ = window;
    return true;
}

int Menu::EnableItem(UINT id, UINT flags) const {
    if (!menu_) return -1;
    return static_cast<int>(EnableMenuItem(menu_, id, MF_BYCOMMAND | flags));
}

int Menu::State(UINT id) const {
    if (!menu_) return -1;
    return static_cast<int>(GetMenuState(menu_, id, MF_BYCOMMAND));
}

WaitCursor::WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}

WaitCursor::~WaitCursor() { SetCursor(previous_); }

}  // namespace ui
