// Dialog base class over the Win32 dialog manager. A dialog is made from a
// template id, modal (DoModal) or modeless (Create, hidden until shown); the
// object travels to the window procedure through WM_INITDIALOG's lParam.
#pragma once

#include "ui/message_map.h"

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class DataExchange;

class Dialog {
public:
    explicit Dialog(UINT templateId);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog in its own modal loop, with the owner disabled, until
    // EndDialog; returns the result, or -1 when the window can't be created.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog modeless and hidden (whatever the template says).
    bool Create(HWND owner = nullptr);
    void Destroy();

    HWND hwnd() const { return hwnd_; }
    UINT templateId() const { return templateId_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::wstring& text);
    void EnableItem(int id, bool enable);
    void ShowItem(int id, bool show);
    bool ShowWindow(int command);

    // Ends the dialog: a modal loop returns the result, a modeless dialog is
    // hidden and stays created. Callable from any thread.
    void EndDialog(INT_PTR result);
    // The last EndDialog result since Create or DoModal began.
    std::optional<INT_PTR> EndResult() const;

    // The template's font size the window was made with; nullopt while it
    // is the resource's own.
    std::optional<int> FontPoints() const { return fontPoints_; }
    // From OnInitDialog, which then returns at once: once WM_INITDIALOG is
    // over, this window is destroyed and the dialog made again from the same
    // template with its font at `points`.
    void RecreateWithFontPoints(int points);

    // save true: controls to fields; false: fields to controls. Control
    // notifications to this dialog are dropped while the exchange runs.
    // Returns false when a field could not be read.
    bool UpdateData(bool save = true);
    bool IsLockedOut() const;

protected:
    // Base version writes the fields into the controls (UpdateData(false)).
    // Return true to let the dialog manager set the focus.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    // The tables of this dialog, searched in order.
    virtual std::vector<MessageMap> MessageMaps() const;
    // IDOK / IDCANCEL when no table handles them: end the dialog.
    virtual void OnOK();
    virtual void OnCancel();
    // Enter, Escape or the Close box while the button of that id is
    // disabled: the command is dropped; this lets the dialog say why.
    virtual void OnCommandRefused(int id);

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(const Message& msg);
    bool Dispatch(const Message& msg, LRESULT& result);
    HWND CreateWindowFromTemplate(HWND owner);
    HWND CreateOnce(HWND owner);

    UINT templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    std::atomic<bool> ended_{false};
    std::atomic<INT_PTR> result_{0};
    std::vector<MessageMap> maps_;
    std::optional<int> fontPoints_;
    std::optional<int> recreatePoints_;
};

// Handles one message for the dialog it belongs to (keyboard navigation,
// Enter and Escape); true when the message was consumed.
bool PreTranslateDialogMessage(MSG& msg);
// Dispatches everything queued for this thread, dialog keys included; for
// tests and for waits that must keep windows alive. Returns false on WM_QUIT
// (which is posted again).
bool PumpMessages();

}  // namespace ui
