// A small dialog over template 900 that records what reaches its handlers.
// Its exchange order: first, second (ints), name, check, radio, slider,
// after (int), then the bindings.
#pragma once

#include "ui/controls.h"
#include "ui/data_exchange.h"
#include "ui/dialog.h"
#include "ui/scripted_prompts.h"
#include "ui_test_resource.h"

#include <functional>
#include <string>
#include <vector>

inline constexpr UINT kEndMessage = WM_APP + 1;  // handler ends with wParam
inline constexpr UINT kPassMessage = WM_APP + 2; // first table declines it

class TestDialog : public ui::Dialog {
public:
    explicit TestDialog(UINT id = IDD_UI_TEST) : ui::Dialog(id) {}
    ~TestDialog() override { Destroy(); }

    int first = 1;
    int second = 2;
    std::wstring name = L"name";
    int check = 0;
    int radio = -1;
    int slider = 0;
    int after = 3;
    ui::Trackbar sliderControl;
    ui::ComboBox combo;

    std::function<void(ui::DataExchange&)> validate;  // run after the slider
    std::function<void()> onInit;
    bool throwInExchange = false;

    std::vector<std::wstring> calls;  // handler names with their arguments
    bool mapCancel = false;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    std::vector<ui::MessageMap> MessageMaps() const override;

public:
    void OnButton();
    void OnChangeFirst();
    void OnChangeSecond();
    void OnComboSel();
    void OnMenu(int id);
    void OnScroll(int code, int pos, HWND sender);
    HCURSOR OnDragIcon();
    bool OnDeclined(WPARAM, LPARAM);
    LRESULT OnPassed(WPARAM, LPARAM);
    void OnEnd(WPARAM w, LPARAM);
    bool OnCancelMapped();
};

// Pumps this thread's messages a few times.
void Pump();
