// snapshot: one whole picture at the chosen size, in each format.
#include <nlohmann/json.hpp>

#include "cli_test_support.h"
#include "picture_decode.h"

namespace vorn::cli::test {
namespace {

using nlohmann::json;

TEST_F(CliTest, EachFormatDecodesAtTheChosenSize) {
  struct Case {
    const char* file;
    const char* resolution;  // null: the camera's first
    int width, height;
    const char* format;
    const char* magic;
  };
  const Case cases[] = {
      {"a.jpg", nullptr, 1280, 800, "jpg", "\xFF\xD8\xFF"},
      {"b.JPEG", "640x480", 640, 480, "jpg", "\xFF\xD8\xFF"},
      {"c.png", "320x240", 320, 240, "png", "\x89PNG"},
      {"d.bmp", "800x600", 800, 600, "bmp", "BM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<std::string> args = {"--json", "snapshot", dir_.utf8(c.file)};
    if (c.resolution) args.insert(args.end(), {"--resolution", c.resolution});
    const RunResult r = RunCli(args);
    ASSERT_EQ(r.code, 0) << r.err;
    const json doc = json::parse(r.out);
    EXPECT_EQ(doc["format"], c.format);
    EXPECT_EQ(doc["width"], c.width);
    EXPECT_EQ(doc["height"], c.height);
    const std::string bytes = ReadBytes(dir_.path() / c.file);
    EXPECT_EQ(doc["bytes"], bytes.size());
    EXPECT_EQ(bytes.rfind(c.magic, 0), 0u);
    const Decoded d = Decode(bytes);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, c.width);
    EXPECT_EQ(d.height, c.height);
    EXPECT_GT(d.spread, 20) << "a flat picture";
    // One start, and the camera stopped and closed afterwards.
    EXPECT_EQ(Count(r.trace, "SonixCam_StartPreview"), 1u);
    EXPECT_TRUE(Contains(r.trace, "SonixCam_StopPreview() = 0"));
    EXPECT_TRUE(Contains(r.trace, "SonixCam_CloseCamera() = 0"));
  }
}

TEST_F(CliTest, DamagedFramesAreSkippedForAWholeOne) {
  LoadScenario("[sim]\nfps = 60\n[camera]\n[faults]\nframe.truncate = 1,2,3\nframe.empty = 4,5\n");
  const RunResult r = RunCli({"snapshot", dir_.utf8("s.jpg")});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string bytes = ReadBytes(dir_.path() / "s.jpg");
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9");
  EXPECT_TRUE(Decode(bytes).ok);
}

TEST_F(CliTest, ACameraWithoutWholeFramesFailsInBoundedTime) {
  LoadScenario("[sim]\nfps = 60\n[camera]\n[faults]\nframe.truncate = always\n");
  const RunResult r = RunCli({"snapshot", dir_.utf8("s.png")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "vorn_ctl: no whole 1280x800 picture from the camera within 10 seconds\n");
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "s.png"));
  EXPECT_TRUE(Contains(r.trace, "SonixCam_StopPreview() = 0"));
}

TEST_F(CliTest, SnapshotRefusals) {
  ASSERT_TRUE(WriteBytes(dir_.path() / "old.jpg", "keep me"));
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"snapshot", dir_.utf8("old.jpg")}, "'" + dir_.utf8("old.jpg") + "' exists; not replaced"},
      {{"snapshot", dir_.utf8("x.gif")}, "'" + dir_.utf8("x.gif") + "': the name must end in .jpg, .png or .bmp"},
      {{"snapshot", dir_.utf8("x.jpg"), "--resolution", "1024x768"},
       "the camera has no resolution 1024x768; it has 1280x800 1280x720 800x600 640x480 320x240"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    const RunResult r = RunCli(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "vorn_ctl: " + message + "\n");
    EXPECT_EQ(Count(r.trace, "SonixCam_StartPreview"), 0u);
  }
  EXPECT_EQ(ReadBytes(dir_.path() / "old.jpg"), "keep me");
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "x.jpg"));
}

}  // namespace
}  // namespace vorn::cli::test
