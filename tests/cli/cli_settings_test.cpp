// list, info, get and set over the simulated camera, in-process.
#include <nlohmann/json.hpp>

#include "cli_test_support.h"

namespace vorn::cli::test {
namespace {

using nlohmann::json;

std::string PropertySet(int id, int value, int flags) {
  return "SonixCam_PropertySet(" + std::to_string(id) + ", " + std::to_string(value) + ", " + std::to_string(flags) +
         ") = 0";
}
std::string ControlSet(int id, int value, int flags) {
  return "SonixCam_ControlSet(" + std::to_string(id) + ", " + std::to_string(value) + ", " + std::to_string(flags) +
         ") = 0";
}

TEST_F(CliTest, ListCountsUsableCamerasLikeTheDeviceBox) {
  LoadScenario(
      "[camera]\nproduct = Cam A\nfirmware = Vorn-Corvanith-211015K-1.3\nvid_pid = 0c 45 63 66\n"
      "[camera]\nproduct = Cam B\nselectable = false\n"
      "[camera]\nproduct = Cam C\nfirmware = Vorn-Corvanith-210801K\n");
  RunResult r = RunCli({"--json", "list"});
  ASSERT_EQ(r.code, 0) << r.err;
  const json doc = json::parse(r.out);
  ASSERT_EQ(doc.size(), 2u);
  EXPECT_EQ(doc[0]["number"], 1);
  EXPECT_EQ(doc[0]["product"], "Cam A");
  EXPECT_EQ(doc[0]["firmware"], "Vorn-Corvanith-211015K-1.3");
  EXPECT_EQ(doc[0]["vid_pid"], "0c456366");
  EXPECT_EQ(doc[1]["number"], 2);
  EXPECT_EQ(doc[1]["product"], "Cam C");
  EXPECT_EQ(r.err, "");

  r = RunCli({"list"});
  ASSERT_EQ(r.code, 0);
  const auto lines = vorn::test::splitLines(r.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("#  product  firmware", 0), 0u) << lines[0];
  EXPECT_EQ(lines[2].rfind("2  Cam C    Vorn-Corvanith-210801K", 0), 0u) << lines[2];

  // --device counts usable cameras, as the list does.
  r = RunCli({"--device", "2", "--json", "info"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(json::parse(r.out)["product"], "Cam C");
  r = RunCli({"--device", "3", "get"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "vorn_ctl: there is no camera 3; 2 found\n");
}

TEST_F(CliTest, NoCameraIsAnEmptyListButAFailureForTheRest) {
  LoadScenario("[sim]\nfps = 30\n");
  RunResult r = RunCli({"--json", "list"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(json::parse(r.out), json::array());
  r = RunCli({"get", "brightness"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "vorn_ctl: no camera found\n");
}

TEST_F(CliTest, InfoShowsResolutionsAndFlashType) {
  LoadScenario("[camera]\nresolutions = 640x480 320x240\nflash_type = 3\n");
  RunResult r = RunCli({"--json", "info"});
  ASSERT_EQ(r.code, 0) << r.err;
  const json doc = json::parse(r.out);
  EXPECT_EQ(doc["product"], "Vorn UC-20 Camera");
  EXPECT_EQ(doc["flash_type"], 3);
  EXPECT_EQ(doc["resolutions"], json::parse(R"([{"width":640,"height":480},{"width":320,"height":240}])"));
  r = RunCli({"info"});
  EXPECT_NE(r.out.find("resolutions  640x480 320x240\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, SetsEveryNameAndGetReadsThemBack) {
  const RunResult set = RunCli({"set", "brightness=10", "contrast=40", "saturation=50", "sharpness=5", "gamma=200",
                                "aec-target=100", "auto-exposure=off", "exposure=-8", "auto-white-balance=off",
                                "gain-blue=300", "gain-red=200", "rotate=on", "illumination=on"});
  ASSERT_EQ(set.code, 0) << set.err;
  EXPECT_EQ(vorn::test::splitLines(set.out).size(), 13u) << set.out;
  EXPECT_NE(set.out.find("auto-exposure = off\n"), std::string::npos);
  for (const std::string& call : {PropertySet(0, 10, 0), PropertySet(1, 40, 0), PropertySet(3, 50, 0),
                                  PropertySet(4, 5, 0), PropertySet(5, 200, 0), PropertySet(8, 100, 1),
                                  ControlSet(4, -8, 2), ControlSet(0, 300, 2), ControlSet(1, 200, 2),
                                  ControlSet(2, 3, 2), ControlSet(6, 0, 0)})
    EXPECT_TRUE(Contains(set.trace, call)) << call;
  // The camera is left closed and the library un-initialised.
  EXPECT_EQ(set.trace.back(), "SonixCam_UnInit() = 0");
  EXPECT_TRUE(Contains(set.trace, "SonixCam_CloseCamera() = 0"));

  const RunResult get = RunCli({"--json", "get"});
  ASSERT_EQ(get.code, 0) << get.err;
  const json doc = json::parse(get.out);
  const std::pair<const char*, json> expected[] = {
      {"brightness", 10},        {"contrast", 40},       {"saturation", 50},          {"sharpness", 5},
      {"gamma", 200},            {"aec-target", 100},    {"exposure", -8},            {"gain-blue", 300},
      {"gain-red", 200},         {"auto-exposure", false}, {"auto-white-balance", false}, {"rotate", true},
      {"illumination", true},
  };
  ASSERT_EQ(doc.size(), std::size(expected)) << doc.dump();
  for (const auto& [name, value] : expected) EXPECT_EQ(doc[name]["value"], value) << name;
  EXPECT_EQ(doc["brightness"]["min"], -64);
  EXPECT_EQ(doc["brightness"]["max"], 64);
  EXPECT_EQ(doc["exposure"]["min"], -13);
  EXPECT_EQ(doc["gain-red"]["max"], 512);
  EXPECT_FALSE(doc["rotate"].contains("min"));
  // Numbers as numbers, switches as booleans.
  EXPECT_TRUE(doc["gamma"]["value"].is_number_integer());
  EXPECT_TRUE(doc["rotate"]["value"].is_boolean());
}

TEST_F(CliTest, GetByNameInTheOrderGiven) {
  const RunResult r = RunCli({"get", "gamma", "auto-exposure", "brightness"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "gamma          100  72..500\nauto-exposure  on\nbrightness     0    -64..64\n");
}

TEST_F(CliTest, ASetStopsAtTheFirstFailureAndKeepsWhatCameBefore) {
  struct Case {
    const char* name;
    std::string faults;
    std::vector<std::string> args;
    int code;
    std::string message;
  };
  const Case cases[] = {
      {"OutOfRange", "", {"set", "brightness=10", "contrast=500", "saturation=50"}, 2,
       "contrast: 500 is out of range 0..95"},
      {"Refused", "SonixCam_PropertySet.1 = always", {"set", "brightness=10", "contrast=40", "saturation=50"}, 1,
       "contrast: the camera refused 40"},
      {"HeldByAutoWhiteBalance", "", {"set", "brightness=10", "gain-red=300", "saturation=50"}, 1,
       "gain-red: auto-white-balance is on and would override it; set auto-white-balance=off first"},
      {"HeldByAutoExposure", "", {"set", "brightness=10", "exposure=-5", "saturation=50"}, 1,
       "exposure: auto-exposure is on and would override it; set auto-exposure=off first"},
      {"ExposureOutsideTheLibraryRange", "", {"set", "brightness=10", "auto-exposure=off", "exposure=0"}, 2,
       "exposure: 0 is out of range -13..-1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadScenario("[camera]\n[faults]\n" + c.faults + "\n");
    std::vector<std::string> args = {"--json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult r = RunCli(args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.err, "vorn_ctl: " + c.message + "\n");
    const json doc = json::parse(r.out);
    EXPECT_EQ(doc["error"], c.message);
    EXPECT_EQ(doc["applied"]["brightness"], 10);
    EXPECT_TRUE(Contains(r.trace, PropertySet(0, 10, 0)));
    EXPECT_EQ(Count(r.trace, "SonixCam_PropertySet(3,"), 0u) << "the list went on";
  }
}

TEST_F(CliTest, ATypoAppliesNothing) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"set", "brightness=10", "contrast=abc"}, "contrast: 'abc' is not a whole number"},
      {{"set", "brightness=10", "rotate=maybe"}, "rotate: 'maybe' is not on or off"},
      {{"set", "brightness=10", "colour=3"}, "unknown setting 'colour'"},
      {{"set", "brightness"}, "'brightness' is not NAME=VALUE"},
      {{"get", "brightness", "colour"}, "unknown setting 'colour'"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    const RunResult r = RunCli(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "vorn_ctl: " + message + "\n");
    EXPECT_TRUE(r.trace.empty()) << "the camera was touched: " << r.trace.front();
  }
}

TEST_F(CliTest, OlderFirmwareHasNoRotationOrIllumination) {
  LoadScenario("[camera]\nfirmware = Vorn-Corvanith-210801K-1.0\n");
  RunResult r = RunCli({"--json", "get"});
  ASSERT_EQ(r.code, 0) << r.err;
  const json doc = json::parse(r.out);
  EXPECT_FALSE(doc.contains("rotate"));
  EXPECT_FALSE(doc.contains("illumination"));
  EXPECT_EQ(doc.size(), 11u);
  r = RunCli({"set", "rotate=on"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "vorn_ctl: rotate: this camera's firmware has no Rotate Image 180\n");
  EXPECT_EQ(Count(r.trace, "SonixCam_ControlSet(2,"), 0u);
}

TEST_F(CliTest, ResetRestoresTheCameraDefaults) {
  LoadScenario("[camera]\nproperty.0 = 30 -64 64 1 5 2\nproperty.5 = 300 72 500 1 110 2\ncontrol.2 = 3 2\n");
  ASSERT_EQ(RunCli({"set", "auto-exposure=off", "auto-white-balance=off"}).code, 0);
  RunResult r = RunCli({"--json", "reset"});
  ASSERT_EQ(r.code, 0) << r.err;
  const json doc = json::parse(r.out);
  ASSERT_EQ(doc["steps"].size(), 9u);
  EXPECT_EQ(doc["steps"][0], json::parse(R"({"name":"brightness","value":5,"result":"done"})"));
  EXPECT_EQ(doc["steps"][8], json::parse(R"({"name":"rotate","value":false,"result":"done"})"));
  for (const std::string& call : {PropertySet(0, 5, 0), PropertySet(5, 110, 0), ControlSet(2, 0, 2)})
    EXPECT_TRUE(Contains(r.trace, call)) << call;
  const json after = json::parse(RunCli({"--json", "get"}).out);
  EXPECT_EQ(after["brightness"]["value"], 5);
  EXPECT_EQ(after["gamma"]["value"], 110);
  EXPECT_EQ(after["auto-exposure"]["value"], true);
  EXPECT_EQ(after["auto-white-balance"]["value"], true);
  EXPECT_EQ(after["rotate"]["value"], false);

  // Only the named steps; a failing one does not stop the others.
  LoadScenario("[camera]\n[faults]\nSonixCam_PropertySet.1 = always\n");
  r = RunCli({"reset", "gamma", "contrast", "brightness"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "brightness  0    done\ncontrast    32   failed: the camera refused it\ngamma       100  done\n");
  EXPECT_EQ(r.err, "vorn_ctl: 1 of 3 steps failed\n");
  EXPECT_EQ(Count(r.trace, "SonixCam_PropertySet(8,"), 0u);

  r = RunCli({"reset", "gain-red"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err.rfind("vorn_ctl: 'gain-red' has no camera default; reset takes brightness,", 0), 0u) << r.err;
}

TEST_F(CliTest, TheLibrarysLinesStayOffStandardOutput) {
  const RunResult r = RunCli({"set", "auto-exposure=off"});
  ASSERT_EQ(r.code, 0);
  EXPECT_NE(r.log.find("open camera successfully!"), std::string::npos) << r.log;
  EXPECT_NE(r.log.find("Successfully set AEC Mode OFF"), std::string::npos) << r.log;
  EXPECT_EQ(r.out, "auto-exposure = off\n");
}

TEST_F(CliTest, HelpVersionAndUsage) {
  RunResult r = RunCli({"--help"});
  EXPECT_EQ(r.code, 0);
  for (const char* command : {"list", "info", "get", "set", "reset", "save", "apply", "snapshot", "burn"})
    EXPECT_NE(r.out.find(std::string("\n  ") + command), std::string::npos) << command;
  for (const char* name : {"aec-target", "gain-blue", "auto-white-balance", "illumination"})
    EXPECT_NE(r.out.find(name), std::string::npos) << name;

  r = RunCli({"burn", "--help"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.rfind("Usage: vorn_ctl [--device N] [--json] [--verbose] burn FILE.src [--verify]\n", 0), 0u);
  EXPECT_TRUE(r.trace.empty());

  r = RunCli({"--version"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.rfind("vorn_ctl ", 0), 0u);

  r = RunCli({"frobnicate"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("vorn_ctl: unknown command 'frobnicate'\n\nUsage: vorn_ctl", 0), 0u) << r.err;
}

}  // namespace
}  // namespace vorn::cli::test
