// burn: the firmware dialog's file checks, progress, the restart sequence
// and the versions before and after.
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_test_support.h"

namespace vorn::cli::test {
namespace {

using nlohmann::json;

const char kNewVersion[] = "Vorn-Corvanith-220301K-2.0";

// A ROM image that carries its version text at 0x100.
std::string Image(size_t size = 65536, const std::string& start = "SN9C") {
  std::string image(size, '\0');
  image.replace(0, start.size(), start);
  const std::string record = std::string("VVER") + kNewVersion;
  image.replace(0x100, record.size() + 1, record + '\0');
  return image;
}

TEST_F(CliTest, BurnShowsProgressAndTheNewVersion) {
  ASSERT_TRUE(WriteBytes(dir_.path() / "fw.src", Image()));
  RunResult r = RunCli({"burn", dir_.utf8("fw.src")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, std::string("firmware before: Vorn-Corvanith-211015K-1.3\nfirmware after:  ") + kNewVersion +
                       "\n");
  // Not a terminal: a line per tenth.
  std::string tenths;
  for (int p = 0; p <= 100; p += 10) tenths += "Burning: " + std::to_string(p) + "%\n";
  EXPECT_EQ(r.err, tenths + "Firmware Update Complete!\n");
  const size_t burn = std::find(r.trace.begin(), r.trace.end(), "SonixCam_BurnerFW(&, 65536, fn, &, 2, 0) = 0") -
                      r.trace.begin();
  ASSERT_LT(burn, r.trace.size());
  const std::vector<std::string> restart = {"SonixCam_RestartDevice() = 0", "SonixCam_UnInit() = 0",
                                            "SonixCam_Init(0) = 0"};
  EXPECT_TRUE(std::search(r.trace.begin() + burn, r.trace.end(), restart.begin(), restart.end()) != r.trace.end());

  // On a terminal one line is redrawn.
  SonixSim_ResetDefault();
  r = RunCli({"--json", "burn", "--verify", dir_.utf8("fw.src")}, true);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err.rfind("\rBurning [", 0), 0u);
  EXPECT_NE(r.err.find("\rBurning [########################################] 100%\nFirmware Update Complete!\n"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(Contains(r.trace, "SonixCam_BurnerFW(&, 65536, fn, &, 2, 1) = 0"));
  const json doc = json::parse(r.out);
  EXPECT_EQ(doc["before"], "Vorn-Corvanith-211015K-1.3");
  EXPECT_EQ(doc["after"], kNewVersion);
  EXPECT_EQ(doc["changed"], true);
  EXPECT_EQ(doc["verify"], true);
  EXPECT_EQ(doc["bytes"], 65536);
}

TEST_F(CliTest, BurnRefusesWhatTheDialogRefusesInItsWords) {
  ASSERT_TRUE(WriteBytes(dir_.path() / "short.src", Image(65535)));
  ASSERT_TRUE(WriteBytes(dir_.path() / "erased.src", Image(32768, "\xFF\xFF")));
  ASSERT_TRUE(WriteBytes(dir_.path() / "other.src", Image(131072, "ABCD")));
  ASSERT_TRUE(WriteBytes(dir_.path() / "xn.src", Image(32768, "XN")));
  std::filesystem::create_directories(dir_.path() / "folder.src");
  const std::pair<const char*, std::string> cases[] = {
      {"missing.src", "Invalid FW Source fiel path!"},
      {"folder.src", "Invalid FW Source fiel path!"},
      {"short.src", "Invalid file length! Failed to read Firmware source file!"},
      {"erased.src", "It is NOT a Sonix Rom File! Failed to read Firmware source file!"},
      {"other.src", "It is Not a Sonix Rom File! Failed to read Firmware source file!"},
  };
  for (const auto& [name, words] : cases) {
    SCOPED_TRACE(name);
    const RunResult r = RunCli({"burn", dir_.utf8(name)});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "vorn_ctl: '" + dir_.utf8(name) + "': " + words + "\n");
    EXPECT_TRUE(r.trace.empty()) << "the camera was touched";
  }
#ifndef _WIN32
  // A device is no source either, though it can be opened and read.
  if (std::filesystem::exists("/dev/zero")) {
    const RunResult r = RunCli({"burn", "/dev/zero"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "vorn_ctl: '/dev/zero': Invalid FW Source fiel path!\n");
  }
#endif
  // One signature byte is enough.
  EXPECT_EQ(RunCli({"burn", dir_.utf8("xn.src")}).code, 0);
}

TEST_F(CliTest, FailedBurnOrRestartIsReported) {
  ASSERT_TRUE(WriteBytes(dir_.path() / "fw.src", Image()));
  LoadScenario("[camera]\n[faults]\nSonixCam_BurnerFW = always\n");
  RunResult r = RunCli({"burn", dir_.utf8("fw.src")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("vorn_ctl: Failed to Update Firmware!\n"), std::string::npos) << r.err;
  EXPECT_EQ(Count(r.trace, "SonixCam_RestartDevice"), 0u);

  LoadScenario("[camera]\n[faults]\nSonixCam_RestartDevice = always\n");
  r = RunCli({"burn", dir_.utf8("fw.src")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("vorn_ctl: Can't restart camera device!\n"), std::string::npos) << r.err;
  // The sequence goes on: the library is brought back as far as it goes.
  EXPECT_TRUE(Contains(r.trace, "SonixCam_Init(0) = 0"));
}

// The window's firmware history gets a line per burn from the command line
// too, whatever the outcome; a history that can't be written only warns.
TEST_F(CliTest, EveryBurnIsRecordedInTheFirmwareHistory) {
  ASSERT_TRUE(WriteBytes(dir_.path() / "fw.src", Image()));
  const std::filesystem::path history = dir_.path() / "firmware-history.log";
  ASSERT_EQ(RunCli({"burn", "--verify", dir_.utf8("fw.src")}, false, history).code, 0);
  LoadScenario("[camera]\nvid_pid = 0c 45 63 6a\n[faults]\nSonixCam_BurnerFW = always\n");
  ASSERT_EQ(RunCli({"burn", dir_.utf8("fw.src")}, false, history).code, 1);
  LoadScenario("[camera]\n[faults]\nSonixCam_RestartDevice = always\n");
  ASSERT_EQ(RunCli({"burn", dir_.utf8("fw.src")}, false, history).code, 1);

  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(ReadText(history));
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    rows.push_back(fields);
  }
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0][0], "# time");
  const std::string image = vorn::files::PathToUtf8(std::filesystem::absolute(dir_.path() / "fw.src"));
  const std::string old = "Vorn-Corvanith-211015K-1.3";
  EXPECT_EQ(std::vector<std::string>(rows[1].begin() + 1, rows[1].end()),
            (std::vector<std::string>{"564f524e", old, image, "65536", "on", "ok", kNewVersion}));
  EXPECT_EQ(std::vector<std::string>(rows[2].begin() + 1, rows[2].end()),
            (std::vector<std::string>{"0c45636a", old, image, "65536", "off", "burn-failed", "-"}));
  EXPECT_EQ(std::vector<std::string>(rows[3].begin() + 1, rows[3].end()),
            (std::vector<std::string>{"564f524e", old, image, "65536", "off", "restart-failed", "-"}));

  SonixSim_ResetDefault();
  const RunResult r = RunCli({"burn", dir_.utf8("fw.src")}, false, dir_.path());
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("vorn_ctl: can't write the firmware history to "), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vorn::cli::test
