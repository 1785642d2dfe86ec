// Message maps: commands, notifications, scrolls and raw messages reach the
// handlers of composed tables; modal and modeless life of a dialog.
#include "ui_test_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

class DispatchTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        Pump();
        dlg.calls.clear();
    }
    LRESULT Send(UINT m, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(dlg.hwnd(), m, w, l); }

    ui::ScriptedPrompts prompts;
    ui::ScopedPrompts scoped{prompts};
    TestDialog dlg;
};

TEST_F(DispatchTest, UserActionsReachTheirHandlers) {
    SendMessageW(dlg.Item(IDC_T_BUTTON), BM_CLICK, 0, 0);
    SetWindowTextW(dlg.Item(IDC_T_SECOND), L"9");
    ui::ComboBox combo;
    combo.Attach(dlg.Item(IDC_T_COMBO));
    combo.AddString(L"a");
    combo.AddString(L"b");
    // A selection by keyboard notifies; CB_SETCURSEL alone would not.
    SetFocus(combo.hwnd());
    SendMessageW(combo.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    Pump();
    EXPECT_EQ(dlg.calls, (std::vector<std::wstring>{L"button", L"change second", L"combo 0"}));
}

TEST_F(DispatchTest, MenuCommandRangeGivesTheId) {
    for (int id : {40001, 40003, 40004}) Send(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    EXPECT_EQ(dlg.calls, (std::vector<std::wstring>{L"menu 40001", L"menu 40003"}));
}

TEST_F(DispatchTest, TrackbarKeysArriveAsScrollWithCodeAndSender) {
    HWND slider = dlg.Item(IDC_T_SLIDER);
    SetFocus(slider);
    SendMessageW(slider, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageW(slider, WM_KEYUP, VK_RIGHT, 0);
    Pump();
    ASSERT_GE(dlg.calls.size(), 2u);
    EXPECT_EQ(dlg.calls[0], L"scroll " + std::to_wstring(TB_LINEDOWN) + L" 0 slider");
    EXPECT_EQ(dlg.calls.back(), L"scroll " + std::to_wstring(TB_ENDTRACK) + L" 0 slider");
    EXPECT_EQ(dlg.sliderControl.GetPos(), 1);
}

TEST_F(DispatchTest, DecliningHandlerPassesToTheNextTableAndResultsComeBack) {
    EXPECT_EQ(Send(kPassMessage, 21), 42);
    EXPECT_EQ(dlg.calls, (std::vector<std::wstring>{L"declined", L"passed"}));
    // WM_QUERYDRAGICON's answer is the procedure's own return value.
    EXPECT_EQ(Send(WM_QUERYDRAGICON), 0x1234);
    // Nothing maps WM_GETTEXTLENGTH: the default answers it.
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 7);  // "ui test"
}

TEST_F(DispatchTest, CancelUnmappedHidesTheModelessDialogWithItsResult) {
    dlg.ShowWindow(SW_SHOW);
    Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(dlg.Item(IDCANCEL)));
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
    ASSERT_TRUE(dlg.EndResult().has_value());
    EXPECT_EQ(*dlg.EndResult(), IDCANCEL);
    EXPECT_TRUE(IsWindow(dlg.hwnd()));  // still created for the next use
}

TEST_F(DispatchTest, EscapeAndCloseGoToTheMappedCancelButNotWhileItIsDisabled) {
    dlg.mapCancel = true;
    SetFocus(dlg.Item(IDC_T_NAME));
    MSG esc{dlg.Item(IDC_T_NAME), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(ui::PreTranslateDialogMessage(esc));
    Send(WM_CLOSE);
    Pump();
    EXPECT_EQ(dlg.calls, (std::vector<std::wstring>{L"cancel", L"cancel"}));
    EXPECT_FALSE(dlg.EndResult().has_value());

    dlg.calls.clear();
    EnableWindow(dlg.Item(IDCANCEL), FALSE);
    ui::PreTranslateDialogMessage(esc);
    Send(WM_CLOSE);
    Pump();
    EXPECT_TRUE(dlg.calls.empty());
    EXPECT_FALSE(dlg.EndResult().has_value());  // nor did the default end it
}

TEST_F(DispatchTest, EnterPressesTheDefaultButton) {
    SetFocus(dlg.Item(IDC_T_NAME));
    MSG enter{dlg.Item(IDC_T_NAME), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(ui::PreTranslateDialogMessage(enter));
    Pump();
    ASSERT_TRUE(dlg.EndResult().has_value());
    EXPECT_EQ(*dlg.EndResult(), IDOK);
}

TEST(DialogLife, ModelessCreateIsHiddenEvenWhenTheTemplateIsVisible) {
    TestDialog dlg(IDD_UI_VISIBLE);
    ASSERT_TRUE(dlg.Create());
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
    EXPECT_FALSE(dlg.Create());  // one window per object
    TestDialog missing(12345);
    EXPECT_FALSE(missing.Create());
    EXPECT_EQ(missing.DoModal(), -1);
}

struct ModalProbe {
    TestDialog* modal;
    TestDialog* owner;
    bool disabled;
    bool visible;
};
ModalProbe g_probe;

// Runs inside the modal loop: looks at the windows, then ends the dialog.
void CALLBACK ProbeModal(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_probe.disabled = !IsWindowEnabled(g_probe.owner->hwnd());
    g_probe.visible = IsWindowVisible(g_probe.modal->hwnd()) != FALSE;
    PostMessageW(g_probe.modal->hwnd(), kEndMessage, 42, 0);
}

TEST(DialogLife, ModalRunsUntilEndDialogWithTheOwnerDisabled) {
    TestDialog owner;
    ASSERT_TRUE(owner.Create());
    TestDialog modal;
    g_probe = {&modal, &owner, false, false};
    SetTimer(nullptr, 0, 10, &ProbeModal);
    EXPECT_EQ(modal.DoModal(owner.hwnd()), 42);
    EXPECT_TRUE(g_probe.disabled);
    EXPECT_TRUE(g_probe.visible);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_EQ(modal.hwnd(), nullptr);  // destroyed when the loop ends
}

TEST(DialogLife, EndDialogDuringInitOrFromAnotherThreadEndsTheModalLoop) {
    TestDialog early;
    early.onInit = [&] { early.EndDialog(-3); };
    EXPECT_EQ(early.DoModal(), -3);

    TestDialog threaded;
    std::thread worker;
    threaded.onInit = [&] {
        worker = std::thread([&] {
            Sleep(50);
            threaded.EndDialog(7);
        });
    };
    EXPECT_EQ(threaded.DoModal(), 7);
    worker.join();
}

TEST(DialogLife, ObjectOutlivedByNoWindow) {
    HWND hwnd;
    {
        TestDialog dlg;
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.hwnd();
    }
    EXPECT_FALSE(IsWindow(hwnd));

    // A window destroyed under the object leaves it without a handle.
    TestDialog dlg;
    ASSERT_TRUE(dlg.Create());
    DestroyWindow(dlg.hwnd());
    EXPECT_EQ(dlg.hwnd(), nullptr);
    EXPECT_FALSE(dlg.UpdateData(true));
}

}  // namespace
