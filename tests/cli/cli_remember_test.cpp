// remember: the settings the window keeps per camera, written, shown, applied
// and forgotten by vorn_ctl in the same store, with the same rules.
#include <nlohmann/json.hpp>

#include "cli_test_support.h"

namespace vorn::cli::test {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

const char kHeader[] = "PropName,Value,DataType\r\n";

class RememberCliTest : public CliTest {
protected:
  fs::path User() const { return dir_.path() / "user"; }
  fs::path CameraFile(const std::string& id = "564f524e") const { return User() / "cameras" / (id + ".csv"); }
  RunResult Remember(std::vector<std::string> args) {
    args.insert(args.begin(), "remember");
    return RunCli(args, false, {}, User());
  }
  RunResult RememberJson(std::vector<std::string> args) {
    args.insert(args.begin(), {"--json", "remember"});
    return RunCli(args, false, {}, User());
  }
  static void Put(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    ASSERT_TRUE(WriteBytes(p, bytes));
  }
};

TEST_F(RememberCliTest, SaveShowApplyForgetOnTheWindowsFile) {
  ASSERT_EQ(RunCli({"set", "brightness=-20", "auto-exposure=off", "exposure=-9", "rotate=on"}).code, 0);
  const json changed = json::parse(RunCli({"--json", "get"}).out);

  RunResult r = Remember({"show"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string path = vorn::files::PathToUtf8(CameraFile());
  EXPECT_EQ(r.out, "no settings are remembered for camera 564f524e (" + path + ")\n");

  r = Remember({"save"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "remembered 10 rows for camera 564f524e in " + path + "\n");
  // What save (and the window's Save Config) writes for the same camera.
  ASSERT_EQ(RunCli({"save", dir_.utf8("by-hand.csv")}).code, 0);
  EXPECT_EQ(ReadBytes(CameraFile()), ReadBytes(dir_.path() / "by-hand.csv"));

  r = RememberJson({"show"});
  ASSERT_EQ(r.code, 0) << r.err;
  const json shown = json::parse(r.out);
  EXPECT_EQ(shown["camera"], "564f524e");
  EXPECT_EQ(shown["file"], path);
  EXPECT_EQ(shown["remembered"], true);
  ASSERT_EQ(shown["rows"].size(), 10u);
  EXPECT_EQ(shown["rows"][0], json({{"name", "BRIGHTNESS"}, {"value", "-20"}, {"type", "int"}}));
  r = Remember({"show"});
  EXPECT_EQ(r.out.rfind(path + "\nBRIGHTNESS          -20    int\n", 0), 0u) << r.out;

  // A camera at its power-up values gets them back.
  SonixSim_ResetDefault();
  r = RememberJson({"apply"});
  ASSERT_EQ(r.code, 0) << r.err;
  const json applied = json::parse(r.out);
  EXPECT_EQ(applied["failed"], 0);
  EXPECT_EQ(applied["rows"][0]["messages"], json::array({"Set Brightness to -20 successfully"}));
  EXPECT_EQ(json::parse(RunCli({"--json", "get"}).out), changed);

  r = Remember({"forget"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "forgot the settings of camera 564f524e\n");
  EXPECT_FALSE(fs::exists(CameraFile()));
  r = RememberJson({"forget"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(json::parse(r.out)["forgotten"], false);
  EXPECT_EQ(Remember({"apply"}).code, 1);
}

TEST_F(RememberCliTest, ARefusedRowFailsTheRunButNotTheOtherRows) {
  Put(CameraFile(), std::string(kHeader) + "BRIGHTNESS,12,int\r\nCONTRAST,40,int\r\nGAMMA,200,int\r\n");
  LoadScenario("[camera]\n[faults]\nSonixCam_PropertySet.1 = always\n");
  const RunResult r = RememberJson({"apply"});
  EXPECT_EQ(r.code, 1);
  const json doc = json::parse(r.out);
  std::vector<std::string> results;
  for (const json& row : doc["rows"]) results.push_back(row["result"]);
  EXPECT_EQ(results, (std::vector<std::string>{"applied", "failed", "applied"}));
  EXPECT_EQ(doc["failed"], 1);
  EXPECT_EQ(r.err, "vorn_ctl: 1 remembered rows could not be applied\n");
  EXPECT_EQ(Count(r.trace, "SonixCam_PropertySet(5, 200, 0) = 0"), 1u);
}

TEST_F(RememberCliTest, WhatItRefuses) {
  const std::string unreadable = std::string(kHeader) + "BRIGHTNESS,12,int\r\nZOOM,2,int\r\n";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::optional<std::string> file;  // the camera's file beforehand
    bool userFolder;
    int code;
    std::string error;
    bool libraryStarted;
  };
  const Case cases[] = {
      {"an unknown action", {"remember", "load"}, std::nullopt, true, 2,
       "remember takes show, save, apply or forget, not 'load'", false},
      {"no user folder", {"remember", "show"}, std::nullopt, false, 1,
       "no folder for per-user settings; set APPDATA or HOME", false},
      {"nothing to apply", {"remember", "apply"}, std::nullopt, true, 1,
       "no settings are remembered for camera 564f524e", true},
      {"an unknown name: show", {"remember", "show"}, unreadable, true, 1, "", true},
      {"an unknown name: apply", {"remember", "apply"}, unreadable, true, 1, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(User());
    if (c.file) Put(CameraFile(), *c.file);
    const RunResult r = RunCli(c.args, false, {}, c.userFolder ? User() : fs::path());
    EXPECT_EQ(r.code, c.code) << r.err;
    if (!c.error.empty()) {
      EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "vorn_ctl: " + c.error);
    }
    if (c.file) {
      EXPECT_EQ(r.err.rfind("vorn_ctl: the remembered settings in '", 0), 0u) << r.err;
      EXPECT_NE(r.err.find("Cannot find property ZOOM"), std::string::npos) << r.err;
      EXPECT_EQ(ReadBytes(CameraFile()), *c.file) << "left as it was";
      EXPECT_EQ(Count(r.trace, "SonixCam_PropertySet(0,"), 0u);
    }
    EXPECT_EQ(Count(r.trace, "SonixCam_Init"), c.libraryStarted ? 1u : 0u);
  }
}

TEST_F(RememberCliTest, EachCameraHasItsOwnFileAndTwinsShareOne) {
  LoadScenario("[camera]\n[camera]\nvid_pid = 56 4f 52 4f\n[camera]\nvid_pid = 56 4f 52 4e 99 99\n");
  ASSERT_EQ(RunCli({"--device", "2", "set", "brightness=7"}).code, 0);
  ASSERT_EQ(RunCli({"--device", "2", "remember", "save"}, false, {}, User()).code, 0);
  EXPECT_TRUE(fs::exists(CameraFile("564f524f")));
  EXPECT_FALSE(fs::exists(CameraFile("564f524e")));
  ASSERT_EQ(RunCli({"--device", "1", "remember", "save"}, false, {}, User()).code, 0);
  // The third camera's identifier is the first one's: the same file.
  const RunResult r = RunCli({"--json", "--device", "3", "remember", "show"}, false, {}, User());
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(json::parse(r.out)["file"], vorn::files::PathToUtf8(CameraFile("564f524e")));
  EXPECT_EQ(json::parse(r.out)["rows"][0]["value"], "0");
}

}  // namespace
}  // namespace vorn::cli::test
