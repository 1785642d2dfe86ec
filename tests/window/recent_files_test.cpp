// The File menu's recent configuration files in the real window: what the
// menu lists and when it is live, a chosen one loaded as Load Config loads
// it, and one that has gone taken off the list.
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/file_open.h"
#include "config/preferences.h"
#include "camera_test_support.h"
#include "property_test_support.h"

namespace vorn::test {
namespace {

namespace fs = std::filesystem;

struct MenuItem {
    std::wstring text;  // empty for a separator
    UINT id;
    bool grayed;
};

class RecentFilesTest : public PropertyWindowTest {
protected:
    void TearDown() override {
        SonixSim_ResetDefault();
        PropertyWindowTest::TearDown();
    }
    void Open() {
        LoadScenario(kCameraScenario);
        ASSERT_TRUE(Start());
        ShowWindow(Hwnd(), SW_SHOW);
        Pump();
    }
    std::wstring Csv(const std::wstring& name, int brightness) {
        const std::wstring path = ProgramFolder() + L"\\" + name;
        const std::string text = "PropName,Value,DataType\r\nBRIGHTNESS," + std::to_string(brightness) + ",int\r\n";
        files::FileHandle f(files::Open(files::PathFromWide(path), "wb"));
        EXPECT_TRUE(f);
        std::fwrite(text.data(), 1, text.size(), f.get());
        return path;
    }
    void Save(const std::wstring& path) {
        Prompts().QueuePath(path);
        Command(ID_FILE_SAVE_CONFIG);
    }
    void Load(const std::wstring& path) {
        Prompts().QueuePath(path);
        Command(ID_FILE_LOAD_CONFIG);
    }
    // The File menu as it shows when opened.
    std::vector<MenuItem> FileMenu() {
        HMENU file = GetSubMenu(GetMenu(Hwnd()), 0);
        SendMessageW(Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        std::vector<MenuItem> items;
        for (int i = 0; i < GetMenuItemCount(file); ++i) {
            wchar_t text[MAX_PATH + 8] = {};
            GetMenuStringW(file, i, text, MAX_PATH + 8, MF_BYPOSITION);
            const UINT state = GetMenuState(file, i, MF_BYPOSITION);
            items.push_back({text, GetMenuItemID(file, i), (state & (MF_GRAYED | MF_DISABLED)) != 0});
        }
        return items;
    }
    // The menu texts of these paths, numbered from 1.
    static std::vector<std::wstring> Texts(const std::vector<std::wstring>& paths) {
        std::vector<std::wstring> texts;
        for (size_t i = 0; i < paths.size(); ++i)
            texts.push_back(config::RecentFileMenuText(static_cast<int>(i) + 1, paths[i]));
        return texts;
    }
    std::vector<std::wstring> Listed() {
        std::vector<std::wstring> texts;
        for (const MenuItem& m : FileMenu())
            if (m.id >= ID_FILE_RECENT_FIRST && m.id <= ID_FILE_RECENT_LAST) texts.push_back(m.text);
        return texts;
    }
};

TEST_F(RecentFilesTest, TheLastFourSavedOrLoadedMostRecentFirst) {
    Open();
    // None yet: the File menu is as the resource has it.
    std::vector<MenuItem> menu = FileMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[1].id, static_cast<UINT>(ID_FILE_LOAD_CONFIG));

    Click(IDC_START_CAMERA);
    const std::wstring a = Csv(L"a.csv", 1), b = Csv(L"b&c.csv", 2), c = Csv(L"c.csv", 3), d = Csv(L"d.csv", 4),
                       e = ProgramFolder() + L"\\e.csv";
    Load(a);
    Load(b);
    Save(c);
    Load(d);
    Load(a);  // again: to the front, once
    Save(e);
    EXPECT_EQ(Listed(), Texts({e, a, d, c}));
    menu = FileMenu();
    ASSERT_EQ(menu.size(), 7u);
    EXPECT_EQ(menu[2].text, L"");  // the separator under Load Config
    EXPECT_TRUE(GetMenuState(GetSubMenu(GetMenu(Hwnd()), 0), 2, MF_BYPOSITION) & MF_SEPARATOR);
    for (size_t i = 3; i < menu.size(); ++i) EXPECT_FALSE(menu[i].grayed) << i;

    // A failed load adds nothing.
    Load(ProgramFolder() + L"\\missing.csv");
    EXPECT_EQ(Listed(), Texts({e, a, d, c}));

    // Kept for the next run, where they are grayed until the picture runs.
    Click(IDC_EXIT);
    Open();
    EXPECT_EQ(Listed(), Texts({e, a, d, c}));
    for (const MenuItem& m : FileMenu()) {
        if (m.id >= ID_FILE_RECENT_FIRST && m.id <= ID_FILE_RECENT_LAST) {
            EXPECT_TRUE(m.grayed);
        }
    }
    // A command that comes all the same does nothing.
    Prompts().Clear();
    Mark();
    ClearTrace();
    Command(ID_FILE_RECENT_FIRST + 1);
    EXPECT_EQ(Since(), L"");
    EXPECT_TRUE(Prompts().Records().empty());
    EXPECT_FALSE(TraceHas("SonixCam_PropertySet("));
}

TEST_F(RecentFilesTest, AChosenOneLoadsAsLoadConfigWithoutTheDialog) {
    Open();
    Click(IDC_START_CAMERA);
    const std::wstring a = Csv(L"a.csv", 11), b = Csv(L"b.csv", 12);
    Load(a);
    Load(b);
    ASSERT_EQ(Listed(), Texts({b, a}));
    Prompts().Clear();
    Mark();
    Command(ID_FILE_RECENT_FIRST + 1);
    EXPECT_EQ(Since(), L"Set Brightness to 11 successfully\r\nFinish load properties and controls values from " + a +
                           L"\r\n");
    const std::vector<ui::PromptRecord> records = Prompts().Records();
    ASSERT_EQ(records.size(), 1u) << "no file dialog";
    EXPECT_EQ(records[0].text, L"Finish load properties and controls values from " + a);
    EXPECT_EQ(records[0].caption, L"Load Configuration");
    EXPECT_EQ(Text(IDC_BRIGHTNESS_EDIT), L"11");
    EXPECT_EQ(StatusBox(), Dlg().m_statusText);
    EXPECT_EQ(Listed(), Texts({a, b}));

    // Gone since: the status says so and it leaves the list, here and on disk.
    ASSERT_TRUE(fs::remove(files::PathFromWide(b)));
    Prompts().Clear();
    Mark();
    Command(ID_FILE_RECENT_FIRST + 1);
    EXPECT_EQ(Since(), L"Unable to open file " + b + L"\r\n");
    ASSERT_EQ(Prompts().Messages().size(), 1u);
    EXPECT_EQ(Prompts().Messages()[0].text, L"Failed to load configuration!");
    EXPECT_EQ(Listed(), Texts({a}));
    Click(IDC_EXIT);
    Open();
    EXPECT_EQ(Listed(), Texts({a}));
}

}  // namespace
}  // namespace vorn::test
