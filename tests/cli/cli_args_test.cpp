// The command line parser and the strict value readings, without a camera.
#include <gtest/gtest.h>

#include "cli/args.h"
#include "cli/frame_image.h"
#include "cli/output.h"
#include "cli/values.h"

namespace vorn::cli {
namespace {

using Args = std::vector<std::string>;

struct Accepted {
  Args args;
  std::string command;
  int device;
  bool json, verbose;
  Args operands;
};

TEST(CommandLine, AcceptsGlobalOptionsAroundTheCommand) {
  const Accepted cases[] = {
      {{"list"}, "list", 1, false, false, {}},
      {{"--device", "2", "get", "brightness"}, "get", 2, false, false, {"brightness"}},
      {{"get", "--device=3", "--json", "gamma", "contrast"}, "get", 3, true, false, {"gamma", "contrast"}},
      {{"--verbose", "set", "brightness=-5", "exposure=-13"}, "set", 1, false, true, {"brightness=-5", "exposure=-13"}},
      // After "--" everything is an operand, also what looks like an option.
      {{"snapshot", "--", "--odd.jpg"}, "snapshot", 1, false, false, {"--odd.jpg"}},
      // A negative number is an operand, not an option.
      {{"get", "-5"}, "get", 1, false, false, {"-5"}},
  };
  for (const Accepted& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const ParseResult r = ParseCommandLine(c.args);
    ASSERT_TRUE(r.invocation) << r.error;
    EXPECT_EQ(r.invocation->command, c.command);
    EXPECT_EQ(r.invocation->device, c.device);
    EXPECT_EQ(r.invocation->json, c.json);
    EXPECT_EQ(r.invocation->verbose, c.verbose);
    EXPECT_EQ(r.invocation->operands, c.operands);
  }
}

TEST(CommandLine, CommandOptionsBelongToTheirCommand) {
  ParseResult r = ParseCommandLine({"snapshot", "a.png", "--resolution", "640x480"});
  ASSERT_TRUE(r.invocation) << r.error;
  EXPECT_EQ(r.invocation->resolution, "640x480");
  r = ParseCommandLine({"burn", "--verify", "fw.src"});
  ASSERT_TRUE(r.invocation) << r.error;
  EXPECT_TRUE(r.invocation->verify);
  r = ParseCommandLine({"save", "a.csv", "--force"});
  ASSERT_TRUE(r.invocation) << r.error;
  EXPECT_TRUE(r.invocation->force);
}

TEST(CommandLine, HelpAndVersionNeedNoCommand) {
  ParseResult r = ParseCommandLine({"--help"});
  ASSERT_TRUE(r.invocation);
  EXPECT_TRUE(r.invocation->help);
  EXPECT_TRUE(r.invocation->command.empty());
  r = ParseCommandLine({"burn", "--help"});
  ASSERT_TRUE(r.invocation);
  EXPECT_TRUE(r.invocation->help);
  EXPECT_EQ(r.invocation->command, "burn");
  r = ParseCommandLine({"--version"});
  ASSERT_TRUE(r.invocation);
  EXPECT_TRUE(r.invocation->version);
}

TEST(CommandLine, RefusesWithAReason) {
  const std::pair<Args, std::string> cases[] = {
      {{}, "no command given"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{"--colour", "list"}, "unknown option '--colour'"},
      {{"--device"}, "--device needs a camera number"},
      {{"--device", "0", "list"}, "--device needs a camera number from 1 to 64, not '0'"},
      {{"--device", "two", "list"}, "--device needs a camera number from 1 to 64, not 'two'"},
      {{"--device=1.5", "list"}, "--device needs a camera number from 1 to 64, not '1.5'"},
      {{"--json=yes", "list"}, "--json takes no value"},
      {{"list", "extra"}, "'list' takes no arguments, not 1"},
      {{"set"}, "'set' needs at least one argument"},
      {{"save"}, "'save' needs one argument"},
      {{"apply", "a.csv", "b.csv"}, "'apply' takes one argument, not 2"},
      {{"get", "--verify"}, "--verify is not an option of 'get'"},
      {{"--resolution", "640x480", "snapshot", "a.jpg"},
       "--resolution is not an option of vorn_ctl; it belongs after its command"},
      {{"snapshot", "a.jpg", "--resolution"}, "--resolution needs WIDTHxHEIGHT"},
      {{"snapshot", "a.jpg", "--resolution", "640"}, "--resolution needs WIDTHxHEIGHT, not '640'"},
  };
  for (const auto& [args, error] : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    const ParseResult r = ParseCommandLine(args);
    EXPECT_FALSE(r.invocation);
    EXPECT_EQ(r.error, error);
  }
}

TEST(Values, WholeNumbersOnly) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"0", 0},           {"-13", -13},        {"+7", 7},          {"2147483647", 2147483647},
      {"", std::nullopt}, {"-", std::nullopt}, {"+", std::nullopt}, {"+-5", std::nullopt},
      {"12abc", std::nullopt}, {" 5", std::nullopt}, {"5 ", std::nullopt}, {"1.5", std::nullopt},
      {"2147483648", std::nullopt}, {"0x10", std::nullopt},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseInt(text), value) << "'" << text << "'";
}

TEST(Values, SwitchWords) {
  for (const char* on : {"on", "ON", "true", "True", "1"}) EXPECT_EQ(ParseSwitch(on), true) << on;
  for (const char* off : {"off", "Off", "false", "FALSE", "0"}) EXPECT_EQ(ParseSwitch(off), false) << off;
  for (const char* bad : {"", "yes", "2", "onn", "o"}) EXPECT_EQ(ParseSwitch(bad), std::nullopt) << bad;
}

TEST(Values, Resolutions) {
  EXPECT_EQ(ParseResolution("1280x720"), (Resolution{1280, 720}));
  EXPECT_EQ(ParseResolution("320X240"), (Resolution{320, 240}));
  EXPECT_EQ(ParseResolution("800*600"), (Resolution{800, 600}));
  for (const char* bad : {"", "x", "1280x", "x720", "0x480", "-640x480", "640x-480", "640x480x2", "+640x480"})
    EXPECT_EQ(ParseResolution(bad), std::nullopt) << bad;
}

TEST(SnapshotFiles, FormatFromTheName) {
  EXPECT_EQ(FormatOfName("a.jpg"), ImageFormat::Jpg);
  EXPECT_EQ(FormatOfName("dir.x/A.JPEG"), ImageFormat::Jpg);
  EXPECT_EQ(FormatOfName("shot.Png"), ImageFormat::Png);
  EXPECT_EQ(FormatOfName("c:\\pics\\s.bmp"), ImageFormat::Bmp);
  for (const char* bad : {"a", "a.gif", "a.png.txt", "dir.png/file", "dir.png\\file", ".jp"})
    EXPECT_EQ(FormatOfName(bad), std::nullopt) << bad;
}

std::vector<std::uint8_t> Jpeg(int width, int height) {
  // Start, one application segment, a baseline frame header, the end.
  return {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC0, 0x00, 0x0B, 0x08,
          static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height),
          static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width), 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
}

TEST(SnapshotFiles, OnlyAWholeJpegHasASize) {
  std::vector<std::uint8_t> whole = Jpeg(1280, 720);
  EXPECT_EQ(WholeJpegSize(whole.data(), whole.size()), (Resolution{1280, 720}));

  std::vector<std::uint8_t> truncated(whole.begin(), whole.end() - 1);
  EXPECT_EQ(WholeJpegSize(truncated.data(), truncated.size()), std::nullopt);
  EXPECT_EQ(WholeJpegSize(nullptr, 0), std::nullopt);
  std::vector<std::uint8_t> noStart = whole;
  noStart[1] = 0xD9;
  EXPECT_EQ(WholeJpegSize(noStart.data(), noStart.size()), std::nullopt);
  // A segment length running past the end is no frame header.
  std::vector<std::uint8_t> longSegment = whole;
  longSegment[5] = 0x7F;
  EXPECT_EQ(WholeJpegSize(longSegment.data(), longSegment.size()), std::nullopt);
  // A frame header cut short.
  std::vector<std::uint8_t> shortHeader = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x04, 0x08, 0x00, 0xFF, 0xD9};
  EXPECT_EQ(WholeJpegSize(shortHeader.data(), shortHeader.size()), std::nullopt);
}

TEST(Output, TableAlignsColumnsWithoutTrailingBlanks) {
  EXPECT_EQ(Table({{"#", "product", "x"}, {"10", "cam", ""}}), "#   product  x\n10  cam\n");
  EXPECT_EQ(Table({}), "");
}

}  // namespace
}  // namespace vorn::cli
