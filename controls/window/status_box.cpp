#include "window/status_box.h"

#include <commctrl.h>

#include "ui/controls.h"
#include "ui/data_exchange.h"
#include "ui/dialog.h"

namespace vorn::window {
namespace {

constexpr UINT_PTR kSubclassId = 0x5354;  // one per box

// Every message by which an edit control's text can change: set outright,
// replaced, typed, pasted, cut, cleared, undone, composed or handed over as
// a buffer. Any of them counts as a change, whether or not it changed
// anything.
bool CanChangeText(UINT message) {
    switch (message) {
    case WM_SETTEXT:
    case EM_REPLACESEL:
    case WM_CHAR:
    case WM_UNICHAR:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_SETHANDLE:
    case EM_GETHANDLE:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
        return true;
    default:
        return false;
    }
}

}  // namespace

StatusBox::~StatusBox() { Unwatch(); }

LRESULT CALLBACK StatusBox::BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<StatusBox*>(data);
    // Whoever sends the box anything, be it a read, a paint, a show or a
    // change, finds the waiting lines already in it.
    if (!self->own_ && !self->pending_.empty() && message != WM_DESTROY && message != WM_NCDESTROY) self->Flush();
    if (CanChangeText(message)) ++self->changes_;
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &StatusBox::BoxProc, id);
        self->box_ = nullptr;
        self->recorded_ = false;
        self->pending_.clear();
        self->scrollPending_ = false;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

size_t StatusBox::BoxLength(HWND box) const {
    const bool was = own_;
    own_ = true;
    const size_t length = static_cast<size_t>(GetWindowTextLengthW(box));
    own_ = was;
    return length;
}

void StatusBox::Watch(HWND box) {
    if (box == box_) return;
    Unwatch();
    recorded_ = false;
    if (!SetWindowSubclass(box, &StatusBox::BoxProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return;
    box_ = box;
    // Appending is limited by the box's text limit, setting the text is not.
    SendMessageW(box, EM_SETLIMITTEXT, 0, 0);
}

void StatusBox::Unwatch() {
    if (box_ && IsWindow(box_)) RemoveWindowSubclass(box_, &StatusBox::BoxProc, kSubclassId);
    box_ = nullptr;
    recorded_ = false;
    pending_.clear();
    scrollPending_ = false;
}

void StatusBox::Record(HWND box, size_t length) {
    recorded_ = box == box_ && BoxLength(box) == length;
    length_ = length;
    changesAtRecord_ = changes_;
}

bool StatusBox::Intact(HWND box) const {
    return recorded_ && box == box_ && changes_ == changesAtRecord_ && BoxLength(box) == length_;
}

void StatusBox::Flush() {
    if (!box_ || pending_.empty()) return;
    std::wstring tail;
    tail.swap(pending_);
    own_ = true;
    SendMessageW(box_, EM_SETSEL, static_cast<WPARAM>(length_), static_cast<LPARAM>(length_));
    SendMessageW(box_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(tail.c_str()));
    own_ = false;
    // A box that did not take the whole tail is no longer intact, and the
    // next Show writes the whole text.
    Record(box_, length_ + tail.size());
    if (scrollPending_) {
        scrollPending_ = false;
        ScrollNow(box_);
    }
}

void StatusBox::ScrollNow(HWND box) {
    const LRESULT lines = SendMessageW(box, EM_GETLINECOUNT, 0, 0);
    SendMessageW(box, EM_LINESCROLL, 0, lines);
}

void StatusBox::ScrollToEnd(HWND box) {
    if (!box) return;
    if (box == box_ && !pending_.empty()) {
        scrollPending_ = true;
        return;
    }
    ScrollNow(box);
}

void StatusBox::Forget() {
    Flush();
    recorded_ = false;
}

void StatusBox::Show(HWND box, const std::wstring& text) {
    if (!box) return;
    Watch(box);
    const size_t shown = length_ + pending_.size();
    if (Intact(box) && text.size() >= shown) {
        if (text.size() == shown) return;
        pending_.append(text, shown, std::wstring::npos);
        ++appends_;
        if (!IsWindowVisible(box)) return;
        Flush();
        if (recorded_) return;
    }
    pending_.clear();
    scrollPending_ = false;
    ui::SetWindowTextIfChanged(box, text);
    ++rewrites_;
    Record(box, text.size());
}

void StatusBox::Read(HWND box, std::wstring& text) {
    if (!box) return;
    Watch(box);
    const size_t shown = length_ + pending_.size();
    if (Intact(box) && text.size() >= shown) {
        // The box holds, or is about to hold, the beginning of text: lines
        // added since it was shown are dropped, as reading the box would
        // drop them.
        text.resize(shown);
        return;
    }
    text = ui::WindowText(box);
    Record(box, text.size());
}

void StatusBox::Exchange(ui::DataExchange& dx, int id, std::wstring& text) {
    if (dx.failed()) return;
    HWND box = dx.dialog().Item(id);
    if (dx.saving())
        Read(box, text);
    else
        Show(box, text);
}

}  // namespace vorn::window
