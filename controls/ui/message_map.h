// Message maps: static tables from window messages and control notifications
// to member handlers. A dialog returns a list of tables (one per concern file
// is the usual split), and the base class's window procedure walks them in
// order; the first matching entry handles the message.
//
//   const ui::MapEntry kEntries[] = {
//       ui::OnBnClicked<&MyDlg::OnStart>(IDC_START),
//       ui::OnEnChange<&MyDlg::OnChangeName>(IDC_NAME),
//       ui::OnHScroll<&MyDlg::OnHScroll>(),
//   };
//
// Handlers return void (handled), bool (false: default processing) or a
// value that becomes the message's result.
#pragma once

#include <windows.h>
#include <shellapi.h>  // HDROP

#include <span>
#include <type_traits>

namespace ui {

class Dialog;

struct Message {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct MapEntry {
    UINT message;
    UINT code;    // WM_COMMAND notification code; unused otherwise
    int firstId;  // WM_COMMAND id range; unused otherwise
    int lastId;
    // Calls the handler; false means "not handled, do the default".
    bool (*call)(Dialog& dialog, const Message& msg, LRESULT& result);
};

using MessageMap = std::span<const MapEntry>;

namespace detail {

template <class>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
    using type = C;
};
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...) noexcept> {
    using type = C;
};

template <auto Method>
using Owner = typename MemberOf<decltype(Method)>::type;

// Runs an invocation and turns its return value into (handled, result).
template <class F>
bool Finish(F&& invoke, LRESULT& result) {
    using R = decltype(invoke());
    if constexpr (std::is_void_v<R>) {
        invoke();
        result = 0;
        return true;
    } else if constexpr (std::is_same_v<R, bool>) {
        result = 0;
        return invoke();
    } else if constexpr (std::is_pointer_v<R>) {
        result = reinterpret_cast<LRESULT>(invoke());
        return true;
    } else {
        result = static_cast<LRESULT>(invoke());
        return true;
    }
}

template <auto Method>
bool CallCommand(Dialog& d, const Message& m, LRESULT& r) {
    auto& self = static_cast<Owner<Method>&>(d);
    const int id = LOWORD(m.wParam);
    if constexpr (std::is_invocable_v<decltype(Method), Owner<Method>&, int>)
        return Finish([&] { return (self.*Method)(id); }, r);
    else
        return Finish([&] { return (self.*Method)(); }, r);
}

template <auto Method>
bool CallScroll(Dialog& d, const Message& m, LRESULT& r) {
    auto& self = static_cast<Owner<Method>&>(d);
    const int code = LOWORD(m.wParam);
    const int pos = static_cast<short>(HIWORD(m.wParam));
    return Finish([&] { return (self.*Method)(code, pos, reinterpret_cast<HWND>(m.lParam)); }, r);
}

template <auto Method>
bool CallDrop(Dialog& d, const Message& m, LRESULT& r) {
    auto& self = static_cast<Owner<Method>&>(d);
    return Finish([&] { return (self.*Method)(reinterpret_cast<HDROP>(m.wParam)); }, r);
}

template <auto Method>
bool CallSysCommand(Dialog& d, const Message& m, LRESULT& r) {
    auto& self = static_cast<Owner<Method>&>(d);
    return Finish([&] { return (self.*Method)(static_cast<UINT>(m.wParam), m.lParam); }, r);
}

template <auto Method>
bool CallPlain(Dialog& d, const Message&, LRESULT& r) {
    auto& self = static_cast<Owner<Method>&>(d);
    return Finish([&] { return (self.*Method)(); }, r);
}

template <auto Method>
bool CallRaw(Dialog& d, const Message& m, LRESULT& r) {
    auto& self = static_cast<Owner<Method>&>(d);
    return Finish([&] { return (self.*Method)(m.wParam, m.lParam); }, r);
}

}  // namespace detail

// WM_COMMAND with notification code `code` from control or menu item `id`.
// The handler takes no argument, or the id.
template <auto Method>
constexpr MapEntry OnNotifyCode(UINT code, int id) {
    return {WM_COMMAND, code, id, id, &detail::CallCommand<Method>};
}
// A menu item, an accelerator-free command or a button click (code 0).
// IDOK and IDCANCEL come here for Enter, Escape and the Close box.
template <auto Method>
constexpr MapEntry OnCommand(int id) {
    return {WM_COMMAND, 0, id, id, &detail::CallCommand<Method>};
}
// Code 0 for ids first..last; the handler should take the id.
template <auto Method>
constexpr MapEntry OnCommandRange(int first, int last) {
    return {WM_COMMAND, 0, first, last, &detail::CallCommand<Method>};
}
template <auto Method>
constexpr MapEntry OnBnClicked(int id) {
    return OnNotifyCode<Method>(BN_CLICKED, id);
}
template <auto Method>
constexpr MapEntry OnEnChange(int id) {
    return OnNotifyCode<Method>(EN_CHANGE, id);
}
template <auto Method>
constexpr MapEntry OnCbnSelChange(int id) {
    return OnNotifyCode<Method>(CBN_SELCHANGE, id);
}
// WM_HSCROLL: handler(int code, int position, HWND sender).
template <auto Method>
constexpr MapEntry OnHScroll() {
    return {WM_HSCROLL, 0, 0, 0, &detail::CallScroll<Method>};
}
// WM_DROPFILES: handler(HDROP).
template <auto Method>
constexpr MapEntry OnDropFiles() {
    return {WM_DROPFILES, 0, 0, 0, &detail::CallDrop<Method>};
}
// WM_SYSCOMMAND: handler(UINT id, LPARAM); return false for the default.
template <auto Method>
constexpr MapEntry OnSysCommand() {
    return {WM_SYSCOMMAND, 0, 0, 0, &detail::CallSysCommand<Method>};
}
// WM_PAINT: handler(); return false to let the dialog paint normally.
template <auto Method>
constexpr MapEntry OnPaint() {
    return {WM_PAINT, 0, 0, 0, &detail::CallPlain<Method>};
}
// WM_QUERYDRAGICON: handler() returning the HCURSOR.
template <auto Method>
constexpr MapEntry OnQueryDragIcon() {
    return {WM_QUERYDRAGICON, 0, 0, 0, &detail::CallPlain<Method>};
}
// Any other message: handler(WPARAM, LPARAM).
template <auto Method>
constexpr MapEntry OnMessage(UINT message) {
    return {message, 0, 0, 0, &detail::CallRaw<Method>};
}

}  // namespace ui
