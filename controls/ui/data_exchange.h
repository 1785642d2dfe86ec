// The exchange between a dialog's fields and its controls, run by
// Dialog::UpdateData. Each routine moves one field in the exchange's
// direction. After a failure the remaining routines do nothing, so the later
// fields keep their values.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

class Control;
class Dialog;

// A whole decimal integer: blanks around it, an optional sign, digits, and
// nothing else; the value must fit in 32 bits.
std::optional<int> ParseWholeInt(std::wstring_view text);

// The prompt of an edit box that does not hold an integer.
inline constexpr wchar_t kEnterAnInteger[] = L"Enter an integer.";

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool save) : dialog_(dialog), save_(save) {}

    bool saving() const { return save_; }
    bool failed() const { return failed_; }
    Dialog& dialog() const { return dialog_; }

    // Window text. Written only when it differs (texts up to 255 characters).
    void Text(int id, std::wstring& value);
    // Decimal integer in an edit box; text that is not one stops the
    // exchange with "Enter an integer.", the box focused and selected.
    void Int(int id, int& value);
    // Check box: checked is 1, anything else 0.
    void Check(int id, int& value);
    // Radio group starting at firstId: index of the checked button, -1 none.
    void Radio(int firstId, int& value);
    // Trackbar position (TBM_GETPOS; TBM_SETPOS with redraw).
    void SliderPos(int id, int& value);
    // Binds a wrapper to its control, in either direction.
    void Control(int id, ui::Control& control);
    // Runs step when reading the controls, unless the exchange has failed.
    void Validate(const std::function<void()>& step);
    // Stops the exchange, focusing the control (and selecting an edit's text).
    void Fail(int id);

private:
    HWND Item(int id) const;

    Dialog& dialog_;
    bool save_;
    bool failed_ = false;
};

}  // namespace ui
