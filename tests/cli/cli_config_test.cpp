// save and apply: configuration files written and read with the window's
// rows and rules.
#include <nlohmann/json.hpp>

#include "cli_test_support.h"

namespace vorn::cli::test {
namespace {

using nlohmann::json;

const char kHeader[] = "PropName,Value,DataType\n";

TEST_F(CliTest, SaveThenApplyRestoresAChangedCamera) {
  const std::vector<std::string> changes = {"brightness=-20", "contrast=70", "saturation=10", "sharpness=1",
                                            "gamma=300", "auto-exposure=off", "exposure=-9",
                                            "auto-white-balance=off", "gain-blue=400", "gain-red=150", "rotate=on"};
  std::vector<std::string> set = {"set"};
  set.insert(set.end(), changes.begin(), changes.end());
  ASSERT_EQ(RunCli(set).code, 0);
  const json changed = json::parse(RunCli({"--json", "get"}).out);

  const std::string file = dir_.utf8("cam.csv");
  RunResult r = RunCli({"save", file});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir_.path() / "cam.csv"),
            "PropName,Value,DataType\r\nBRIGHTNESS,-20,int\r\nCONTRAST,70,int\r\nSATURATION,10,int\r\n"
            "SHARPNESS,1,int\r\nGAMMA,300,int\r\nAUTO_EXPOSURE,FALSE,bool\r\nMANUAL_EXPOSURE,-9,int\r\n"
            "AUTO_WHITE_BALANCE,FALSE,bool\r\nCOLOR_GAIN_BLUE,400,int\r\nCOLOR_GAIN_RED,150,int\r\n"
            "ROTATE_180,TRUE,bool\r\nILLUMINATE,FALSE,bool\r\n");

  // A camera at its power-up settings takes the file back.
  SonixSim_ResetDefault();
  r = RunCli({"--json", "apply", file});
  ASSERT_EQ(r.code, 0) << r.err;
  const json report = json::parse(r.out);
  EXPECT_EQ(report["rows"].size(), 12u);
  EXPECT_EQ(report["stopped"], nullptr);
  EXPECT_EQ(report["rows"][0]["line"], 2);
  EXPECT_EQ(report["rows"][0]["result"], "applied");
  EXPECT_EQ(report["rows"][0]["messages"], json::array({"Set Brightness to -20 successfully"}));
  // Illumination was already off.
  EXPECT_EQ(report["rows"][11]["name"], "ILLUMINATE");

  EXPECT_EQ(json::parse(RunCli({"--json", "get"}).out), changed);

  // A second save keeps the first file.
  r = RunCli({"save", file});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "vorn_ctl: '" + file + "' exists; not replaced (--force replaces it)\n");
  EXPECT_EQ(RunCli({"save", "--force", file}).code, 0);
}

TEST_F(CliTest, ApplyReportsEachRowAndWhereItStopped) {
  struct Case {
    const char* name;
    std::string faults;
    std::string rows;
    int code;
    std::vector<std::string> results;
    std::string error;
  };
  const Case cases[] = {
      {"AllGood", "", "brightness,12,Int\nCONTRAST,32,int\nROTATE_180,true,bool\nGAMMA,1,text\n", 0,
       {"applied", "unchanged", "applied", "ignored"}, ""},
      {"UnknownName", "", "BRIGHTNESS,12,int\nFOO,1,int\nCONTRAST,40,int\n", 2, {"applied", "failed"},
       "stopped at line 3: Cannot find property FOO"},
      {"CameraRefuses", "SonixCam_PropertySet.1 = always", "BRIGHTNESS,12,int\nCONTRAST,40,int\nGAMMA,200,int\n", 1,
       {"applied", "failed"}, "stopped at line 3: Failed to set Contrast to 40"},
      {"ModeRefused", "SonixCam_ControlSet.4 = always", "AUTO_EXPOSURE,FALSE,bool\nGAMMA,200,int\n", 1, {"failed"},
       "stopped at line 2: Set AEC Mode failed!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadScenario("[camera]\n[faults]\n" + c.faults + "\n");
    const std::string file = dir_.utf8(std::string(c.name) + ".csv");
    ASSERT_TRUE(WriteBytes(dir_.path() / (std::string(c.name) + ".csv"), kHeader + c.rows));
    const RunResult r = RunCli({"--json", "apply", file});
    EXPECT_EQ(r.code, c.code) << r.err;
    const json doc = json::parse(r.out);
    std::vector<std::string> results;
    for (const json& row : doc["rows"]) results.push_back(row["result"]);
    EXPECT_EQ(results, c.results);
    if (c.code == 0) {
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(doc["rows"][1]["messages"], json::array({"Skip setting Contrast"}));
    } else {
      EXPECT_EQ(doc["error"], c.error);
      EXPECT_EQ(r.err, "vorn_ctl: " + c.error + "\n");
      EXPECT_EQ(Count(r.trace, "SonixCam_PropertySet(5,"), 0u) << "rows after the failure were applied";
    }
  }
}

TEST_F(CliTest, ApplyTextNamesTheRows) {
  ASSERT_TRUE(WriteBytes(dir_.path() / "a.csv", std::string(kHeader) + "BRIGHTNESS,12,int\nBOGUS,1,int\n"));
  const RunResult r = RunCli({"apply", dir_.utf8("a.csv")});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out,
            "line 2  BRIGHTNESS  12  applied  Set Brightness to 12 successfully\n"
            "line 3  BOGUS       1   failed   Cannot find property BOGUS\n"
            "applied 1 of 2 rows from " + dir_.utf8("a.csv") + "\n");
}

TEST_F(CliTest, ApplyRefusesFilesItCantUse) {
  ASSERT_TRUE(WriteBytes(dir_.path() / "short.csv", std::string(kHeader) + "BRIGHTNESS,12\n"));
  std::filesystem::create_directories(dir_.path() / "folder.csv");
  // The window's refusals: too large, and binary after a good row.
  std::string big = kHeader;
  while (big.size() <= 65536) big += "BRIGHTNESS,12,int\n";
  ASSERT_TRUE(WriteBytes(dir_.path() / "big.csv", big));
  ASSERT_TRUE(WriteBytes(dir_.path() / "bin.csv", std::string(kHeader) + "BRIGHTNESS,12,int\n\x7f" + std::string(3, '\0')));
  const std::pair<std::string, std::string> cases[] = {
      {dir_.utf8("big.csv"), "'" + dir_.utf8("big.csv") + "' refused: File " + dir_.utf8("big.csv") +
                                 " is larger than 65536 bytes; it is not a configuration file"},
      {dir_.utf8("bin.csv"), "'" + dir_.utf8("bin.csv") + "' refused: Binary data: line 2 of file " +
                                 dir_.utf8("bin.csv") + " holds the byte 0x00"},
      {dir_.utf8("missing.csv"), "can't open configuration file '" + dir_.utf8("missing.csv") + "'"},
      {dir_.utf8("folder.csv"), "can't open configuration file '" + dir_.utf8("folder.csv") + "'"},
      {dir_.utf8("short.csv"), "'" + dir_.utf8("short.csv") + "' refused: Saw 2 columns; expected 3 comma separated "
                                                              "columns at line 1 of file " +
                                   dir_.utf8("short.csv") + ": BRIGHTNESS,12"},
  };
  for (const auto& [file, message] : cases) {
    SCOPED_TRACE(file);
    const RunResult r = RunCli({"apply", file});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "vorn_ctl: " + message + "\n");
    EXPECT_EQ(Count(r.trace, "SonixCam_PropertySet"), 0u);
  }
}

}  // namespace
}  // namespace vorn::cli::test
