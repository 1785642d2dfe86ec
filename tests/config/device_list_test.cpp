// The device list over the simulated cameras: the start-up slot rules, paths
// that follow a camera when others come and go, and the burn's restart when
// the camera was unplugged after its burn.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/device_list.h"
#include "firmware/restart_sequence.h"
#include "uvc_fixture.h"

namespace vorn::test {
namespace {

const char kThree[] =
    "[camera]\nproduct = Front\n"
    "[camera]\nproduct = Back\nselectable = false\n"
    "[camera]\nproduct = Side\nvid_pid = 0a 0b 0c 0d\n";

class DeviceListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SonixSim_LoadScenarioText(kThree), 0) << simLastError();
        ASSERT_EQ(vorn_uvc_init(), 0);
    }
    void TearDown() override { SonixSim_ResetDefault(); }
    DeviceRecord records_[VORN_UVC_MAX_DEVICES] = {};
};

TEST_F(DeviceListTest, SlotsAreUsableWhenTheySelectAndAnswerAndPathsFollowTheirCamera) {
    const devices::Slots slots = devices::ListAndCheck(records_);
    EXPECT_EQ(slots.count, 3);
    EXPECT_EQ(slots.usable, 2);
    EXPECT_EQ(slots.first, 0);
    EXPECT_TRUE(slots.valid[0]);
    EXPECT_FALSE(slots.valid[1]);
    EXPECT_TRUE(slots.valid[2]);
    const std::string side = records_[2].devicePath;

    // Front goes: Side moves up a place under the same path.
    ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0);
    DeviceRecord now[VORN_UVC_MAX_DEVICES] = {};
    ASSERT_EQ(devices::ListOnly(now), 2);
    EXPECT_EQ(devices::FindPath(now, 2, side.c_str()), 1);
    EXPECT_EQ(devices::FindPath(now, 2, records_[0].devicePath), -1);
    EXPECT_FALSE(devices::IsListed(records_[0].devicePath));
    EXPECT_TRUE(devices::IsListed(side));

    const devices::Slots after = devices::ListAndCheck(now);
    EXPECT_EQ(after.usable, 1);
    EXPECT_EQ(after.first, 1);
}

TEST_F(DeviceListTest, PathsCompareWithoutCase) {
    struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"\\\\?\\USB#VID_564F&PID_524E", "\\\\?\\usb#vid_564f&pid_524e", true},
        {"\\\\?\\usb#vid_564f", "\\\\?\\usb#vid_564f&pid_524e", false},
        {"\\\\?\\usb#vid_564f&pid_524e", "\\\\?\\usb#vid_564f", false},
        {"", "", true},
        {nullptr, "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(devices::SamePath(c.a, c.b), c.same) << (c.a ? c.a : "null") << " / " << c.b;
}

// The restart after a burn, with the camera there or gone.
TEST_F(DeviceListTest, RestartPassesOverACameraUnpluggedAfterItsBurnOnly) {
    struct Case {
        const char* name;
        bool unplug;
        bool askWhetherGone;
        const char* faults;
        std::vector<std::string> failures;
    } cases[] = {
        {"camera there", false, true, "", {}},
        {"camera unplugged", true, true, "", {}},
        {"unplugged, caller doesn't ask", true, false, "", {"Can't restart camera device!"}},
        {"camera there, restart refused", false, true, "SonixCam_RestartDevice = always",
         {"Can't restart camera device!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        arrangeCamera("product = Front", c.faults, Session::Selected);
        if (HasFatalFailure()) return;
        DeviceRecord list[VORN_UVC_MAX_DEVICES] = {};
        ASSERT_EQ(devices::ListOnly(list), 1);
        const std::string path = list[0].devicePath;
        if (c.unplug) {
            ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0);
        }
        SonixSim_ClearTrace();

        std::vector<std::string> failures;
        int pauses = 0;
        std::function<bool()> gone;
        if (c.askWhetherGone) gone = [&] { return !devices::IsListed(path); };
        const bool ok = firmware::RunRestartSequence([&](const char* f) { failures.emplace_back(f); },
                                                     [&](std::chrono::milliseconds) { ++pauses; }, gone);
        EXPECT_EQ(failures, c.failures);
        EXPECT_EQ(ok, c.failures.empty());
        EXPECT_EQ(pauses, 2);
        // The library is brought back whatever became of the camera.
        const Lines trace = simTrace();
        ASSERT_GE(trace.size(), 3u);
        EXPECT_EQ(trace[trace.size() - 2], "SonixCam_UnInit() = 0");
        EXPECT_EQ(trace.back(), "SonixCam_Init(0) = 0");
    }
}

}  // namespace
}  // namespace vorn::test
