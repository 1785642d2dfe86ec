// Thin wrappers over the common controls the tool's dialogs use. A wrapper
// is bound to its control by the data exchange (DataExchange::Control) and
// does not own the window.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The whole text of a window.
std::wstring WindowText(HWND hwnd);
// Writes the text unless the window already shows exactly that; texts over
// 255 characters are always written. Returns whether it wrote.
bool SetWindowTextIfChanged(HWND hwnd, const std::wstring& text);

class Control {
public:
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    HWND hwnd() const { return hwnd_; }
    bool attached() const { return hwnd_ != nullptr; }
    void Enable(bool on) const;
    void Show(bool on) const;

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

private:
    HWND hwnd_ = nullptr;
};

class Trackbar : public Control {
public:
    void SetRange(int min, int max) const;  // without redraw
    void SetPos(int pos, bool redraw = true) const;
    // Draws the thumb where the position stands in the current range. The
    // control moves its thumb only when the position changes, so after a
    // range change the thumb may still stand for the old range.
    void PlaceThumb() const;
    int GetPos() const;
    int RangeMin() const;
    int RangeMax() const;
};

class Edit : public Control {
public:
    std::wstring Text() const { return WindowText(hwnd()); }
    void SetText(const std::wstring& text) const;
    int LineCount() const;
    void LineScroll(int lines, int chars = 0) const;
    void SetSel(int start, int end) const;
};

class ComboBox : public Control {
public:
    int Count() const;
    int AddString(const std::wstring& text) const;
    int DeleteString(int index) const;  // remaining count, CB_ERR on a bad index
    int CurSel() const;                 // CB_ERR when nothing is selected
    int SetCurSel(int index) const;
    std::wstring ItemText(int index) const;
};

// A menu loaded from the resources. Destroyed with the object unless it was
// given to a window, which then owns it.
class Menu {
public:
    Menu() = default;
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    bool Load(UINT id);
    bool AttachTo(HWND window);
    HMENU handle() const { return menu_; }
    // flags: MF_ENABLED, MF_GRAYED, MF_DISABLED (by command id). Returns the
    // previous state or -1 when the item does not exist.
    int EnableItem(UINT id, UINT flags) const;
    // MF_* state bits of the item, or -1 when it does not exist.
    int State(UINT id) const;

private:
    HMENU menu_ = nullptr;
    HWND window_ = nullptr;
};

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace ui
