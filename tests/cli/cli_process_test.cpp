// The real vorn_ctl program, started as a script starts it, against the
// simulated camera library beside it: exit codes, and what reaches each of
// its two streams.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>

#include "log_capture.h"
#include "picture_decode.h"
#include "process.h"
#include "temp_dir.h"

namespace vorn::cli::test {
namespace {

using nlohmann::json;

class ProgramTest : public ::testing::Test {
protected:
  void SetUp() override { Scenario(""); }
  void TearDown() override { SetEnvironment("SONIXCAM_SIM", ""); }

  // The camera of every program started afterwards, with its trace in a file.
  void Scenario(const std::string& camera) {
    trace_ = dir_.path() / "trace.txt";
    const std::string text = "[sim]\ntrace = " + vorn::files::PathToUtf8(trace_) + "\n[camera]\n" + camera + "\n";
    ASSERT_TRUE(WriteBytes(dir_.path() / "scenario.ini", text));
    SetEnvironment("SONIXCAM_SIM", vorn::files::PathToUtf8(dir_.path() / "scenario.ini"));
  }

  ProcessResult Start(const std::vector<std::string>& args) {
    std::error_code ignored;
    std::filesystem::remove(trace_, ignored);
    ProcessResult r;
    r.code = Spawn(args, dir_.path() / "out.txt", dir_.path() / "err.txt", 120000);
    r.out = Text(dir_.path() / "out.txt");
    r.err = Text(dir_.path() / "err.txt");
    return r;
  }

  static std::string Text(const std::filesystem::path& p) {
    std::string text = ReadBytes(p), lf;
    for (size_t i = 0; i < text.size(); ++i)
      if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf.push_back(text[i]);
    return lf;
  }
  std::vector<std::string> TraceLines() const { return vorn::test::splitLines(ReadBytes(trace_)); }
  std::string Path(const std::string& name) const { return dir_.utf8(name); }

  TempDir dir_;
  std::filesystem::path trace_;
};

TEST_F(ProgramTest, ListAndGetWithTheLibrarysLinesKeptAway) {
  ProcessResult r = Start({"list"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("1  Vorn UC-20 Camera  Vorn-Corvanith-211015K-1.3  564f524e\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "");

  r = Start({"--json", "get", "brightness", "rotate"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(json::parse(r.out), json::parse(R"({"brightness":{"value":0,"min":-64,"max":64},"rotate":{"value":false}})"));
  EXPECT_EQ(r.err, "");

  // With --verbose the library's lines go to standard error, never to the output.
  r = Start({"--verbose", "--json", "get", "brightness"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("open camera successfully!"), std::string::npos) << r.err;
  EXPECT_EQ(json::parse(r.out)["brightness"]["value"], 0);
}

TEST_F(ProgramTest, SetReachesTheCamera) {
  const ProcessResult r = Start({"set", "brightness=20", "auto-exposure=off", "exposure=-4"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "brightness = 20\nauto-exposure = off\nexposure = -4\n");
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> trace = TraceLines();
  EXPECT_NE(std::find(trace.begin(), trace.end(), "SonixCam_PropertySet(0, 20, 0) = 0"), trace.end());
  EXPECT_NE(std::find(trace.begin(), trace.end(), "SonixCam_ControlSet(4, -4, 2) = 0"), trace.end());

  const ProcessResult bad = Start({"set", "brightness=999"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "vorn_ctl: brightness: 999 is out of range -64..64\n");
}

TEST_F(ProgramTest, PngSnapshotAtTheChosenSize) {
  const ProcessResult r = Start({"snapshot", Path("shot.png"), "--resolution", "640x480"});
  ASSERT_EQ(r.code, 0) << r.err;
  const Decoded d = Decode(ReadBytes(dir_.path() / "shot.png"));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.width, 640);
  EXPECT_EQ(d.height, 480);

  const ProcessResult again = Start({"snapshot", Path("shot.png")});
  EXPECT_EQ(again.code, 2);
  EXPECT_EQ(again.err, "vorn_ctl: '" + Path("shot.png") + "' exists; not replaced\n");
}

TEST_F(ProgramTest, BurnWritesTheImageAndRestarts) {
  std::string image(32768, '\0');
  image.replace(0, 4, "SN9C");
  image.replace(0x40, 30, std::string("VVERVorn-Corvanith-221111K-3.1") );
  ASSERT_TRUE(WriteBytes(dir_.path() / "fw.src", image));
  const ProcessResult r = Start({"burn", Path("fw.src")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "firmware before: Vorn-Corvanith-211015K-1.3\nfirmware after:  Vorn-Corvanith-221111K-3.1\n");
  EXPECT_NE(r.err.find("Burning: 100%\nFirmware Update Complete!\n"), std::string::npos) << r.err;
  const std::vector<std::string> trace = TraceLines();
  EXPECT_NE(std::find(trace.begin(), trace.end(), "SonixCam_RestartDevice() = 0"), trace.end());
}

TEST_F(ProgramTest, RememberKeepsEachCamerasFileUnderAppData) {
  const char* before = std::getenv("APPDATA");
  const std::string saved = before ? before : "";
  SetEnvironment("APPDATA", Path("appdata"));
  const std::filesystem::path file = dir_.path() / "appdata" / "Vorn Controls" / "cameras" / "564f524e.csv";
  const std::string fileText = vorn::files::PathToUtf8(file);

  // Every run starts from a camera at its power-up values.
  ProcessResult r = Start({"remember", "save"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "remembered 10 rows for camera 564f524e in " + fileText + "\n");
  EXPECT_EQ(ReadBytes(file).rfind("PropName,Value,DataType\r\nBRIGHTNESS,0,int\r\n", 0), 0u);

  r = Start({"--json", "remember", "show"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(json::parse(r.out)["file"], fileText);
  ASSERT_TRUE(WriteBytes(file, "PropName,Value,DataType\r\nBRIGHTNESS,12,int\r\n"));
  r = Start({"remember", "apply"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Set Brightness to 12 successfully"), std::string::npos) << r.out;
  r = Start({"remember", "forget"});
  EXPECT_EQ(r.code, 0);
  EXPECT_FALSE(std::filesystem::exists(file));
  SetEnvironment("APPDATA", saved);
}

TEST_F(ProgramTest, AWrongCommandGivesTheUsage) {
  const ProcessResult r = Start({"shoot"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("vorn_ctl: unknown command 'shoot'\n\nUsage: vorn_ctl [--device N]", 0), 0u) << r.err;
  EXPECT_FALSE(std::filesystem::exists(trace_)) << "the camera library was started";
}

}  // namespace
}  // namespace vorn::cli::test
