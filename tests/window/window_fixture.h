// Fixture for GUI tests of the main window (run under Wine, on Xvfb when
// there is no display).
//
// It creates the real CVornControlsDlg modeless, from the real templates,
// against the simulated camera with a scenario loaded in-process, and
// answers every message box through ui::ScriptedPrompts. Nothing else of the
// window system is faked: tests press buttons and menu items with the
// messages a user's actions produce and read real control states.
//
//   class MyTest : public vorn::test::MainWindowTest {};
//   TEST_F(MyTest, Something) {
//       LoadScenario("[camera]\nfirmware = Vorn-Corvanith-211015K\n");
//       WriteSettings("illuminate=TRUE\n");       // optional, before Start
//       ASSERT_TRUE(Start());                      // InitMainWindow ran fine
//       Click(IDC_AUTO_EXPOSURE);                  // BN_CLICKED as a user's click
//       Command(ID_HELP_ABOUT);                    // a menu item
//       Key(VK_ESCAPE);                            // through the dialog manager
//       EXPECT_TRUE(Enabled(IDC_START_CAMERA));
//       EXPECT_TRUE(MenuGrayed(ID_FILE_SAVE_CONFIG));
//       EXPECT_TRUE(TraceHas("SonixCam_OpenCamera(null, 0, null) = 0"));
//       EXPECT_EQ(Prompts().Messages().size(), 0u);
//       EXPECT_EQ(Result(), IDCANCEL);             // after the window ended
//   }
//
// Start() gives the window its own program folder (a fresh temporary one):
// the images folder and vorn_settings.cfg live there, not beside the test
// program. Each test also has its own per-user folder: APPDATA points into
// the program folder while it runs (UserFolder() is the window's
// %APPDATA%\Vorn Controls), so remembered settings and preferences never
// leak from one test to the next. Pump()/PumpUntil() dispatch messages with bounded waits; the
// trace helpers read SonixSim_GetTrace; ClearTrace() starts a fresh trace
// for the part of a test that matters.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "sonix_sim.h"
#include "ui/scripted_prompts.h"
#include "window/main_dialog.h"

namespace vorn::test {

// The main window with its program folder chosen by the test.
class TestMainDialog : public CVornControlsDlg {
public:
    explicit TestMainDialog(std::wstring programFolder) : folder_(std::move(programFolder)) {}
    const std::wstring& folder() const { return folder_; }

protected:
    std::wstring ModuleFileName() const override { return folder_ + L"\\Vorn_Controls.exe"; }

private:
    std::wstring folder_;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Scenario of the simulated camera; resets its whole state.
    void LoadScenario(const std::string& text);
    // vorn_settings.cfg in the program folder, or in its config subfolder.
    void WriteSettings(const std::string& text, bool inConfigFolder = false);

    // Creates the window (InitMainWindow runs) and pumps its messages.
    // True when start-up completed, i.e. the window did not end itself.
    bool Start();
    TestMainDialog& Dlg() { return *dlg_; }
    HWND Hwnd() const { return dlg_ ? dlg_->hwnd() : nullptr; }
    const std::wstring& ProgramFolder() const { return folder_; }
    // %APPDATA%\Vorn Controls of this test.
    std::wstring UserFolder() const { return folder_ + L"\\AppData\\Vorn Controls"; }
    ui::ScriptedPrompts& Prompts() { return prompts_; }

    // The EndDialog result, if the window has ended.
    std::optional<INT_PTR> Result() const;

    // Message pumping, always bounded.
    static void Pump(std::chrono::milliseconds forAtLeast = std::chrono::milliseconds(0));
    static bool PumpUntil(const std::function<bool()>& done,
                          std::chrono::milliseconds timeout = std::chrono::seconds(30));

    // A user's actions.
    void Click(int id);            // BN_CLICKED from the control
    void Command(int id);          // a menu command
    void SysCommand(UINT id);      // a system menu command
    void Key(UINT virtualKey);     // key down and up, through the dialog manager

    // Control and menu states.
    HWND Item(int id) const { return GetDlgItem(Hwnd(), id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // The window's own style bit, whatever its parent's visibility.
    bool Visible(int id) const;
    std::wstring Text(int id) const;
    UINT MenuState(UINT command) const;
    bool MenuGrayed(UINT command) const { return (MenuState(command) & (MF_GRAYED | MF_DISABLED)) != 0; }
    std::vector<std::wstring> ComboItems(int id) const;

    // The simulated camera's call trace.
    static std::vector<std::string> Trace();
    static void ClearTrace();
    static bool TraceHas(const std::string& fragment);
    static int TraceCount(const std::string& fragment);
    // Index of the first line at or after `from` containing the fragment, -1 if none.
    static int TraceIndex(const std::string& fragment, int from = 0);

private:
    std::wstring folder_;
    std::optional<std::wstring> savedAppData_;
    ui::ScriptedPrompts prompts_;
    std::unique_ptr<ui::ScopedPrompts> scoped_;
    std::unique_ptr<TestMainDialog> dlg_;
};

std::wstring Widen(const std::string& s);

}  // namespace vorn::test
