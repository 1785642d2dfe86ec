// The status box as the window keeps it up to date: appended to while it
// holds what the window wrote, rewritten when anything else changed it,
// and scrolled so that the newest line is in view.
#include <string>

#include "property_test_support.h"

namespace vorn::test {
namespace {

class StatusBoxTest : public PropertyWindowTest {
protected:
    HWND Box() const { return Item(IDC_STATUS); }
    // A slider step: one status line, and the handler scrolls to the end.
    void Step(UINT vk = VK_RIGHT) { SliderKey(IDC_CONTRAST_SLIDER, vk); }
    void ExpectBoxShowsStatus(const char* when) {
        EXPECT_EQ(StatusBox(), Dlg().m_statusText) << when;
        EXPECT_TRUE(Dlg().m_statusBox.Intact(Box())) << when;
    }
    // The last character of the box lies inside the box's client area.
    bool NewestLineInView() const {
        const int length = GetWindowTextLengthW(Box());
        // The text ends with a line break; its last visible character is before it.
        const LRESULT at = SendMessageW(Box(), EM_POSFROMCHAR, length > 2 ? length - 3 : 0, 0);
        if (at == -1) return false;
        RECT client = {};
        GetClientRect(Box(), &client);
        const int y = static_cast<short>(HIWORD(at));
        return y >= client.top && y < client.bottom;
    }
};

TEST_F(StatusBoxTest, AppendsKeepTheSameTextAndTheNewestLineInView) {
    StartLive("[camera]\n");
    ExpectBoxShowsStatus("after start-up");
    const uint64_t rewrites = Dlg().m_statusBox.rewrites();
    const uint64_t appends = Dlg().m_statusBox.appends();
    // Enough lines that the box must scroll, from handlers of several kinds.
    for (int i = 0; i < 30; ++i) {
        Step(i % 2 ? VK_LEFT : VK_RIGHT);
        ExpectBoxShowsStatus("after a slider step");
        ASSERT_TRUE(NewestLineInView()) << "step " << i;
    }
    ClickBox(IDC_AUTO_WB);
    ExpectBoxShowsStatus("after a check box");
    Replace(IDC_BRIGHTNESS_EDIT, L"7");
    ExpectBoxShowsStatus("after an edit");
    EXPECT_TRUE(NewestLineInView());
    EXPECT_EQ(Dlg().m_statusBox.rewrites(), rewrites) << "nothing else touched the box";
    EXPECT_GE(Dlg().m_statusBox.appends(), appends + 30);
}

TEST_F(StatusBoxTest, ABoxChangedElsewhereIsWrittenWhole) {
    // Each change keeps the box's length, so only knowing that the box was
    // touched can tell; and each leaves the box's own text in place, which
    // the next read takes over as the window's status text.
    const struct {
        const char* name;
        void (*change)(HWND box);
    } changes[] = {
        {"text set", [](HWND box) {
             std::wstring text = ui::WindowText(box);
             text[0] = text[0] == L'#' ? L'%' : L'#';
             SetWindowTextW(box, text.c_str());
         }},
        {"selection replaced", [](HWND box) {
             SendMessageW(box, EM_SETSEL, 2, 3);
             SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"#"));
         }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        StartLive("[camera]\n");
        Step();
        const std::wstring before = Dlg().m_statusText;
        c.change(Box());
        const std::wstring changed = StatusBox();
        ASSERT_EQ(changed.size(), before.size());
        ASSERT_NE(changed, before);
        EXPECT_FALSE(Dlg().m_statusBox.Intact(Box()));

        // A refresh puts the window's own text back, whole.
        const uint64_t rewrites = Dlg().m_statusBox.rewrites();
        Dlg().UpdateData(false);
        EXPECT_EQ(StatusBox(), before);
        EXPECT_EQ(Dlg().m_statusBox.rewrites(), rewrites + 1);
        ExpectBoxShowsStatus("after the rewrite");

        // Reading a changed box takes its text, as the plain control would.
        c.change(Box());
        const std::wstring again = StatusBox();
        Dlg().UpdateData(true);
        EXPECT_EQ(Dlg().m_statusText, again);
        Step();
        ExpectBoxShowsStatus("a step after the read");
        EXPECT_EQ(StatusBox().substr(0, again.size()), again);
        TearDown();
        SetUp();
    }
}

TEST_F(StatusBoxTest, ReadingAnUntouchedBoxDropsLinesNotYetShown) {
    StartLive("[camera]\n");
    Step();
    const std::wstring shown = StatusBox();
    Dlg().AppendStatus(L"not shown yet\r\n");
    Dlg().UpdateData(true);
    EXPECT_EQ(Dlg().m_statusText, shown);
}

TEST_F(StatusBoxTest, AHiddenBoxIsWrittenWhenAnythingLooksAtIt) {
    StartLive("[camera]\n");
    ASSERT_FALSE(IsWindowVisible(Box())) << "Show Status Information starts unticked";
    ExpectBoxShowsStatus("after start-up");
    // Steps leave their lines waiting; the box itself is not written.
    const uint64_t rewrites = Dlg().m_statusBox.rewrites();
    for (int i = 0; i < 20; ++i) Step(i % 2 ? VK_LEFT : VK_RIGHT);
    EXPECT_GT(Dlg().m_statusBox.waiting(), 0u);

    // Each way of looking finds every line in place, the newest in view.
    const struct {
        const char* name;
        void (*look)(HWND box);
    } looks[] = {
        {"text length", [](HWND box) { GetWindowTextLengthW(box); }},
        {"line count", [](HWND box) { SendMessageW(box, EM_GETLINECOUNT, 0, 0); }},
        {"first visible line", [](HWND box) { SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0); }},
        {"selection", [](HWND box) { SendMessageW(box, EM_GETSEL, 0, 0); }},
    };
    for (const auto& l : looks) {
        SCOPED_TRACE(l.name);
        for (int i = 0; i < 3; ++i) Step();
        ASSERT_GT(Dlg().m_statusBox.waiting(), 0u);
        l.look(Box());
        EXPECT_EQ(Dlg().m_statusBox.waiting(), 0u);
        ExpectBoxShowsStatus("after looking");
        EXPECT_TRUE(NewestLineInView());
    }

    // Ticking Show Status Information shows every line, the newest in view.
    for (int i = 0; i < 3; ++i) Step();
    ClickBox(IDC_SHOW_STATUS);
    ASSERT_TRUE(IsWindowVisible(Box()));
    EXPECT_EQ(Dlg().m_statusBox.waiting(), 0u);
    ExpectBoxShowsStatus("once shown");
    EXPECT_TRUE(NewestLineInView());
    // A visible box takes each line at once.
    Step();
    EXPECT_EQ(Dlg().m_statusBox.waiting(), 0u);
    ExpectBoxShowsStatus("a step while shown");
    EXPECT_EQ(Dlg().m_statusBox.rewrites(), rewrites) << "all of it by appending";
}

TEST_F(StatusBoxTest, WaitingLinesAreInTheBoxBeforeAnyChangeOrRead) {
    // A change to the box from elsewhere lands on the whole text.
    StartLive("[camera]\n");
    Step();
    Step();
    ASSERT_GT(Dlg().m_statusBox.waiting(), 0u);
    const std::wstring all = Dlg().m_statusText;
    SendMessageW(Box(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"replaced"));
    EXPECT_EQ(StatusBox(), L"replaced");
    Dlg().UpdateData(false);
    EXPECT_EQ(StatusBox(), all) << "the window's text, whole, on the next refresh";

    // Reading an untouched box keeps the lines shown to it, waiting or not,
    // and drops those never shown.
    Step();
    Step();
    ASSERT_GT(Dlg().m_statusBox.waiting(), 0u);
    const std::wstring shown = Dlg().m_statusText;
    Dlg().AppendStatus(L"not shown yet\r\n");
    Dlg().UpdateData(true);
    EXPECT_EQ(Dlg().m_statusText, shown);
    ExpectBoxShowsStatus("after the read");
}

TEST_F(StatusBoxTest, LongTextsGoPastTheEditLimit) {
    StartLive("[camera]\n");
    // Far past the 30,000 characters an edit control takes by default.
    const std::wstring line(99, L'x');
    for (int i = 0; i < 1000; ++i) Dlg().AppendStatus(line + L"\r\n");
    Dlg().UpdateData(false);
    Dlg().ScrollStatusToEnd();
    for (int i = 0; i < 3; ++i) Step();
    ExpectBoxShowsStatus("with 100,000 characters");
    EXPECT_GT(StatusBox().size(), 100000u);
    EXPECT_TRUE(NewestLineInView());
}

}  // namespace
}  // namespace vorn::test
