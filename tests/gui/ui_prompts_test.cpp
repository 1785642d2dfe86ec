// Scripted prompts answer in order and record what the user was asked;
// control wrappers and the menu over real controls.
#include "ui_test_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(ScriptedPrompts, DefaultAnswerIsTheBoxsDefaultButton) {
    struct Case {
        UINT flags;
        int button;
    };
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_RETRYCANCEL, IDRETRY},
        {MB_OK | MB_DEFBUTTON3, IDOK},  // no third button
    };
    for (const auto& c : cases) EXPECT_EQ(ui::DefaultButton(c.flags), c.button) << std::hex << c.flags;
}

TEST(ScriptedPrompts, QueuedAnswersAreGivenInOrderAndEveryPromptIsRecorded) {
    ui::ScriptedPrompts prompts;
    prompts.QueueAnswer(IDNO);
    prompts.QueuePath(L"C:\\fw\\a.src");
    prompts.QueuePath(std::nullopt);
    prompts.QueuePath(L"C:\\images");
    {
        ui::ScopedPrompts scoped(prompts);
        auto& p = ui::CurrentPrompts();
        EXPECT_EQ(p.MessageBox(nullptr, L"Sure?", L"Update Firmware", MB_YESNO), IDNO);
        EXPECT_EQ(p.MessageBox(nullptr, L"Again?", L"Update Firmware", MB_YESNO), IDYES);
        EXPECT_EQ(p.OpenFile(nullptr, {L"src", L"", L"Source (*.src)|*.src", 0x1004}), L"C:\\fw\\a.src");
        EXPECT_EQ(p.SaveFile(nullptr, {L"csv", L"", L"CSV (*.csv)|*.csv", 0}), std::nullopt);
        EXPECT_EQ(p.ChooseFolder(nullptr, L"Pick"), L"C:\\images");
        EXPECT_EQ(p.OpenFile(nullptr, {}), std::nullopt);  // nothing queued: cancelled
    }
    EXPECT_NE(&ui::CurrentPrompts(), &prompts);  // restored

    const auto r = prompts.Records();
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[0].text, L"Sure?");
    EXPECT_EQ(r[0].caption, L"Update Firmware");
    EXPECT_EQ(r[0].flags, UINT(MB_YESNO));
    EXPECT_EQ(r[0].answer, IDNO);
    EXPECT_EQ(r[2].kind, ui::PromptRecord::Kind::OpenFile);
    EXPECT_EQ(r[2].defaultExt, L"src");
    EXPECT_EQ(r[2].filter, L"Source (*.src)|*.src");
    EXPECT_EQ(r[2].flags, 0x1004u);
    EXPECT_EQ(r[3].kind, ui::PromptRecord::Kind::SaveFile);
    EXPECT_EQ(r[4].kind, ui::PromptRecord::Kind::Folder);
    EXPECT_EQ(r[4].text, L"Pick");
    EXPECT_EQ(prompts.Messages().size(), 2u);
}

TEST(ScriptedPrompts, AppMessageBoxUsesTheMainWindowAndTitleFromAnyThread) {
    ui::ScriptedPrompts prompts;
    ui::ScopedPrompts scoped(prompts);
    TestDialog main;
    ASSERT_TRUE(main.Create());
    const std::wstring oldTitle = ui::AppTitle();
    ui::SetAppTitle(L"Vorn_Controls");
    ui::SetMainWindow(main.hwnd());
    std::thread([] { ui::AppMessageBox(L"Failed to Update Firmware!"); }).join();
    ui::SetMainWindow(nullptr);
    ui::SetAppTitle(oldTitle);
    const auto m = prompts.Messages();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].owner, main.hwnd());
    EXPECT_EQ(m[0].caption, L"Vorn_Controls");
    EXPECT_EQ(m[0].flags, UINT(MB_OK));
}

TEST(ScriptedPrompts, FilterBecomesTheNativeList) {
    using namespace std::string_literals;
    EXPECT_EQ(ui::ToNativeFilter(L"Source (*.src)|*.src"), L"Source (*.src)\0*.src\0\0"s);
    EXPECT_EQ(ui::ToNativeFilter(L"A|*.a|B|*.b|"), L"A\0*.a\0B\0*.b\0\0"s);
    EXPECT_EQ(ui::ToNativeFilter(L""), L""s);
}

class WrapperTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dlg.Create()); }
    TestDialog dlg;
};

TEST_F(WrapperTest, TrackbarRangeAndPosition) {
    ui::Trackbar& t = dlg.sliderControl;
    t.SetRange(-13, -1);
    EXPECT_EQ(t.RangeMin(), -13);
    EXPECT_EQ(t.RangeMax(), -1);
    for (auto [set, got] : {std::pair{-5, -5}, {0, -1}, {-20, -13}}) {
        t.SetPos(set);
        EXPECT_EQ(t.GetPos(), got) << set;
    }
}

TEST_F(WrapperTest, ComboBoxTrimsFromTheEnd) {
    ui::ComboBox& c = dlg.combo;
    for (const wchar_t* item : {L"1", L"2", L"3", L"4", L"5"}) c.AddString(item);
    EXPECT_EQ(c.Count(), 5);
    EXPECT_EQ(c.CurSel(), CB_ERR);
    while (c.Count() > 3) c.DeleteString(c.Count() - 1);
    EXPECT_EQ(c.DeleteString(7), CB_ERR);
    EXPECT_EQ(c.SetCurSel(0), 0);
    EXPECT_EQ(c.CurSel(), 0);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.ItemText(2), L"3");
    EXPECT_EQ(c.ItemText(3), L"");
}

TEST_F(WrapperTest, EditCountsAndScrollsLines) {
    ui::Edit log;
    log.Attach(dlg.Item(IDC_T_LOG));
    std::wstring text;
    for (int i = 0; i < 30; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
    log.SetText(text);
    EXPECT_EQ(log.LineCount(), 31);
    log.LineScroll(log.LineCount());
    EXPECT_GT(SendMessageW(log.hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0), 10);
    EXPECT_EQ(log.Text(), text);
}

}  // namespace
