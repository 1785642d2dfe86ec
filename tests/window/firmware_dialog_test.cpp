// The firmware update dialog over the simulated camera: choosing and
// checking a source file, the burn on its worker thread with its progress,
// the restart sequence, and the main window while a burn runs.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "firmware_test_support.h"

namespace vorn::test {
namespace {

constexpr wchar_t kBurnRunning[] = L"A firmware update is running; please wait until it finishes.";

// ---------------------------------------------------------------------------
// Opening and closing the dialog

TEST_F(FirmwareDialogTest, CreatedHiddenWithTheCameraIdsAndShownByTheMenu) {
    LoadScenario("[camera]\nvid_pid = 0c 45 63 6a ff ff\n");
    ASSERT_TRUE(StartClean());
    ASSERT_NE(FwHwnd(), nullptr);
    EXPECT_FALSE(FwShown());
    EXPECT_EQ(Fw().m_vidPid, L"0c45636a");
    EXPECT_EQ(GetParent(FwHwnd()) == Hwnd() || GetWindow(FwHwnd(), GW_OWNER) == Hwnd(), true);
    wchar_t text[64] = {};
    GetWindowTextW(FwItem(IDC_FW_VIDPID), text, 64);
    EXPECT_STREQ(text, L"0c45636a");
    GetWindowTextW(FwHwnd(), text, 64);
    EXPECT_STREQ(text, L"Update Firmware");
    // No system menu, hence no close box.
    EXPECT_EQ(GetWindowLongW(FwHwnd(), GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_NE(GetWindowLongW(FwHwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);

    // A previous burn's state must not leak into the next showing.
    EnableWindow(FwItem(IDC_FW_UPDATE), FALSE);
    EnableWindow(FwItem(IDC_FW_CANCEL), FALSE);
    SendMessageW(FwItem(IDC_FW_PROGRESS), PBM_SETPOS, 4321, 0);
    Command(ID_TOOLS_BURN_FIRMWARE);
    EXPECT_TRUE(FwShown());
    EXPECT_TRUE(FwEnabled(IDC_FW_UPDATE));
    EXPECT_TRUE(FwEnabled(IDC_FW_CANCEL));
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(SendMessageW(FwItem(IDC_FW_PROGRESS), PBM_GETRANGE, FALSE, 0), 10000);
    EXPECT_FALSE(Enabled(IDC_START_CAMERA));
    EXPECT_FALSE(Enabled(IDC_EXIT));
    EXPECT_EQ(Fw().m_owner.load(), &Dlg());
    EXPECT_FALSE(Result().has_value());
}

TEST_F(FirmwareDialogTest, CancelAndEscapeHideTheDialogAndGiveBackTheMainButtons) {
    LoadScenario("[camera]\n");
    ASSERT_TRUE(StartClean());
    const auto viaCancelButton = [&] { FwClick(IDC_FW_CANCEL); };
    const auto viaEscape = [&] {
        SendMessageW(FwHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        Pump();
    };
    for (const auto& close : {std::function<void()>(viaCancelButton), std::function<void()>(viaEscape)}) {
        Command(ID_TOOLS_BURN_FIRMWARE);
        ASSERT_TRUE(FwShown());
        close();
        EXPECT_FALSE(FwShown());
        EXPECT_TRUE(Enabled(IDC_START_CAMERA));
        EXPECT_TRUE(Enabled(IDC_EXIT));
        EXPECT_EQ(Fw().m_owner.load(), nullptr);
        // Hidden, not destroyed: the same window comes back next time.
        EXPECT_TRUE(IsWindow(FwHwnd()));
    }
    // Enter never ends the dialog by itself.
    Command(ID_TOOLS_BURN_FIRMWARE);
    SendMessageW(FwHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Pump();
    EXPECT_TRUE(FwShown());
    EXPECT_FALSE(Result().has_value());
}

// ---------------------------------------------------------------------------
// The source file

TEST_F(FirmwareDialogTest, BrowseSetsThePathOnlyWhenTheUserConfirms) {
    LoadScenario("[camera]\n");
    ASSERT_TRUE(StartClean());
    Command(ID_TOOLS_BURN_FIRMWARE);
    Prompts().QueuePath(std::wstring(L"C:\\fw\\new.src"));
    FwClick(IDC_FW_BROWSE);
    auto records = Prompts().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, ui::PromptRecord::Kind::OpenFile);
    EXPECT_EQ(records[0].defaultExt, L"src");
    EXPECT_EQ(records[0].text, L"");
    EXPECT_EQ(records[0].filter, L"Source (*.src)|*.src");
    EXPECT_EQ(records[0].flags, 0x1004u);
    EXPECT_EQ(records[0].owner, Hwnd());
    EXPECT_EQ(Fw().m_sourcePath, L"C:\\fw\\new.src");
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(FwItem(IDC_FW_SOURCE_PATH), text, MAX_PATH);
    EXPECT_STREQ(text, L"C:\\fw\\new.src");

    Prompts().QueuePath(std::nullopt);  // cancelled
    FwClick(IDC_FW_BROWSE);
    EXPECT_EQ(Fw().m_sourcePath, L"C:\\fw\\new.src");
}

HGLOBAL MakeDrop(const std::vector<std::wstring>& files) {
    std::wstring list;
    for (const auto& f : files) list += f + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

TEST_F(FirmwareDialogTest, DroppingSeveralFilesTakesTheFirstAndTheFieldFollowsAtUpdate) {
    LoadScenario("[camera]\n");
    ASSERT_TRUE(StartClean());
    Command(ID_TOOLS_BURN_FIRMWARE);
    const std::wstring first = WriteFile(L"first.src", Image(65536));
    const std::wstring second = WriteFile(L"second.src", Image(65536));
    // A long name must arrive whole.
    const std::wstring deep = ProgramFolder() + L"\\" + std::wstring(200, L'd') + L"\\" + std::wstring(200, L'e');
    for (const auto& [dropped, expected] : std::vector<std::pair<std::vector<std::wstring>, std::wstring>>{
             {{first, second}, first}, {{deep + L".src", first}, deep + L".src"}}) {
        SendMessageW(FwHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(dropped)), 0);
        Pump();
        wchar_t text[1024] = {};
        GetWindowTextW(FwItem(IDC_FW_SOURCE_PATH), text, 1024);
        EXPECT_EQ(std::wstring(text), expected);
        EXPECT_EQ(Fw().m_sourcePath, L"");
    }
    SendMessageW(FwHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({first, second})), 0);
    Pump();
    Prompts().QueueAnswer(IDNO);
    FwClick(IDC_FW_UPDATE);
    EXPECT_EQ(Fw().m_sourcePath, first);
}

TEST_F(FirmwareDialogTest, MissingOrEmptyPathIsRefusedBeforeAnyRead) {
    LoadScenario("[camera]\n");
    ASSERT_TRUE(StartClean());
    Command(ID_TOOLS_BURN_FIRMWARE);
    for (const std::wstring& path : {std::wstring(), ProgramFolder() + L"\\absent.src"}) {
        SCOPED_TRACE(testing::PrintToString(path));
        Prompts().Clear();
        TypePath(path);
        FwClick(IDC_FW_UPDATE);
        auto boxes = Prompts().Messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, L"Invalid FW Source fiel path!");
        EXPECT_EQ(boxes[0].caption, L"ERROR FW Source Path");
        EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK));
        EXPECT_EQ(boxes[0].owner, FwHwnd());
        EXPECT_TRUE(FwEnabled(IDC_FW_UPDATE));
        EXPECT_TRUE(FwEnabled(IDC_FW_CANCEL));
        EXPECT_EQ(Fw().m_imageLength, 0);
    }
}

struct SourceCase {
    const char* name;
    std::vector<uint8_t> bytes;
    const wchar_t* refusal;  // nullptr: accepted, the question follows
};

TEST_F(FirmwareDialogTest, EachSourceFileRefusalShowsItsTextThenTheReadFailure) {
    std::vector<uint8_t> ff = Image(65536, "\xFF\xFF");
    std::vector<uint8_t> ffN = Image(65536, "\xFF\x4E");
    const SourceCase cases[] = {
        {"65535 bytes", Image(65535), L"Invalid file length!"},
        {"65537 bytes", Image(65537), L"Invalid file length!"},
        {"empty", {}, L"Invalid file length!"},
        {"erased", ff, L"It is NOT a Sonix Rom File!"},
        {"no signature", Image(32768, "ABCD"), L"It is Not a Sonix Rom File!"},
        {"32 KiB S", Image(32768, "S\x01\x02\x03"), nullptr},
        {"64 KiB FF N", ffN, nullptr},
        {"128 KiB XN", Image(131072, "XN"), nullptr},
    };
    LoadScenario("[camera]\n");
    ASSERT_TRUE(StartClean());
    Command(ID_TOOLS_BURN_FIRMWARE);
    // A good image read first stays when a later file is refused.
    Update(WriteFile(L"good.src", Image(65536)), IDNO);
    ASSERT_EQ(Fw().m_imageLength, 65536);
    for (const SourceCase& c : cases) {
        SCOPED_TRACE(c.name);
        Prompts().Clear();
        const std::wstring path = WriteFile(L"case.src", c.bytes);
        Update(path, IDNO);
        auto boxes = Prompts().Messages();
        ASSERT_EQ(boxes.size(), c.refusal ? 2u : 1u);
        if (c.refusal) {
            EXPECT_EQ(boxes[0].text, c.refusal);
            EXPECT_EQ(boxes[0].caption, L"Vorn_Controls");
            EXPECT_EQ(boxes[0].owner, Hwnd());
            EXPECT_EQ(boxes[1].text, L"Failed to read Firmware source file!");
            EXPECT_EQ(boxes[1].caption, L"Update Firmware");
            EXPECT_EQ(boxes[1].owner, FwHwnd());
            EXPECT_TRUE(FwEnabled(IDC_FW_CANCEL));
            EXPECT_EQ(Fw().m_imageLength, 65536);
        } else {
            EXPECT_EQ(boxes[0].text, L"Loading file \"" + path + L"\" to update firmware.");
            EXPECT_EQ(Fw().m_imageLength, static_cast<int32_t>(c.bytes.size()));
            ASSERT_NE(Fw().m_image, nullptr);
            EXPECT_EQ(std::memcmp(Fw().m_image.get(), c.bytes.data(), c.bytes.size()), 0);
        }
        EXPECT_TRUE(FwEnabled(IDC_FW_UPDATE));
    }
    EXPECT_FALSE(TraceHas("SonixCam_BurnerFW"));
}

TEST_F(FirmwareDialogTest, FolderOrLockedSourceIsRefusedAndTheDialogGoesOn) {
    LoadScenario("[camera]\n");
    ASSERT_TRUE(StartClean());
    Command(ID_TOOLS_BURN_FIRMWARE);
    const std::wstring folder = ProgramFolder() + L"\\rom.src";
    std::filesystem::create_directories(std::filesystem::path(folder));
    Prompts().Clear();
    Update(folder, IDNO);
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"Invalid FW Source fiel path!"});
    EXPECT_EQ(Fw().m_imageLength, 0);
    EXPECT_TRUE(FwEnabled(IDC_FW_UPDATE));

    // Held open without sharing, as another program can.
    const std::wstring path = WriteFile(L"locked.src", Image(65536));
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Prompts().Clear();
    Update(path, IDNO);
    CloseHandle(lock);
    EXPECT_EQ(BoxTexts(), (std::vector<std::wstring>{L"Can't Open File!", L"Failed to read Firmware source file!"}));
    EXPECT_EQ(Fw().m_imageLength, 0);
    EXPECT_TRUE(FwEnabled(IDC_FW_UPDATE));
    EXPECT_TRUE(FwEnabled(IDC_FW_CANCEL));

    // Once the other program lets go, the same file is taken.
    Prompts().Clear();
    Update(path, IDNO);
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"Loading file \"" + path + L"\" to update firmware."});
    EXPECT_EQ(Fw().m_imageLength, 65536);
    EXPECT_FALSE(TraceHas("SonixCam_BurnerFW"));
}

TEST_F(FirmwareDialogTest, NoAtTheQuestionGivesBackOnlyUpdateFirmware) {
    LoadScenario("[camera]\n");
    ASSERT_TRUE(StartClean());
    Command(ID_TOOLS_BURN_FIRMWARE);
    const std::wstring path = WriteFile(L"fw.src", Image(65536));
    Update(path, IDNO);
    auto boxes = Prompts().Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Loading file \"" + path + L"\" to update firmware.");
    EXPECT_EQ(boxes[0].caption, L"Update Firmware");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(boxes[0].owner, FwHwnd());
    EXPECT_TRUE(FwEnabled(IDC_FW_UPDATE));
    EXPECT_TRUE(FwEnabled(IDC_FW_CANCEL));
    EXPECT_FALSE(Fw().IsBurning());
    EXPECT_FALSE(TraceHas("SonixCam_BurnerFW"));
    EXPECT_TRUE(FwShown());
}

// ---------------------------------------------------------------------------
// Burning

TEST_F(FirmwareDialogTest, WholeBurnRestartsTheCameraWhichThenReportsTheNewVersion) {
    // Slow enough that the bar can be seen moving.
    LoadScenario("[sim]\nburn_ms = 4000\n[camera]\nfirmware = Vorn-Corvanith-211015K-1.3\nflash_type = 2\n");
    ASSERT_TRUE(StartClean());
    ASSERT_TRUE(Dlg().m_rotateSupported);
    Command(ID_TOOLS_BURN_FIRMWARE);
    TickVerify(true);
    EXPECT_EQ(Fw().m_fullVerification, 1);
    const std::string version = "Vorn-Corvanith-210805K-2.0";
    const auto image = Image(131072, "SN9C", version);
    const std::wstring path = WriteFile(L"new.src", image);
    ClearTrace();
    const auto started = std::chrono::steady_clock::now();
    Update(path, IDYES);
    EXPECT_TRUE(Fw().IsBurning());
    EXPECT_FALSE(FwEnabled(IDC_FW_UPDATE));
    EXPECT_FALSE(FwEnabled(IDC_FW_CANCEL));

    std::vector<int> seen;
    ASSERT_TRUE(PumpUntil(
        [&] {
            const int p = Bar();
            if (seen.empty() || seen.back() != p) seen.push_back(p);
            return !Fw().IsBurning();
        },
        kBurnTimeout));
    const auto took = std::chrono::steady_clock::now() - started;
    Pump(50ms);
    // The bar went up in steps, never back, to the end.
    EXPECT_GE(seen.size(), 4u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](int p) { return p > 0 && p < 10000; }));
    EXPECT_EQ(Bar(), 10000);
    // Two pauses of a second: after the restart and after the un-initialise.
    EXPECT_GE(took, 1900ms);

    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>({L"Loading file \"" + path + L"\" to update firmware.",
                                                     L"Firmware Update Complete!"}));
    EXPECT_EQ(Prompts().Messages()[1].caption, L"Update Vorn Firmware");
    EXPECT_EQ(Prompts().Messages()[1].owner, FwHwnd());
    const int burn = TraceIndex("SonixCam_BurnerFW(&, 131072, fn, &, 2, 1) = 0");
    ASSERT_GE(burn, 0);
    const int restart = TraceIndex("SonixCam_RestartDevice() = 0", burn);
    const int unInit = TraceIndex("SonixCam_UnInit() = 0", restart);
    const int init = TraceIndex("SonixCam_Init(", unInit);
    EXPECT_GT(restart, burn);
    EXPECT_GT(unInit, restart);
    EXPECT_GT(init, unInit);
    std::vector<uint8_t> flash(image.size());
    ASSERT_EQ(SonixSim_ReadFlash(0, flash.data(), static_cast<int>(flash.size())), 131072);
    EXPECT_EQ(flash, image);

    EXPECT_FALSE(FwShown());
    EXPECT_TRUE(Enabled(IDC_START_CAMERA));
    EXPECT_TRUE(Enabled(IDC_EXIT));
    EXPECT_FALSE(MenuGrayed(ID_TOOLS_BURN_FIRMWARE));
    EXPECT_EQ(Fw().m_owner.load(), nullptr);
    EXPECT_FALSE(Result().has_value());
    // The image stays for the next burn.
    EXPECT_EQ(Fw().m_imageLength, 131072);

    // The camera now runs the new firmware: About and Start read it.
    Command(ID_HELP_ABOUT);
    EXPECT_EQ(Dlg().m_aboutDlg.m_firmwareText, Widen(version));
    Click(IDC_START_CAMERA);
    EXPECT_TRUE(TraceHas("SonixCam_StartPreview() = 0"));
    // Its build 210805 is too old for rotation.
    EXPECT_FALSE(Dlg().m_rotateSupported);
    EXPECT_FALSE(Visible(IDC_ROTATE_180));
    Click(IDC_START_CAMERA);
}

TEST_F(FirmwareDialogTest, FullVerificationTickPassesItsFlagToTheBurn) {
    for (const bool verify : {false, true}) {
        SCOPED_TRACE(verify ? "ticked" : "unticked");
        LoadScenario("[camera]\nflash_type = 3\n");
        ASSERT_TRUE(StartClean());
        Command(ID_TOOLS_BURN_FIRMWARE);
        TickVerify(verify);
        Update(WriteFile(L"fw.src", Image(131072)));
        ASSERT_TRUE(WaitForBurnEnd());
        EXPECT_TRUE(TraceHas(std::string("SonixCam_BurnerFW(&, 131072, fn, &, 3, ") + (verify ? "1" : "0") + ") = 0"));
        TearDown();
        SetUp();
    }
}

struct BurnFailure {
    const char* name;
    const char* faults;
    bool verify;
};

TEST_F(FirmwareDialogTest, FailedBurnOrVerifyLeavesTheDialogUpWithItsButtons) {
    const BurnFailure cases[] = {
        {"burn", "SonixCam_BurnerFW = once\n", false},
        {"verify", "flash.corrupt = once\n", true},
    };
    for (const BurnFailure& c : cases) {
        SCOPED_TRACE(c.name);
        LoadScenario(std::string("[camera]\n[faults]\n") + c.faults);
        ASSERT_TRUE(StartClean());
        Command(ID_TOOLS_BURN_FIRMWARE);
        TickVerify(c.verify);
        Update(WriteFile(L"fw.src", Image(65536)));
        ASSERT_TRUE(WaitForBurnEnd());
        auto boxes = Prompts().Messages();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].text, L"Failed to Update Firmware!");
        EXPECT_EQ(boxes[1].caption, L"Vorn_Controls");
        EXPECT_EQ(boxes[1].owner, Hwnd());
        EXPECT_TRUE(FwShown());
        EXPECT_TRUE(FwEnabled(IDC_FW_UPDATE));
        EXPECT_TRUE(FwEnabled(IDC_FW_CANCEL));
        EXPECT_LT(Bar(), 10000);
        // Still the firmware dialog's turn: the main buttons stay off.
        EXPECT_EQ(Fw().m_owner.load(), &Dlg());
        EXPECT_FALSE(Enabled(IDC_START_CAMERA));
        EXPECT_FALSE(Enabled(IDC_EXIT));
        EXPECT_FALSE(MenuGrayed(ID_TOOLS_BURN_FIRMWARE));
        EXPECT_FALSE(TraceHas("SonixCam_RestartDevice"));
        EXPECT_FALSE(Result().has_value());
        // A second try goes through.
        Prompts().Clear();
        Update(Fw().m_sourcePath);
        ASSERT_TRUE(WaitForBurnEnd());
        EXPECT_EQ(BoxTexts().back(), L"Firmware Update Complete!");
        TearDown();
        SetUp();
    }
}

struct RestartFailure {
    const char* name;
    const char* faults;
    const wchar_t* box;
};

TEST_F(FirmwareDialogTest, RestartSequenceFailuresEndTheToolButTheSequenceGoesOn) {
    const RestartFailure cases[] = {
        {"restart", "SonixCam_RestartDevice = always\n", L"Can't restart camera device!"},
        {"un-initialise", "SonixCam_UnInit = once\n", L"Can't uninitialize camera device!"},
        // The first Init is the start-up's.
        {"initialise", "SonixCam_Init = 2\n", L"Can't initialize camera device!"},
    };
    for (const RestartFailure& c : cases) {
        SCOPED_TRACE(c.name);
        LoadScenario(std::string("[camera]\n[faults]\n") + c.faults);
        ASSERT_TRUE(StartClean());
        Command(ID_TOOLS_BURN_FIRMWARE);
        ClearTrace();
        Update(WriteFile(L"fw.src", Image(65536)));
        ASSERT_TRUE(WaitForBurnEnd());
        auto boxes = Prompts().Messages();
        ASSERT_EQ(boxes.size(), 3u);
        EXPECT_EQ(boxes[1].text, L"Firmware Update Complete!");
        EXPECT_EQ(boxes[2].text, c.box);
        EXPECT_EQ(boxes[2].caption, L"ERROR");
        EXPECT_EQ(boxes[2].owner, Hwnd());
        EXPECT_EQ(Result(), std::optional<INT_PTR>(-1));
        EXPECT_GE(TraceIndex("SonixCam_Init("), TraceIndex("SonixCam_UnInit("));
        EXPECT_GE(TraceIndex("SonixCam_UnInit("), TraceIndex("SonixCam_RestartDevice("));
        TearDown();
        SetUp();
    }
}

TEST_F(FirmwareDialogTest, DuringABurnTheMenuAndTheWindowCloseWait) {
    LoadScenario("[sim]\nburn_ms = 10000\n[camera]\n");
    ASSERT_TRUE(StartClean());
    ::ShowWindow(Hwnd(), SW_SHOW);
    Command(ID_TOOLS_BURN_FIRMWARE);
    Update(WriteFile(L"fw.src", Image(65536)));
    ASSERT_TRUE(PumpUntil([&] { return Bar() > 0; }));
    ASSERT_TRUE(Fw().IsBurning());
    EXPECT_TRUE(MenuGrayed(ID_TOOLS_BURN_FIRMWARE));

    // Choosing the menu command again changes nothing.
    const int before = Bar();
    Command(ID_TOOLS_BURN_FIRMWARE);
    EXPECT_FALSE(FwEnabled(IDC_FW_UPDATE));
    EXPECT_FALSE(FwEnabled(IDC_FW_CANCEL));
    EXPECT_GE(Bar(), before);
    // Escape in the firmware dialog does not hide it under the burn.
    SendMessageW(FwHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Pump();
    EXPECT_TRUE(FwShown());

    // Escape and Close on the main window: it stays, and says why.
    Prompts().Clear();
    SetFocus(Hwnd());
    Key(VK_ESCAPE);
    SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
    Pump();
    ASSERT_TRUE(Fw().IsBurning()) << "burn_ms too short for this test";
    EXPECT_FALSE(Result().has_value());
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>(2, kBurnRunning));
    EXPECT_NE(Dlg().m_statusText.find(kBurnRunning), std::wstring::npos);

    ASSERT_TRUE(WaitForBurnEnd());
    EXPECT_EQ(TraceCount("SonixCam_BurnerFW("), 1);
    EXPECT_FALSE(FwShown());
    // Afterwards Close is the usual teardown again.
    Prompts().Clear();
    SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
    Pump(100ms);
    EXPECT_EQ(Result(), std::optional<INT_PTR>(IDCANCEL));
}

TEST_F(FirmwareDialogTest, ProgressPositionIsTheTruncatedShare) {
    LoadScenario("[camera]\n");
    ASSERT_TRUE(StartClean());
    Command(ID_TOOLS_BURN_FIRMWARE);
    const std::pair<float, int> cases[] = {{0.0f, 0}, {0.5f, 5000}, {0.99999f, 9999}, {1.0f, 10000}};
    int previous = Bar();
    for (const auto& [done, position] : cases) {
        SCOPED_TRACE(done);
        // The result is what the bar answers: its previous position.
        EXPECT_EQ(UpdateFirmwareDlg::BurnProgress(&Fw(), done), previous);
        EXPECT_EQ(Bar(), position);
        previous = position;
    }
}

TEST_F(FirmwareDialogTest, ImageIsReleasedWithTheDialog) {
    LoadScenario("[camera]\n");
    ASSERT_TRUE(StartClean());
    Command(ID_TOOLS_BURN_FIRMWARE);
    Update(WriteFile(L"fw.src", Image(65536)), IDNO);
    ASSERT_NE(Fw().m_image, nullptr);
    Fw().Destroy();
    Pump();
    EXPECT_EQ(Fw().m_image, nullptr);
    EXPECT_EQ(Fw().m_imageLength, 0);
}

}  // namespace
}  // namespace vorn::test
