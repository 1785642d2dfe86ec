#include "ui/data_exchange.h"

#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/prompts.h"

#include <commctrl.h>

#include <climits>
#include <cwctype>

namespace ui {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }

bool IsEdit(HWND hwnd) {
    wchar_t name[16] = {};
    return GetClassNameW(hwnd, name, 16) > 0 && _wcsicmp(name, L"Edit") == 0;
}

}  // namespace

std::optional<int> ParseWholeInt(std::wstring_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    bool negative = false;
    if (begin < end && (text[begin] == L'+' || text[begin] == L'-')) {
        negative = text[begin] == L'-';
        ++begin;
    }
    if (begin == end) return std::nullopt;
    long long value = 0;
    for (size_t i = begin; i < end; ++i) {
        const wchar_t c = text[i];
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

HWND DataExchange::Item(int id) const { return dialog_.Item(id); }

void DataExchange::Text(int id, std::wstring& value) {
    if (failed_) return;
    HWND item = Item(id);
    if (!item) return;
    if (save_) value = WindowText(item);
    else SetWindowTextIfChanged(item, value);
}

void DataExchange::Int(int id, int& value) {
    if (failed_) return;
    HWND item = Item(id);
    if (!item) return;
    if (!save_) {
        SetWindowTextIfChanged(item, std::to_wstring(value));
        return;
    }
    if (const auto parsed = ParseWholeInt(WindowText(item))) {
        value = *parsed;
        return;
    }
    CurrentPrompts().MessageBox(dialog_.hwnd(), kEnterAnInteger, AppTitle(), MB_OK | MB_ICONEXCLAMATION);
    Fail(id);
}

void DataExchange::Check(int id, int& value) {
    if (failed_) return;
    HWND item = Item(id);
    if (!item) return;
    if (save_) value = SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else SendMessageW(item, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DataExchange::Radio(int firstId, int& value) {
    if (failed_) return;
    HWND button = Item(firstId);
    if (!button) return;
    // The group runs from the first button to the next control that starts
    // a group of its own; only radio buttons count.
    int index = 0;
    int checked = -1;
    for (HWND h = button; h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h != button && (GetWindowLongW(h, GWL_STYLE) & WS_GROUP)) break;
        if (!(SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
        if (save_) {
            if (checked < 0 && SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED) checked = index;
        } else {
            SendMessageW(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
    if (save_) value = checked;
}

void DataExchange::SliderPos(int id, int& value) {
    if (failed_) return;
    HWND item = Item(id);
    if (!item) return;
    if (save_) value = static_cast<int>(SendMessageW(item, TBM_GETPOS, 0, 0));
    else SendMessageW(item, TBM_SETPOS, TRUE, value);
}

void DataExchange::Control(int id, ui::Control& control) {
    // Binding moves no data, so it happens even after a failed field.
    if (HWND item = Item(id)) control.Attach(item);
}

void DataExchange::Validate(const std::function<void()>& step) {
    if (failed_ || !save_) return;
    step();
}

void DataExchange::Fail(int id) {
    failed_ = true;
    HWND item = Item(id);
    if (!item) return;
    SetFocus(item);
    if (IsEdit(item)) SendMessageW(item, EM_SETSEL, 0, -1);
}

}  // namespace ui
