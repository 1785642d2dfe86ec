// Helpers for the tests of the property pairs and the mode check boxes: a
// started, shown window whose camera-dependent controls are live, and the
// user's actions on edits, sliders and check boxes as the controls
// themselves produce them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/controls.h"
#include "window_fixture.h"

namespace vorn::test {

class PropertyWindowTest : public MainWindowTest {
protected:
    // Starts the window on the scenario and makes the controls live as a
    // camera start does; prompts and trace start empty.
    void StartLive(const std::string& scenario) {
        LoadScenario(scenario);
        ASSERT_TRUE(Start());
        ShowWindow(Hwnd(), SW_SHOW);
        Dlg().EnableControls(true);
        Pump();
        Prompts().Clear();
        ClearTrace();
        Mark();
    }

    // Remembers where the status text ends now; Since() returns what came after.
    void Mark() { mark_ = Dlg().m_statusText.size(); }
    std::wstring Since() const {
        const std::wstring& s = dlg().m_statusText;
        return mark_ <= s.size() ? s.substr(mark_) : s;
    }
    std::wstring StatusBox() const { return ui::WindowText(Item(IDC_STATUS)); }

    // Typing: each character as a key press into the edit (WM_CHAR), at the
    // end of its text.
    void Type(int id, const std::wstring& chars) {
        for (wchar_t c : chars) {
            HWND edit = Item(id);
            int n = GetWindowTextLengthW(edit);
            SendMessageW(edit, EM_SETSEL, n, n);
            SendMessageW(edit, WM_CHAR, c, 1);
            Pump();
        }
    }
    // Replaces the whole text at once (select all and type or paste over it).
    void Replace(int id, const std::wstring& text) {
        HWND edit = Item(id);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        Pump();
    }

    // A drag of the thumb through each position, as the trackbar reports it:
    // TB_THUMBTRACK for every position, then TB_THUMBPOSITION and TB_ENDTRACK.
    void Drag(int sliderId, int from, int to) {
        HWND slider = Item(sliderId);
        const int step = to >= from ? 1 : -1;
        for (int pos = from + step;; pos += step) {
            SendMessageW(slider, TBM_SETPOS, TRUE, pos);
            Scroll(sliderId, TB_THUMBTRACK, pos);
            if (pos == to) break;
        }
        Scroll(sliderId, TB_THUMBPOSITION, to);
        Scroll(sliderId, TB_ENDTRACK, 0);
    }
    void Scroll(int sliderId, int code, int pos) {
        SendMessageW(Hwnd(), WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)),
                     reinterpret_cast<LPARAM>(Item(sliderId)));
        Pump();
    }
    // A key press on the slider; the trackbar moves and notifies itself.
    void SliderKey(int sliderId, UINT vk) {
        HWND slider = Item(sliderId);
        SetFocus(slider);
        SendMessageW(slider, WM_KEYDOWN, vk, 1);
        SendMessageW(slider, WM_KEYUP, vk, 1u | (3u << 30));
        Pump();
    }
    int SliderPos(int id) const { return static_cast<int>(SendMessageW(Item(id), TBM_GETPOS, 0, 0)); }
    int SliderMin(int id) const { return static_cast<int>(SendMessageW(Item(id), TBM_GETRANGEMIN, 0, 0)); }
    int SliderMax(int id) const { return static_cast<int>(SendMessageW(Item(id), TBM_GETRANGEMAX, 0, 0)); }

    // A click on a check box: the button toggles itself and tells the window.
    void ClickBox(int id) {
        SendMessageW(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    static int Count(const std::wstring& text, const std::wstring& part) {
        int n = 0;
        for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }

private:
    const CVornControlsDlg& dlg() const { return const_cast<PropertyWindowTest*>(this)->Dlg(); }
    size_t mark_ = 0;
};

}  // namespace vorn::test
