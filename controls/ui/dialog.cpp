#include "ui/dialog.h"

#include "ui/controls.h"
#include "ui/data_exchange.h"
#include "ui/prompts.h"
#include "ui/dialog_template.h"

#include <cwchar>
#include <exception>
#include <string>

namespace ui {
namespace {

// The window whose control notifications are dropped, per thread; an
// exchange saves the previous owner and puts it back when it ends.
thread_local HWND g_lockedOut = nullptr;

class LockOut {
public:
    explicit LockOut(HWND hwnd) : previous_(g_lockedOut) { g_lockedOut = hwnd; }
    ~LockOut() { g_lockedOut = previous_; }
    LockOut(const LockOut&) = delete;
    LockOut& operator=(const LockOut&) = delete;

private:
    HWND previous_;
};

bool IsControlNotification(const Message& m) {
    switch (m.message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return m.lParam != 0;  // from a control, not a menu or the window's own bar
    case WM_NOTIFY:
        return true;
    default:
        return false;
    }
}

bool Matches(const MapEntry& e, const Message& m) {
    if (e.message != m.message) return false;
    if (m.message != WM_COMMAND) return true;
    const int id = LOWORD(m.wParam);
    return HIWORD(m.wParam) == e.code && id >= e.firstId && id <= e.lastId;
}

// These messages give their result as the dialog procedure's return value.
bool ReturnsDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

std::wstring Widen(const char* text) {
    std::wstring out;
    for (const char* p = text; *p; ++p) out.push_back(static_cast<unsigned char>(*p));
    return out;
}

bool IsDialogClass(HWND hwnd) {
    wchar_t name[16] = {};
    return GetClassNameW(hwnd, name, 16) > 0 && std::wcscmp(name, L"#32770") == 0;
}

bool OnOwnThread(HWND hwnd) { return GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId(); }

}  // namespace

Dialog::Dialog(UINT templateId) : templateId_(templateId) {}

Dialog::~Dialog() {
    if (hwnd_ && IsWindow(hwnd_)) {
        // The derived part is gone: no handler may run during destruction.
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        if (OnOwnThread(hwnd_)) DestroyWindow(hwnd_);
        else PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
    hwnd_ = nullptr;
}

HWND Dialog::CreateWindowFromTemplate(HWND owner) {
    maps_ = MessageMaps();
    // Each font size is tried once at most, so this ends.
    for (int attempt = 0;; ++attempt) {
        ended_ = false;
        result_ = 0;
        recreatePoints_.reset();
        const HWND created = CreateOnce(owner);
        if (!created || !recreatePoints_ || recreatePoints_ == fontPoints_ || attempt >= 72) return created;
        fontPoints_ = recreatePoints_;
        DestroyWindow(created);
    }
}

HWND Dialog::CreateOnce(HWND owner) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    if (fontPoints_) {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId_), RT_DIALOG);
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
        if (bytes) {
            auto changed = WithTemplateFontPoints({bytes, SizeofResource(module, found)}, *fontPoints_);
            if (changed)
                return CreateDialogIndirectParamW(module, reinterpret_cast<LPCDLGTEMPLATEW>(changed->data()), owner,
                                                  &Dialog::Proc, reinterpret_cast<LPARAM>(this));
        }
    }
    return CreateDialogParamW(module, MAKEINTRESOURCEW(templateId_), owner, &Dialog::Proc,
                              reinterpret_cast<LPARAM>(this));
}

void Dialog::RecreateWithFontPoints(int points) { recreatePoints_ = points; }

INT_PTR Dialog::DoModal(HWND owner) {
    if (hwnd_) return -1;
    modal_ = true;
    const HWND created = CreateWindowFromTemplate(owner);
    if (!created) {
        modal_ = false;
        return -1;
    }
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    if (!ended_ && hwnd_) {
        ::ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
    }

    bool quit = false;
    WPARAM quitCode = 0;
    while (!ended_ && hwnd_) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got == -1) break;
        if (!PreTranslateDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner first, so that activation goes back to it.
    if (disableOwner) EnableWindow(owner, TRUE);
    if (hwnd_) {
        ::ShowWindow(hwnd_, SW_HIDE);
        DestroyWindow(hwnd_);
    }
    modal_ = false;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return ended_ ? result_.load() : -1;
}

bool Dialog::Create(HWND owner) {
    if (hwnd_) return false;
    modal_ = false;
    const HWND created = CreateWindowFromTemplate(owner);
    if (created && IsWindowVisible(created)) ::ShowWindow(created, SW_HIDE);
    return created != nullptr;
}

void Dialog::Destroy() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

std::wstring Dialog::ItemText(int id) const { return WindowText(Item(id)); }

void Dialog::SetItemText(int id, const std::wstring& text) {
    if (HWND item = Item(id)) SetWindowTextW(item, text.c_str());
}

void Dialog::EnableItem(int id, bool enable) {
    if (HWND item = Item(id)) EnableWindow(item, enable ? TRUE : FALSE);
}

void Dialog::ShowItem(int id, bool show) {
    if (HWND item = Item(id)) ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

bool Dialog::ShowWindow(int command) { return hwnd_ && ::ShowWindow(hwnd_, command) != 0; }

void Dialog::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (!hwnd_) return;
    if (modal_) {
        PostMessageW(hwnd_, WM_NULL, 0, 0);  // wake the modal loop
    } else if (OnOwnThread(hwnd_)) {
        ::ShowWindow(hwnd_, SW_HIDE);
    } else {
        ShowWindowAsync(hwnd_, SW_HIDE);
    }
}

std::optional<INT_PTR> Dialog::EndResult() const {
    if (!ended_) return std::nullopt;
    return result_.load();
}

bool Dialog::UpdateData(bool save) {
    if (!hwnd_) return false;
    LockOut lock(hwnd_);
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    return !dx.failed();
}

bool Dialog::IsLockedOut() const { return hwnd_ && g_lockedOut == hwnd_; }

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

std::vector<MessageMap> Dialog::MessageMaps() const { return {}; }

void Dialog::OnOK() { EndDialog(IDOK); }

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::OnCommandRefused(int) {}

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    }
    // No exception may unwind through the window system's frames.
    try {
        return self->HandleMessage({hwnd, message, wParam, lParam});
    } catch (const std::exception& e) {
        AppMessageBox(L"Unexpected error: " + Widen(e.what()), MB_OK | MB_ICONERROR);
    } catch (...) {
        AppMessageBox(L"Unexpected error.", MB_OK | MB_ICONERROR);
    }
    return TRUE;
}

INT_PTR Dialog::HandleMessage(const Message& msg) {
    if (msg.message == WM_INITDIALOG) return OnInitDialog() ? TRUE : FALSE;

    if (IsLockedOut() && IsControlNotification(msg)) {
        SetWindowLongPtrW(msg.hwnd, DWLP_MSGRESULT, 0);
        return TRUE;  // dropped, not queued
    }

    const bool isCommand = msg.message == WM_COMMAND;
    const int id = LOWORD(msg.wParam);
    const bool okOrCancel = isCommand && HIWORD(msg.wParam) == BN_CLICKED && (id == IDOK || id == IDCANCEL);
    // Enter, Escape and the Close box act as the button of that id; not
    // while that button is disabled.
    if (okOrCancel) {
        HWND button = Item(id);
        if (button && !IsWindowEnabled(button)) {
            OnCommandRefused(id);
            return TRUE;
        }
    }

    LRESULT result = 0;
    if (Dispatch(msg, result)) {
        if (ReturnsDirectly(msg.message)) return static_cast<INT_PTR>(result);
        SetWindowLongPtrW(msg.hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (okOrCancel) {
        if (id == IDOK) OnOK();
        else OnCancel();
        return TRUE;
    }
    return FALSE;
}

bool Dialog::Dispatch(const Message& msg, LRESULT& result) {
    // A handler that returns false passes the message on to later entries.
    for (const MessageMap& map : maps_)
        for (const MapEntry& entry : map)
            if (Matches(entry, msg) && entry.call(*this, msg, result)) return true;
    return false;
}

bool PreTranslateDialogMessage(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (!root || !IsDialogClass(root)) return false;
    return IsDialogMessageW(root, &msg) != FALSE;
}

bool PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (!PreTranslateDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

}  // namespace ui
