// The firmware version around a burn: the dialog's version line, the status
// lines after the restart, and the history file beside the program.
#include <regex>
#include <sstream>

#include "config/file_open.h"
#include "firmware_test_support.h"

namespace vorn::test {
namespace {

const char kOld[] = "Vorn-Corvanith-211015K-1.3";
const char kNew[] = "Vorn-Corvanith-220301K-2.0";

class FirmwareVersionsTest : public FirmwareDialogTest {
protected:
    std::wstring VersionLine() { return ui::WindowText(FwItem(IDC_FW_VERSION)); }
    std::filesystem::path History() { return std::filesystem::path(ProgramFolder()) / "firmware-history.log"; }
    std::vector<std::vector<std::string>> HistoryRows() {
        std::vector<std::vector<std::string>> rows;
        std::string text;
        if (!files::ReadAll(History(), text)) return rows;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> fields;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
            rows.push_back(fields);
        }
        return rows;
    }
    std::wstring StatusTail(size_t lines) {
        const std::wstring& s = Dlg().m_statusText;
        size_t at = s.size();
        for (size_t i = 0; i <= lines && at != std::wstring::npos && at > 0; ++i) at = s.rfind(L"\r\n", at - 1);
        return at == std::wstring::npos ? s : s.substr(at + 2);
    }
    void Burn(const std::wstring& path, bool verify = false) {
        Command(ID_TOOLS_BURN_FIRMWARE);
        TickVerify(verify);
        Update(path);
        ASSERT_TRUE(WaitForBurnEnd());
    }
};

TEST_F(FirmwareVersionsTest, VersionLineIsReadEachTimeTheDialogIsShown) {
    // The start-up reads the version once; the first showing's read fails.
    LoadScenario(std::string("[camera]\nfirmware = ") + kOld + "\n[faults]\nSonixCam_GetFwVersion = 2\n");
    ASSERT_TRUE(StartClean());
    Command(ID_TOOLS_BURN_FIRMWARE);
    EXPECT_EQ(VersionLine(), L"Can't read the camera's firmware version.");
    FwClick(IDC_FW_CANCEL);
    Command(ID_TOOLS_BURN_FIRMWARE);
    EXPECT_EQ(VersionLine(), Widen(kOld));
    EXPECT_NE(GetWindowLongW(FwItem(IDC_FW_VERSION), GWL_STYLE) & ES_READONLY, 0);
    // Under the VID/PID line.
    RECT vidPid, version;
    GetWindowRect(FwItem(IDC_FW_VIDPID), &vidPid);
    GetWindowRect(FwItem(IDC_FW_VERSION), &version);
    EXPECT_GE(version.top, vidPid.bottom);
}

TEST_F(FirmwareVersionsTest, BurnsReportTheVersionsAndEachGetsItsHistoryLine) {
    LoadScenario(std::string("[camera]\nfirmware = ") + kOld + "\nvid_pid = 0c 45 63 6a\n");
    ASSERT_TRUE(StartClean());
    const std::filesystem::path folder = std::filesystem::path(ProgramFolder()) / L"\u0424\u043e\u0442\u043e";
    std::filesystem::create_directories(folder);
    const std::wstring newImage = (folder / L"new.src").wstring();
    {
        const auto bytes = Image(131072, "SN9C", kNew);
        std::ofstream(std::filesystem::path(newImage), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    Burn(newImage, true);
    EXPECT_EQ(BoxTexts().back(), L"Firmware Update Complete!");
    EXPECT_EQ(StatusTail(1), L"Firmware updated: " + Widen(kOld) + L" -> " + Widen(kNew) + L".\r\n");
    EXPECT_NE(ui::WindowText(Item(IDC_STATUS)).find(L"Firmware updated: "), std::wstring::npos);

    // An image without a version record leaves the camera's text as it was.
    Burn(WriteFile(L"same.src", Image(65536)));
    EXPECT_EQ(StatusTail(1), L"Firmware written; the camera still reports " + Widen(kNew) + L".\r\n");
    Command(ID_TOOLS_BURN_FIRMWARE);
    EXPECT_EQ(VersionLine(), Widen(kNew));

    const auto rows = HistoryRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"# time", "vid_pid", "old_version", "image", "image_size", "verify",
                                                 "result", "new_version"}));
    const std::regex localTime(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})");
    ASSERT_EQ(rows[1].size(), 8u);
    EXPECT_TRUE(std::regex_match(rows[1][0], localTime)) << rows[1][0];
    EXPECT_EQ(std::vector<std::string>(rows[1].begin() + 1, rows[1].end()),
              (std::vector<std::string>{"0c45636a", kOld, files::PathToUtf8(newImage), "131072", "on", "ok", kNew}));
    ASSERT_EQ(rows[2].size(), 8u);
    EXPECT_EQ(std::vector<std::string>(rows[2].begin() + 1, rows[2].end()),
              (std::vector<std::string>{"0c45636a", kNew, files::PathToUtf8(WriteFile(L"same.src", Image(65536))),
                                        "65536", "off", "ok", kNew}));
}

TEST_F(FirmwareVersionsTest, FailedBurnsAndRestartsAreLoggedWithTheirResult) {
    struct Case {
        const char* name;
        const char* faults;
        const char* result;
        const char* newVersion;
    };
    const Case cases[] = {
        {"burn", "SonixCam_BurnerFW = once\n", "burn-failed", "-"},
        {"restart", "SonixCam_RestartDevice = always\n", "restart-failed", kOld},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadScenario(std::string("[camera]\nfirmware = ") + kOld + "\n[faults]\n" + c.faults);
        ASSERT_TRUE(StartClean());
        Burn(WriteFile(L"fw.src", Image(65536)));
        const auto rows = HistoryRows();
        ASSERT_EQ(rows.size(), 2u);
        ASSERT_EQ(rows[1].size(), 8u);
        EXPECT_EQ(rows[1][2], kOld);
        EXPECT_EQ(rows[1][6], c.result);
        EXPECT_EQ(rows[1][7], c.newVersion);
        // A failed burn has no version lines.
        EXPECT_EQ(Dlg().m_statusText.find(L"Firmware updated") == std::wstring::npos &&
                      Dlg().m_statusText.find(L"Firmware written") == std::wstring::npos,
                  std::string(c.result) == "burn-failed");
        TearDown();
        SetUp();
    }
}

TEST_F(FirmwareVersionsTest, AHistoryThatCannotBeWrittenLeavesTheBurnAsItWas) {
    LoadScenario(std::string("[camera]\nfirmware = ") + kOld + "\n");
    ASSERT_TRUE(StartClean());
    std::filesystem::create_directories(History());  // a folder where the file should be
    Burn(WriteFile(L"fw.src", Image(65536, "SN9C", kNew)));
    EXPECT_EQ(BoxTexts().back(), L"Firmware Update Complete!");
    EXPECT_FALSE(FwShown());
    EXPECT_TRUE(Enabled(IDC_START_CAMERA));
    EXPECT_FALSE(Result().has_value());
    EXPECT_EQ(StatusTail(2), L"Firmware updated: " + Widen(kOld) + L" -> " + Widen(kNew) +
                                 L".\r\nCan't write the firmware history to " + History().wstring() + L".\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(History()));
}

}  // namespace
}  // namespace vorn::test
