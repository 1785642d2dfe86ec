// Live video through the simulated library's exports, as the camera library
// drives it: open with a frame function, choose the resolution, start, and
// the frames follow the camera's settings and the scenario's faults.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim_video_decode.h"
#include "sonix_sim.h"

using videotest::Decode;
using videotest::MeanLuma;
using namespace std::chrono_literals;

namespace {

std::mutex g_mutex;
std::vector<std::vector<uint8_t>> g_frames;
std::atomic<int> g_count{0};

int VORN_STDCALL Keep(const uint8_t* data, int length) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (g_frames.size() < 200) g_frames.emplace_back(data, data + length);
    }
    ++g_count;
    return 0;
}

bool WaitForCount(int n) {
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (g_count < n) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

std::vector<uint8_t> LastFrame() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_frames.empty() ? std::vector<uint8_t>{} : g_frames.back();
}

class VideoThroughExports : public ::testing::Test {
protected:
    void Start(const std::string& scenario, int resolution) {
        ASSERT_EQ(SonixSim_LoadScenarioText(scenario.c_str()), 0);
        ASSERT_EQ(SonixCam_Init(0), 0);
        ASSERT_EQ(SonixCam_SelectDevice(0), 0);
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            g_frames.clear();
        }
        g_count = 0;
        ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, Keep), 0);
        ASSERT_EQ(SonixCam_SetVideoFormat(0, resolution), 0);
        ASSERT_EQ(SonixCam_StartPreview(), 0);
    }
    void TearDown() override {
        SonixCam_StopPreview();
        SonixCam_CloseCamera();
        SonixCam_UnInit();
        SonixSim_ResetDefault();
    }
};

}  // namespace

TEST_F(VideoThroughExports, FramesHaveTheChosenResolution) {
    const struct {
        int index, width, height;
    } cases[] = {{0, 1280, 800}, {1, 1280, 720}, {4, 320, 240}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        Start("[sim]\nfps = 120\n[camera]\n", c.index);
        ASSERT_TRUE(WaitForCount(2));
        ASSERT_EQ(SonixCam_StopPreview(), 0);
        const auto pic = Decode(LastFrame());
        ASSERT_TRUE(pic.ok);
        EXPECT_EQ(pic.width, c.width);
        EXPECT_EQ(pic.height, c.height);
        SonixCam_CloseCamera();
        SonixCam_UnInit();
    }
}

TEST_F(VideoThroughExports, PictureFollowsSettingsWhileRunning) {
    Start("[sim]\nfps = 120\n[camera]\n", 4);
    ASSERT_TRUE(WaitForCount(2));
    const double before = MeanLuma(Decode(LastFrame()));
    ASSERT_EQ(SonixCam_PropertySet(0, 60, 2), 0);  // brightness near its top
    const int seen = g_count;
    ASSERT_TRUE(WaitForCount(seen + 3));
    EXPECT_GT(MeanLuma(Decode(LastFrame())), before + 20);
}

TEST_F(VideoThroughExports, ScenarioFaultsReachTheFrameFunction) {
    // Frames 2 and 3 are lost, 4 comes cut short, 5 empty.
    Start("[sim]\nfps = 120\n[camera]\n[faults]\nframe.drop = 2,3\nframe.truncate = 4\nframe.empty = 5\n", 4);
    ASSERT_TRUE(WaitForCount(5));
    ASSERT_EQ(SonixCam_StopPreview(), 0);
    std::lock_guard<std::mutex> lock(g_mutex);
    ASSERT_GE(g_frames.size(), 4u);
    EXPECT_TRUE(Decode(g_frames[0]).ok);
    EXPECT_LT(g_frames[1].size(), g_frames[0].size() * 3 / 4) << "the truncated frame";
    EXPECT_TRUE(g_frames[2].empty()) << "the empty frame";
    const auto healthy = Decode(g_frames[3]);
    EXPECT_TRUE(healthy.ok);
    EXPECT_EQ(healthy.warnings, 0);
}
