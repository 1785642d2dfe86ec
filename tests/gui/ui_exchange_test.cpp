// Data exchange: integer parsing, the "Enter an integer." stop, writes that
// leave unchanged boxes alone, and the notification lock-out.
#include "ui_test_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

namespace {

TEST(ParseWholeInt, AcceptsOnlyAWholeDecimalInteger) {
    struct Case {
        const wchar_t* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {L"12", true, 12},          {L"  -7 ", true, -7},       {L"+3", true, 3},
        {L"\t5\t", true, 5},        {L"007", true, 7},          {L"-0", true, 0},
        {L"2147483647", true, INT_MAX}, {L"-2147483648", true, INT_MIN},
        {L"", false, 0},            {L"   ", false, 0},         {L"-", false, 0},
        {L"+", false, 0},           {L"1 2", false, 0},         {L"12a", false, 0},
        {L"0x10", false, 0},        {L"--1", false, 0},         {L"1.5", false, 0},
        {L"2147483648", false, 0},  {L"-2147483649", false, 0}, {L"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        const auto got = ui::ParseWholeInt(c.text);
        EXPECT_EQ(got.has_value(), c.ok) << "text '" << testing::PrintToString(std::wstring(c.text)) << "'";
        if (c.ok && got) {
            EXPECT_EQ(*got, c.value);
        }
    }
}

class ExchangeTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        Pump();
    }
    void Type(int id, const wchar_t* text) { SetWindowTextW(dlg.Item(id), text); }

    ui::ScriptedPrompts prompts;
    ui::ScopedPrompts scoped{prompts};
    TestDialog dlg;
};

TEST_F(ExchangeTest, FirstExchangeWritesTheFieldsIntoTheControls) {
    EXPECT_EQ(dlg.ItemText(IDC_T_FIRST), L"1");
    EXPECT_EQ(dlg.ItemText(IDC_T_SECOND), L"2");
    EXPECT_EQ(dlg.ItemText(IDC_T_NAME), L"name");
    EXPECT_TRUE(dlg.sliderControl.attached());
    EXPECT_EQ(dlg.sliderControl.hwnd(), dlg.Item(IDC_T_SLIDER));
}

TEST_F(ExchangeTest, NotAnIntegerStopsTheReadWithThePromptAndSelectsTheBox) {
    Type(IDC_T_FIRST, L"41");
    Type(IDC_T_SECOND, L"4x");
    Type(IDC_T_NAME, L"typed");
    SendMessageW(dlg.Item(IDC_T_CHECK), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dlg.Item(IDC_T_SLIDER), TBM_SETPOS, TRUE, 60);
    Type(IDC_T_AFTER, L"77");
    SetFocus(dlg.Item(IDC_T_NAME));

    EXPECT_FALSE(dlg.UpdateData(true));

    EXPECT_EQ(dlg.first, 41);  // before the bad box: read
    EXPECT_EQ(dlg.second, 2);  // the bad box and everything after: untouched
    EXPECT_EQ(dlg.name, L"name");
    EXPECT_EQ(dlg.check, 0);
    EXPECT_EQ(dlg.slider, 0);
    EXPECT_EQ(dlg.after, 3);

    const auto messages = prompts.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Enter an integer.");
    EXPECT_EQ(messages[0].caption, ui::AppTitle());
    EXPECT_EQ(messages[0].flags, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(messages[0].owner, dlg.hwnd());

    EXPECT_EQ(GetFocus(), dlg.Item(IDC_T_SECOND));
    DWORD start = 99, end = 99;
    SendMessageW(dlg.Item(IDC_T_SECOND), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
}

TEST_F(ExchangeTest, GoodReadFillsEveryField) {
    Type(IDC_T_FIRST, L" -12 ");
    Type(IDC_T_SECOND, L"+8");
    Type(IDC_T_NAME, L"Фото");
    SendMessageW(dlg.Item(IDC_T_CHECK), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dlg.Item(IDC_T_RADIO_C), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dlg.Item(IDC_T_SLIDER), TBM_SETPOS, TRUE, 60);
    Type(IDC_T_AFTER, L"77");
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.first, -12);
    EXPECT_EQ(dlg.second, 8);
    EXPECT_EQ(dlg.name, L"Фото");
    EXPECT_EQ(dlg.check, 1);
    EXPECT_EQ(dlg.radio, 2);
    EXPECT_EQ(dlg.slider, 60);
    EXPECT_EQ(dlg.after, 77);
    EXPECT_EQ(prompts.Count(), 0u);
}

TEST_F(ExchangeTest, RadioGroupAndSliderRoundTrip) {
    for (int value : {0, 1, 2, -1}) {
        dlg.radio = value;
        dlg.UpdateData(false);
        dlg.radio = 42;
        ASSERT_TRUE(dlg.UpdateData(true));
        EXPECT_EQ(dlg.radio, value);
    }
    // The trackbar clamps a position outside its range to the nearest end.
    for (auto [written, read] : {std::pair{40, 40}, {150, 100}, {-5, 0}}) {
        dlg.slider = written;
        dlg.UpdateData(false);
        ASSERT_TRUE(dlg.UpdateData(true));
        EXPECT_EQ(dlg.slider, read) << written;
    }
}

// An unchanged box is not rewritten: its modified flag and selection stay.
TEST_F(ExchangeTest, UnchangedTextIsNotRewrittenButLongTextAlwaysIs) {
    HWND name = dlg.Item(IDC_T_NAME);
    HWND log = dlg.Item(IDC_T_LOG);
    SendMessageW(name, EM_SETMODIFY, TRUE, 0);
    SendMessageW(name, EM_SETSEL, 1, 3);
    dlg.UpdateData(false);
    EXPECT_TRUE(SendMessageW(name, EM_GETMODIFY, 0, 0));
    DWORD start = 0, end = 0;
    SendMessageW(name, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);

    dlg.name = L"other";
    dlg.UpdateData(false);
    EXPECT_FALSE(SendMessageW(name, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(dlg.ItemText(IDC_T_NAME), L"other");

    struct Case {
        size_t length;
        bool rewritten;
    };
    for (const Case c : {Case{255, false}, Case{256, true}, Case{1000, true}}) {
        const std::wstring text(c.length, L'x');
        SetWindowTextW(log, text.c_str());
        SendMessageW(log, EM_SETMODIFY, TRUE, 0);
        EXPECT_EQ(ui::SetWindowTextIfChanged(log, text), c.rewritten) << c.length;
        EXPECT_EQ(SendMessageW(log, EM_GETMODIFY, 0, 0) == 0, c.rewritten) << c.length;
        EXPECT_EQ(ui::WindowText(log), text);
    }
}

TEST_F(ExchangeTest, WrittenNumbersDoNotReachTheChangeHandlers) {
    dlg.calls.clear();
    dlg.first = 100;
    dlg.second = 200;
    dlg.UpdateData(false);
    Pump();
    EXPECT_EQ(dlg.ItemText(IDC_T_FIRST), L"100");
    EXPECT_TRUE(dlg.calls.empty()) << testing::PrintToString(dlg.calls);

    // Outside an exchange the same change is delivered.
    Type(IDC_T_FIRST, L"101");
    Pump();
    ASSERT_EQ(dlg.calls.size(), 1u);
    EXPECT_EQ(dlg.calls[0], L"change first");
}

TEST_F(ExchangeTest, LockOutDropsControlNotificationsOnlyWhileTheExchangeRuns) {
    bool lockedInside = false;
    dlg.validate = [&](ui::DataExchange&) {
        lockedInside = dlg.IsLockedOut();
        HWND first = dlg.Item(IDC_T_FIRST);
        SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_T_FIRST, EN_CHANGE), reinterpret_cast<LPARAM>(first));
        SendMessageW(dlg.hwnd(), WM_HSCROLL, TB_LINEDOWN, reinterpret_cast<LPARAM>(dlg.Item(IDC_T_SLIDER)));
        SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_T_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(dlg.Item(IDC_T_BUTTON)));
        // A menu command is not a control notification.
        SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(40002, 0), 0);
    };
    dlg.calls.clear();
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_TRUE(lockedInside);
    EXPECT_FALSE(dlg.IsLockedOut());
    EXPECT_EQ(dlg.calls, std::vector<std::wstring>{L"menu 40002"});
}

TEST_F(ExchangeTest, LockOutEndsAfterAFailedOrThrowingExchange) {
    Type(IDC_T_SECOND, L"zz");
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_FALSE(dlg.IsLockedOut());
    dlg.calls.clear();
    Type(IDC_T_FIRST, L"5");
    Pump();
    EXPECT_EQ(dlg.calls, std::vector<std::wstring>{L"change first"});

    Type(IDC_T_SECOND, L"6");
    dlg.throwInExchange = true;
    EXPECT_THROW(dlg.UpdateData(true), std::runtime_error);
    EXPECT_FALSE(dlg.IsLockedOut());
}

TEST_F(ExchangeTest, NestedExchangeOfAnotherDialogGivesTheLockBack) {
    TestDialog other;
    ASSERT_TRUE(other.Create());
    bool outerAfterInner = false, innerWhileRunning = false;
    other.validate = [&](ui::DataExchange&) { innerWhileRunning = other.IsLockedOut() && !dlg.IsLockedOut(); };
    dlg.validate = [&](ui::DataExchange&) {
        other.UpdateData(true);
        outerAfterInner = dlg.IsLockedOut();
    };
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_TRUE(innerWhileRunning);
    EXPECT_TRUE(outerAfterInner);
    EXPECT_FALSE(dlg.IsLockedOut());
}

TEST_F(ExchangeTest, ValidationRunsOnlyWhenReadingAndNotAfterAFailure) {
    int runs = 0;
    dlg.validate = [&](ui::DataExchange&) { ++runs; };
    dlg.UpdateData(false);
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(runs, 1);
    Type(IDC_T_FIRST, L"?");
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(runs, 1);
}

}  // namespace
