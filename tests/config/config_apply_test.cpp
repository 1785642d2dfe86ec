// The rows of a configuration load against a target that records what it
// was told, over the simulated camera: which rows call the library, which
// are skipped or accepted without a call, and the status line of each.
#include <gtest/gtest.h>

#include "config/config_apply.h"
#include "sim_trace.h"
#include "sonix_sim.h"

namespace vorn::config {
namespace {

class RecordingTarget : public ConfigTarget {
public:
  std::optional<int> last;
  std::optional<bool> aec;
  bool rotate = true, illumination = true;
  std::vector<std::string> told;

  std::optional<int> LastApplied(int) override { return last; }
  void IntApplied(int number, int value) override { Tell("int " + std::to_string(number) + "=" + std::to_string(value)); }
  std::optional<bool> AecOn() override { return aec; }
  void AecSwitched(bool on) override { Tell(on ? "aec on" : "aec off"); }
  void AwbSwitched(bool on) override { Tell(on ? "awb on" : "awb off"); }
  bool RotateSupported() override { return rotate; }
  void RotateSwitched(bool on) override { Tell(on ? "rotate on" : "rotate off"); }
  bool IlluminationAvailable() override { return illumination; }
  void IlluminationSwitched(bool on) override { Tell(on ? "lamp on" : "lamp off"); }
  void Status(const std::string& line) override { Tell("status " + line); }

private:
  void Tell(const std::string& s) { told.push_back(s); }
};

struct Case {
  const char* name;
  ConfigRow row;
  std::function<void(RecordingTarget&)> arrange;
  RowResult result;
  std::vector<std::string> told;
  size_t vendorSets;  // PropertySet and ControlSet calls made
};

ConfigRow Row(const char* name, const char* value, const char* type) { return ParseConfigRow(name, value, type); }

class ConfigApplyTest : public ::testing::TestWithParam<Case> {
protected:
  void SetUp() override {
    ASSERT_EQ(SonixSim_ResetDefault(), 0);
    ASSERT_EQ(SonixCam_Init(0), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    SonixSim_ClearTrace();
  }
  void TearDown() override { SonixSim_ResetDefault(); }
};

TEST_P(ConfigApplyTest, RowRules) {
  const Case& c = GetParam();
  RecordingTarget target;
  if (c.arrange) c.arrange(target);
  vorn::test::LogCapture quiet;
  EXPECT_EQ(ApplyConfigRow(target, c.row), c.result);
  quiet.stop();
  EXPECT_EQ(target.told, c.told);
  size_t sets = 0;
  for (const std::string& line : vorn::test::simTrace())
    sets += line.rfind("SonixCam_PropertySet", 0) == 0 || line.rfind("SonixCam_ControlSet", 0) == 0;
  EXPECT_EQ(sets, c.vendorSets);
}

INSTANTIATE_TEST_SUITE_P(Load, ConfigApplyTest, ::testing::Values(
    Case{"IntSent", Row("brightness", "12.7", "Int"), nullptr, RowResult::Applied,
         {"status Set Brightness to 12 successfully\r\n", "int 0=12"}, 1},
    Case{"IntEqualToLastIsSkipped", Row("GAMMA", "150", "int"), [](RecordingTarget& t) { t.last = 150; },
         RowResult::Unchanged, {"status Skip setting Gamma\r\n"}, 0},
    Case{"IntRefused", Row("COLOR_GAIN_RED", "600", "int"), nullptr, RowResult::Failed,
         {"status Failed to set Color Gain Red to 600\r\n"}, 0},
    Case{"AutoExposureRowWithIntSetsTheExposure", Row("AUTO_EXPOSURE", "-6", "int"), nullptr, RowResult::Applied,
         {"status Set Manual Exposure to -6 successfully\r\n", "int 104=-6"}, 1},
    Case{"ExposureModeAlreadySo", Row("MANUAL_EXPOSURE", "TRUE", "bool"), [](RecordingTarget& t) { t.aec = true; },
         RowResult::Unchanged, {}, 0},
    Case{"ExposureModeUnknownIsSent", Row("AUTO_EXPOSURE", "true", "bool"), nullptr, RowResult::Applied, {"aec on"},
         1},
    Case{"WhiteBalanceSentEvenWhenOn", Row("AUTO_WHITE_BALANCE", "TRUE", "BOOL"), nullptr, RowResult::Applied,
         {"awb on"}, 1},
    Case{"RotationWithoutSupportIgnored", Row("ROTATE_180", "TRUE", "bool"),
         [](RecordingTarget& t) { t.rotate = false; }, RowResult::Ignored, {}, 0},
    Case{"RotationSent", Row("ROTATE_180", "yes", "bool"), nullptr, RowResult::Applied, {"rotate off"}, 1},
    Case{"IlluminationUnavailableIgnored", Row("ILLUMINATE", "TRUE", "bool"),
         [](RecordingTarget& t) { t.illumination = false; }, RowResult::Ignored, {}, 0},
    Case{"IlluminationSent", Row("ILLUMINATE", "True", "bool"), nullptr, RowResult::Applied, {"lamp on"}, 1},
    Case{"OtherTypeIgnored", Row("CONTRAST", "40", "float"), nullptr, RowResult::Ignored, {}, 0},
    Case{"BoolOnAnIntPropertyIgnored", Row("CONTRAST", "TRUE", "bool"), nullptr, RowResult::Ignored, {}, 0},
    Case{"UnknownNameFails", Row("hue", "1", "int"), nullptr, RowResult::Failed,
         {"status Cannot find property HUE\r\n"}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorn::config
