// The status box shows the window's status text, which only grows while the
// tool runs. Rewriting megabytes into the edit control on every refresh
// would make each step cost more the longer the tool runs, so the box is
// given only the new tail while it still holds exactly what was last written
// here, and the whole text otherwise.
//
// Even an append costs the edit control time that grows with its text, so
// while the box is hidden (Show Status Information unticked, the usual case)
// new lines wait here and go in at once when anything looks at the box:
// any message to it, showing and painting among them, first writes what
// waits. What a reader, the user or a test sees is the same as if every
// line had gone in at once.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace ui {
class DataExchange;
}

namespace vorn::window {

class StatusBox {
public:
    StatusBox() = default;
    StatusBox(const StatusBox&) = delete;
    StatusBox& operator=(const StatusBox&) = delete;
    ~StatusBox();

    // Makes the box show text. The window's status text only grows between
    // refreshes (AppendStatus) or is taken from the box (Read), so when the
    // box is untouched since the last write its text is text's beginning.
    void Show(HWND box, const std::wstring& text);
    // The box's text into text, as reading the control would give it.
    void Read(HWND box, std::wstring& text);
    // Show or Read on the dialog's control id, in the exchange's direction.
    void Exchange(ui::DataExchange& dx, int id, std::wstring& text);

    // Scrolls the box so that its last line is in view; for a hidden box
    // with lines waiting, once they are written.
    void ScrollToEnd(HWND box);

    // For a status text changed other than by appending: the next Show
    // writes the whole text.
    void Forget();

    // Whether the box holds exactly what was last written or read here:
    // no message that can change an edit control's text reached it since,
    // and its length is the one recorded.
    bool Intact(HWND box) const;

    uint64_t appends() const { return appends_; }
    uint64_t rewrites() const { return rewrites_; }
    // Characters shown to the box but not yet written into it.
    size_t waiting() const { return pending_.size(); }

private:
    void Watch(HWND box);
    void Unwatch();
    void Record(HWND box, size_t length);
    // Writes the waiting lines into the box, then the scroll that waited.
    void Flush();
    void ScrollNow(HWND box);
    size_t BoxLength(HWND box) const;
    static LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data);

    HWND box_ = nullptr;
    uint64_t changes_ = 0;         // text-changing messages the box received
    uint64_t changesAtRecord_ = 0;
    size_t length_ = 0;            // characters the box held then
    bool recorded_ = false;
    uint64_t appends_ = 0;
    uint64_t rewrites_ = 0;
    std::wstring pending_;         // after the box's length_ characters
    bool scrollPending_ = false;
    mutable bool own_ = false;     // our own messages to the box: no flush
};

}  // namespace vorn::window
