#include "ui_test_dialog.h"

#include <commctrl.h>

#include <stdexcept>

bool TestDialog::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    sliderControl.SetRange(0, 100);
    if (onInit) onInit();
    return true;
}

void TestDialog::DoDataExchange(ui::DataExchange& dx) {
    dx.Int(IDC_T_FIRST, first);
    dx.Int(IDC_T_SECOND, second);
    dx.Text(IDC_T_NAME, name);
    dx.Check(IDC_T_CHECK, check);
    dx.Radio(IDC_T_RADIO_A, radio);
    dx.SliderPos(IDC_T_SLIDER, slider);
    if (validate) dx.Validate([&] { validate(dx); });
    if (throwInExchange) throw std::runtime_error("exchange broke");
    dx.Int(IDC_T_AFTER, after);
    dx.Control(IDC_T_SLIDER, sliderControl);
    dx.Control(IDC_T_COMBO, combo);
}

namespace {
// Two tables, as two concern files of one dialog would declare them.
const ui::MapEntry kControls[] = {
    ui::OnBnClicked<&TestDialog::OnButton>(IDC_T_BUTTON),
    ui::OnEnChange<&TestDialog::OnChangeFirst>(IDC_T_FIRST),
    ui::OnCbnSelChange<&TestDialog::OnComboSel>(IDC_T_COMBO),
    ui::OnMessage<&TestDialog::OnDeclined>(kPassMessage),
    ui::OnMessage<&TestDialog::OnEnd>(kEndMessage),
};
const ui::MapEntry kOthers[] = {
    ui::OnEnChange<&TestDialog::OnChangeSecond>(IDC_T_SECOND),
    ui::OnCommandRange<&TestDialog::OnMenu>(40001, 40003),
    ui::OnHScroll<&TestDialog::OnScroll>(),
    ui::OnQueryDragIcon<&TestDialog::OnDragIcon>(),
    ui::OnMessage<&TestDialog::OnPassed>(kPassMessage),
    ui::OnCommand<&TestDialog::OnCancelMapped>(IDCANCEL),
};
}  // namespace

std::vector<ui::MessageMap> TestDialog::MessageMaps() const { return {kControls, kOthers}; }

void TestDialog::OnButton() { calls.push_back(L"button"); }
void TestDialog::OnChangeFirst() { calls.push_back(L"change first"); }
void TestDialog::OnChangeSecond() { calls.push_back(L"change second"); }
void TestDialog::OnComboSel() { calls.push_back(L"combo " + std::to_wstring(combo.CurSel())); }
void TestDialog::OnMenu(int id) { calls.push_back(L"menu " + std::to_wstring(id)); }

void TestDialog::OnScroll(int code, int pos, HWND sender) {
    calls.push_back(L"scroll " + std::to_wstring(code) + L" " + std::to_wstring(pos) +
                    (sender == Item(IDC_T_SLIDER) ? L" slider" : L" other"));
}

HCURSOR TestDialog::OnDragIcon() { return reinterpret_cast<HCURSOR>(static_cast<INT_PTR>(0x1234)); }

bool TestDialog::OnDeclined(WPARAM, LPARAM) {
    calls.push_back(L"declined");
    return false;
}

LRESULT TestDialog::OnPassed(WPARAM w, LPARAM) {
    calls.push_back(L"passed");
    return static_cast<LRESULT>(w) * 2;
}

void TestDialog::OnEnd(WPARAM w, LPARAM) { EndDialog(static_cast<INT_PTR>(w)); }

bool TestDialog::OnCancelMapped() {
    if (!mapCancel) return false;
    calls.push_back(L"cancel");
    return true;
}

void Pump() {
    for (int i = 0; i < 5; ++i) {
        ui::PumpMessages();
        Sleep(1);
    }
}
