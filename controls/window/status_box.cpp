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

size_t TextLength(HWND box) { return static_cast<size_t>(GetWindowTextLengthW(box)); }

}  // namespace

StatusBox::~StatusBox() { Unwatch(); }

LRESULT CALLBACK StatusBox::BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<StatusBox*>(data);
    if (CanChangeText(message)) ++self->changes_;
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &StatusBox::BoxProc, id);
        self->box_ = nullptr;
        self->recorded_ = false;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
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
}

void StatusBox::Record(HWND box, size_t length) {
    recorded_ = box == box_ && TextLength(box) == length;
    length_ = length;
    changesAtRecord_ = changes_;
}

bool StatusBox::Intact(HWND box) const {
    return recorded_ && box == box_ && changes_ == changesAtRecord_ && TextLength(box) == length_;
}

void StatusBox::Show(HWND box, const std::wstring& text) {
    if (!box) return;
    Watch(box);
    if (Intact(box) && text.size() >= length_) {
        if (text.size() == length_) return;
        SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(length_), static_cast<LPARAM>(length_));
        SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str() + length_));
        ++appends_;
        Record(box, text.size());
        if (recorded_) return;
        // The box did not take the whole tail: fall back to writing it all.
    }
    ui::SetWindowTextIfChanged(box, text);
    ++rewrites_;
    Record(box, text.size());
}

void StatusBox::Read(HWND box, std::wstring& text) {
    if (!box) return;
    Watch(box);
    if (Intact(box) && text.size() >= length_) {
        // The box holds the beginning of text: lines added since it was
        // written are dropped, as reading the box would drop them.
        text.resize(length_);
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
