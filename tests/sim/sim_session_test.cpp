// The simulated camera through its exports: session rules, identity,
// resolutions, faults and the trace.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "sim_test_util.h"

using namespace simtest;

namespace {

const char* const kTwoCameras =
    "[camera]\nproduct = Front\n"
    "[camera]\nproduct = Back\nselectable = false\n"
    "[camera]\nproduct = Side\nproduct_query = false\nvid_pid = 0a 0b 0c 0d\n";

struct Call {
    const char* name;
    std::function<int()> run;
};

std::vector<Call> DeviceCalls() {
    static bool flag;
    static int i1, i2, i3, i4, i5;
    static char text[64];
    static uint8_t bytes[8];
    static ResolutionInfo info;
    static DeviceRecord records[5];
    static std::vector<uint8_t> image(4096, 0x53);
    return {
        {"EnumDevice", [] { return SonixCam_EnumDevice(records, &i1, 5); }},
        {"SelectDevice", [] { return SonixCam_SelectDevice(0); }},
        {"RestartDevice", [] { return SonixCam_RestartDevice(); }},
        {"OpenCamera", [] { return SonixCam_OpenCamera(nullptr, 0, nullptr); }},
        {"IsOpenCamera", [] { return SonixCam_IsOpenCamera(&flag); }},
        {"CloseCamera", [] { return SonixCam_CloseCamera(); }},
        {"IsPreviewing", [] { return SonixCam_IsPreviewing(&flag); }},
        {"StartPreview", [] { return SonixCam_StartPreview(); }},
        {"PausePreview", [] { return SonixCam_PausePreview(); }},
        {"StopPreview", [] { return SonixCam_StopPreview(); }},
        {"GetFwVersion", [] { return SonixCam_GetFwVersion(text, 64, 1); }},
        {"GetProduct", [] { return SonixCam_GetProduct(text, 64); }},
        {"GetInterface", [] { return SonixCam_GetInterface(text, 64); }},
        {"GetVidPid", [] { return SonixCam_GetVidPid(bytes, 8); }},
        {"GetPreviewResolutionCount", [] { return SonixCam_GetPreviewResolutionCount(&i1); }},
        {"GetPreviewResolutionInfo", [] { return SonixCam_GetPreviewResolutionInfo(0, &info); }},
        {"GetCurrentPreviewResolutionInfo", [] { return SonixCam_GetCurrentPreviewResolutionInfo(&info); }},
        {"SetVideoFormat", [] { return SonixCam_SetVideoFormat(0, 0); }},
        {"PropertyGet", [] { return SonixCam_PropertyGet(0, &i1, &i2); }},
        {"PropertySet", [] { return SonixCam_PropertySet(0, 1, 0); }},
        {"PropertyGetRange", [] { return SonixCam_PropertyGetRange(0, &i1, &i2, &i3, &i4, &i5); }},
        {"ControlGet", [] { return SonixCam_ControlGet(4, &i1, &i2); }},
        {"ControlSet", [] { return SonixCam_ControlSet(4, -5, 2); }},
        {"AsicRegisterRead", [] { return SonixCam_AsicRegisterRead(0x0F7D, bytes, 1); }},
        {"AsicRegisterWrite", [] { return SonixCam_AsicRegisterWrite(0x0F7D, bytes, 1); }},
        {"GetSerialFlashType", [] { return SonixCam_GetSerialFlashType(&i1, 1); }},
        {"BurnerFW", [] { return SonixCam_BurnerFW(image.data(), 4096, nullptr, nullptr, 1, 0); }},
        {"UnInit", [] { return SonixCam_UnInit(); }},
    };
}

}  // namespace

TEST_F(SimTest, EveryCallFailsBeforeInitAndAfterUnInit) {
    for (int phase = 0; phase < 2; ++phase) {
        ASSERT_EQ(SonixSim_ResetDefault(), 0);
        if (phase == 1) {
            ASSERT_EQ(SonixCam_Init(0), 0);
            ASSERT_EQ(SonixCam_SelectDevice(0), 0);
            ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
            ASSERT_EQ(SonixCam_UnInit(), 0);
        }
        for (const auto& c : DeviceCalls()) EXPECT_NE(c.run(), 0) << c.name << (phase ? " after UnInit" : " before Init");
    }
}

TEST_F(SimTest, SessionStatesBehaveLikeADevice) {
    Arrange("[camera]\n");
    bool flag = true;
    struct Step {
        const char* what;
        std::function<int()> call;
        int expectZero;  // 1: must succeed, 0: must fail
    } steps[] = {
        {"close before open", [] { return SonixCam_CloseCamera(); }, 0},
        {"preview before open", [] { return SonixCam_StartPreview(); }, 0},
        {"open", [] { return SonixCam_OpenCamera(nullptr, 7, nullptr); }, 1},
        {"open twice", [] { return SonixCam_OpenCamera(nullptr, 0, nullptr); }, 0},
        {"pause while stopped", [] { return SonixCam_PausePreview(); }, 0},
        {"start", [] { return SonixCam_StartPreview(); }, 1},
        {"format while streaming", [] { return SonixCam_SetVideoFormat(0, 1); }, 0},
        {"pause", [] { return SonixCam_PausePreview(); }, 1},
        {"stop", [] { return SonixCam_StopPreview(); }, 1},
        {"format when stopped", [] { return SonixCam_SetVideoFormat(0, 1); }, 1},
        {"close", [] { return SonixCam_CloseCamera(); }, 1},
        {"close closed", [] { return SonixCam_CloseCamera(); }, 0},
    };
    for (const auto& s : steps) EXPECT_EQ(s.call() == 0, s.expectZero == 1) << s.what;

    ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
    ASSERT_EQ(SonixCam_StartPreview(), 0);
    EXPECT_EQ(SonixCam_IsPreviewing(&flag), 0);
    EXPECT_TRUE(flag);
    ASSERT_EQ(SonixCam_PausePreview(), 0);
    EXPECT_EQ(SonixCam_IsPreviewing(&flag), 0);
    EXPECT_FALSE(flag) << "a paused preview is not previewing";
    ASSERT_EQ(SonixCam_UnInit(), 0);
    ASSERT_EQ(SonixCam_Init(0), 0);
    EXPECT_EQ(SonixCam_IsOpenCamera(&flag), 0);
    EXPECT_FALSE(flag) << "UnInit closes the camera";
}

TEST_F(SimTest, SelectionAndEnumerationOfSeveralCameras) {
    Arrange(kTwoCameras, false);
    ASSERT_EQ(SonixCam_Init(0), 0);
    DeviceRecord records[5];
    std::memset(records, 0xCC, sizeof records);
    int count = -1;
    ASSERT_EQ(SonixCam_EnumDevice(records, &count, 5), 0);
    ASSERT_EQ(count, 3);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(records[i].deviceIndex, i);
        EXPECT_EQ(records[i].present, 1);
        EXPECT_EQ(std::string(records[i].devicePath).rfind("\\\\?\\usb#vid_", 0), 0u) << records[i].devicePath;
    }
    EXPECT_NE(std::string(records[2].devicePath).find("vid_0a0b&pid_0c0d"), std::string::npos);
    EXPECT_NE(std::string(records[0].devicePath), records[1].devicePath) << "paths identify the camera";
    EXPECT_EQ(records[3].present, 0xCC) << "records past the count are not touched";
    ASSERT_EQ(SonixCam_EnumDevice(records, &count, 2), 0);
    EXPECT_EQ(count, 2) << "no more than the caller has room for";

    char product[32];
    EXPECT_NE(SonixCam_GetProduct(product, 32), 0) << "nothing selected yet";
    EXPECT_NE(SonixCam_SelectDevice(1), 0) << "not selectable";
    EXPECT_NE(SonixCam_SelectDevice(3), 0) << "no such camera";
    EXPECT_NE(SonixCam_SelectDevice(-1), 0);
    ASSERT_EQ(SonixCam_SelectDevice(2), 0);
    EXPECT_NE(SonixCam_GetProduct(product, 32), 0) << "product query refused";
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    ASSERT_EQ(SonixCam_GetProduct(product, 32), 0);
    EXPECT_STREQ(product, "Front");

    // Selecting another camera lets go of the open one.
    ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
    ASSERT_EQ(SonixCam_SelectDevice(2), 0);
    bool open = true;
    ASSERT_EQ(SonixCam_IsOpenCamera(&open), 0);
    EXPECT_FALSE(open);
}

TEST_F(SimTest, IdentityOfTheDefaultCamera) {
    ASSERT_EQ(SonixSim_ResetDefault(), 0);
    ASSERT_EQ(SonixCam_Init(0), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    char text[64];
    ASSERT_EQ(SonixCam_GetFwVersion(text, 64, 1), 0);
    // The default firmware passes both build gates.
    const std::string v = text;
    const size_t at = v.find("Corvanith-");
    ASSERT_NE(at, std::string::npos) << v;
    EXPECT_GT(std::atoi(v.c_str() + at + 10), 210824) << v;
    ASSERT_EQ(SonixCam_GetProduct(text, 64), 0);
    EXPECT_GT(std::strlen(text), 0u);
    ASSERT_EQ(SonixCam_GetInterface(text, 64), 0);
    EXPECT_GT(std::strlen(text), 0u);
    uint8_t id[10];
    std::memset(id, 0xEE, sizeof id);
    ASSERT_EQ(SonixCam_GetVidPid(id, 10), 0);
    EXPECT_FALSE(id[0] == 0xEE && id[1] == 0xEE && id[2] == 0xEE && id[3] == 0xEE);
    EXPECT_NE(SonixCam_GetVidPid(id, 3), 0) << "four bytes identify the camera";
    int type = 0;
    ASSERT_EQ(SonixCam_GetSerialFlashType(&type, 1), 0);
    EXPECT_GT(type, 0);
    // A buffer that cannot hold the text is refused, not overrun.
    char small[8];
    std::memset(small, 0x7F, sizeof small);
    EXPECT_NE(SonixCam_GetFwVersion(small, 8, 1), 0);
    EXPECT_EQ(small[7], 0x7F);
}

TEST_F(SimTest, ResolutionsComeInTwoFormats) {
    Arrange("[camera]\n");
    int count = 0;
    ASSERT_EQ(SonixCam_GetPreviewResolutionCount(&count), 0);
    ASSERT_EQ(count, 10);
    const int expected[5][2] = {{1280, 800}, {1280, 720}, {800, 600}, {640, 480}, {320, 240}};
    for (int k = 0; k < 5; ++k) {
        ResolutionInfo a{}, b{};
        ASSERT_EQ(SonixCam_GetPreviewResolutionInfo(k, &a), 0);
        ASSERT_EQ(SonixCam_GetPreviewResolutionInfo(k + 5, &b), 0);
        EXPECT_EQ(a.width, expected[k][0]);
        EXPECT_EQ(a.height, expected[k][1]);
        EXPECT_EQ(b.width, a.width);
        EXPECT_EQ(b.height, a.height);
        EXPECT_NE(a.formatIndex, b.formatIndex);
    }
    ResolutionInfo info{};
    EXPECT_NE(SonixCam_GetPreviewResolutionInfo(10, &info), 0);
    EXPECT_NE(SonixCam_GetPreviewResolutionInfo(-1, &info), 0);
    EXPECT_NE(SonixCam_SetVideoFormat(0, 5), 0);
    EXPECT_NE(SonixCam_SetVideoFormat(2, 0), 0);
    ASSERT_EQ(SonixCam_GetCurrentPreviewResolutionInfo(&info), 0);
    EXPECT_EQ(info.width, 1280) << "1280x800 until chosen otherwise";
    ASSERT_EQ(SonixCam_SetVideoFormat(0, 4), 0);
    ASSERT_EQ(SonixCam_GetCurrentPreviewResolutionInfo(&info), 0);
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.height, 240);

    Arrange("[camera]\nresolutions = 640x480 320x240\n");
    ASSERT_EQ(SonixCam_GetPreviewResolutionCount(&count), 0);
    EXPECT_EQ(count, 4);
    Arrange("[camera]\nresolution_count = 7\n");
    ASSERT_EQ(SonixCam_GetPreviewResolutionCount(&count), 0);
    EXPECT_EQ(count, 7);
}

TEST_F(SimTest, TraceLinesShowArgumentsAndStatus) {
    Arrange("[camera]\n");
    int v = 0, f = 0;
    bool open = false;
    uint8_t bytes[2] = {0x0A, 0xF3};
    uint8_t one = 0x83;
    char buf[60];
    int marker = 0;
    auto progress = [](void*, float) -> int { return 0; };
    std::vector<uint8_t> image(2048, 0x53);
    SonixCam_PropertySet(0, 40, 0);
    SonixCam_PropertySet(0, -400, 0);
    SonixCam_PropertyGet(0, &v, &f);
    SonixCam_AsicRegisterWrite(3965, &one, 1);
    SonixCam_AsicRegisterWrite(0xC036, bytes, 2);
    SonixCam_AsicRegisterRead(3489, bytes, 2);
    SonixCam_AsicRegisterWrite(3965, nullptr, 1);
    SonixCam_OpenCamera(reinterpret_cast<VORN_HWND>(&marker), 0, nullptr);
    SonixCam_IsOpenCamera(&open);
    SonixCam_GetFwVersion(buf, 60, 1);
    SonixCam_ControlSet(4, -13, 2);
    SonixCam_CloseCamera();
    SonixCam_BurnerFW(image.data(), 2048, progress, &marker, 1, 0);
    SonixCam_UnInit();
    const std::vector<std::string> expected = {
        "SonixCam_PropertySet(0, 40, 0) = 0",
        "SonixCam_PropertySet(0, -400, 0) = 2",
        "SonixCam_PropertyGet(0, &, &) = 0",
        "SonixCam_AsicRegisterWrite(3965, [83], 1) = 0",
        "SonixCam_AsicRegisterWrite(49206, [0A F3], 2) = 0",
        "SonixCam_AsicRegisterRead(3489, &, 2) = 0",
        "SonixCam_AsicRegisterWrite(3965, null, 1) = 2",
        "SonixCam_OpenCamera(hwnd, 0, null) = 0",
        "SonixCam_IsOpenCamera(&) = 0",
        "SonixCam_GetFwVersion(&, 60, 1) = 0",
        "SonixCam_ControlSet(4, -13, 2) = 0",
        "SonixCam_CloseCamera() = 0",
        "SonixCam_BurnerFW(&, 2048, fn, &, 1, 0) = 0",
        "SonixCam_UnInit() = 0",
    };
    EXPECT_EQ(Trace(), expected);
    ASSERT_EQ(SonixSim_ClearTrace(), 0);
    EXPECT_TRUE(Trace().empty());
    // The copy is cut to the buffer but the full length is reported.
    SonixCam_Init(0);
    char tiny[6];
    EXPECT_EQ(SonixSim_GetTrace(tiny, sizeof tiny), static_cast<int>(std::strlen("SonixCam_Init(0) = 0\n")));
    EXPECT_STREQ(tiny, "Sonix");
}

TEST_F(SimTest, TraceFileGetsEveryLineAtOnce) {
    const std::string path = ::testing::TempDir() + "sim_trace_file.txt";
    std::remove(path.c_str());
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("earlier run\n", f);
        std::fclose(f);
    }
    Arrange("[sim]\ntrace = " + path + "\n[camera]\n");
    SonixCam_PropertySet(1, 20, 0);
    // Read while the library still has the file open: already flushed.
    std::string text;
    {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        char buf[1024];
        size_t n = std::fread(buf, 1, sizeof buf, f);
        text.assign(buf, n);
        std::fclose(f);
    }
    EXPECT_EQ(text,
              "earlier run\nSonixCam_Init(0) = 0\nSonixCam_SelectDevice(0) = 0\nSonixCam_PropertySet(1, 20, 0) = 0\n");
    SonixSim_ResetDefault();  // lets go of the file
    std::remove(path.c_str());
}

TEST_F(SimTest, FaultsFailTheChosenCallsWithoutSideEffects) {
    struct Row {
        const char* rule;
        std::vector<int> failing;  // 1-based numbers of the PropertySet calls that fail
    } rows[] = {
        {"SonixCam_PropertySet = always", {1, 2, 3, 4, 5, 6}},
        {"PropertySet = once", {1}},
        {"SonixCam_PropertySet = 2, 5", {2, 5}},
        {"SonixCam_PropertySet.1 = 1", {2}},   // the first call with property 1
        {"SonixCam_PropertySet.0x1 = always", {2, 4, 6}},
        {"SonixCam_ControlSet = always", {}},  // another function is not affected
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        Arrange(std::string("[camera]\n[faults]\n") + row.rule + "\n");
        std::vector<int> failed;
        for (int n = 1; n <= 6; ++n) {
            const int id = n % 2 == 0 ? 1 : 0;
            int before = 0, after = 0, flags = 0;
            SonixSim_ClearTrace();
            SonixCam_PropertyGet(id, &before, &flags);
            const int status = SonixCam_PropertySet(id, 10 + n, 0);
            SonixCam_PropertyGet(id, &after, &flags);
            if (status != 0) {
                failed.push_back(n);
                EXPECT_EQ(after, before) << "a failed call changes nothing";
                const auto lines = Trace();
                ASSERT_GE(lines.size(), 2u);
                EXPECT_EQ(lines[1], "SonixCam_PropertySet(" + std::to_string(id) + ", " + std::to_string(10 + n) +
                                        ", 0) = " + std::to_string(status));
            } else {
                EXPECT_EQ(after, 10 + n);
            }
        }
        EXPECT_EQ(failed, row.failing);
    }
}

TEST_F(SimTest, FaultedSessionCallsLeaveTheStateAlone) {
    Arrange("[camera]\n[faults]\nSonixCam_OpenCamera = once\nSonixCam_SelectDevice.0 = 2\nSonixCam_Init = 1\n",
            false);
    EXPECT_NE(SonixCam_Init(0), 0);
    char text[64];
    EXPECT_NE(SonixCam_SelectDevice(0), 0) << "not initialised: the faulted Init did nothing";
    ASSERT_EQ(SonixCam_Init(0), 0);
    EXPECT_NE(SonixCam_SelectDevice(0), 0) << "the second call with argument 0 fails: refused calls count too";
    EXPECT_NE(SonixCam_GetProduct(text, 64), 0) << "nothing selected";
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    EXPECT_NE(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
    bool open = true;
    ASSERT_EQ(SonixCam_IsOpenCamera(&open), 0);
    EXPECT_FALSE(open);
    EXPECT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0) << "once means once";
}

namespace {

std::atomic<int> g_frames{0};

int VORN_STDCALL CountJpegFrame(const uint8_t* data, int length) {
    if (data && length > 4 && data[0] == 0xFF && data[1] == 0xD8) ++g_frames;
    return 0;
}

bool WaitForFrames(int n) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (g_frames < n && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return g_frames >= n;
}

}  // namespace

TEST_F(SimTest, PreviewDeliversFramesOnlyWhileRunning) {
    Arrange("[sim]\nfps = 60\n[camera]\n");
    ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, CountJpegFrame), 0);
    ASSERT_EQ(SonixCam_SetVideoFormat(0, 4), 0);
    g_frames = 0;
    ASSERT_EQ(SonixCam_StartPreview(), 0);
    ASSERT_TRUE(WaitForFrames(3)) << "frames arrive once the preview runs";
    // Once Pause, Stop or Close has returned, no further frame is delivered.
    const std::function<int()> ends[] = {SonixCam_PausePreview, SonixCam_StopPreview, SonixCam_CloseCamera};
    for (const auto& end : ends) {
        ASSERT_EQ(end(), 0);
        const int seen = g_frames;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(g_frames, seen);
        bool open = false;
        SonixCam_IsOpenCamera(&open);
        if (!open) break;
        ASSERT_EQ(SonixCam_StartPreview(), 0);
        ASSERT_TRUE(WaitForFrames(seen + 2)) << "a restarted preview delivers again";
    }
}

namespace {

std::mutex g_kindsMutex;
std::vector<std::string> g_kinds;

int VORN_STDCALL RecordFrameKind(const uint8_t* data, int length) {
    std::string kind = "full";
    if (length == 0)
        kind = "empty";
    else if (length < 4 || data[length - 2] != 0xFF || data[length - 1] != 0xD9)
        kind = "truncated";
    std::lock_guard<std::mutex> l(g_kindsMutex);
    g_kinds.push_back(kind);
    return 0;
}

}  // namespace

TEST_F(SimTest, FrameFaultsOfTheScenarioReachTheVideo) {
    Arrange("[sim]\nfps = 60\n[camera]\n[faults]\nframe.drop = 1\nframe.empty = 2, 5\nframe.truncate = 3\n");
    {
        std::lock_guard<std::mutex> l(g_kindsMutex);
        g_kinds.clear();
    }
    ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, RecordFrameKind), 0);
    ASSERT_EQ(SonixCam_SetVideoFormat(0, 4), 0);
    ASSERT_EQ(SonixCam_StartPreview(), 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end) {
        {
            std::lock_guard<std::mutex> l(g_kindsMutex);
            if (g_kinds.size() >= 5) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(SonixCam_StopPreview(), 0);
    std::lock_guard<std::mutex> l(g_kindsMutex);
    ASSERT_GE(g_kinds.size(), 5u);
    // Frame 1 is dropped, so the deliveries are frames 2, 3, 4, 5, 6.
    EXPECT_EQ(std::vector<std::string>(g_kinds.begin(), g_kinds.begin() + 5),
              (std::vector<std::string>{"empty", "truncated", "full", "empty", "full"}));
}

// --- cable pulled and plugged back ------------------------------------------

namespace {

const char* const kFrontAndBack = "[sim]\nfps = 60\n[camera]\nproduct = Front\n[camera]\nproduct = Back\n";

std::vector<std::string> Paths() {
    DeviceRecord records[5] = {};
    int count = -1;
    EXPECT_EQ(SonixCam_EnumDevice(records, &count, 5), 0);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) paths.emplace_back(records[i].devicePath);
    return paths;
}

std::string Product() {
    char text[64] = {};
    return SonixCam_GetProduct(text, sizeof text) == 0 ? std::string(text) : std::string("<failed>");
}

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds deadline = std::chrono::seconds(20)) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::atomic<int> g_plugFrames{0};
std::atomic<bool> g_unplugReturned{false};
std::atomic<int> g_framesAfterUnplug{0};

int VORN_STDCALL CountFrame(const uint8_t*, int) {
    if (g_unplugReturned) ++g_framesAfterUnplug;
    ++g_plugFrames;
    return 0;
}

}  // namespace

TEST_F(SimTest, UnpluggedCameraFailsItsCallsWithStatus3AndIsNotListed) {
    Arrange(kFrontAndBack);
    const std::vector<std::string> before = Paths();
    ASSERT_EQ(before.size(), 2u);
    ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
    ASSERT_EQ(SonixCam_StartPreview(), 0);

    ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0);
    // Selection, enumeration and the session's end work without a camera;
    // they are checked below, and UnInit would end the session.
    for (const auto& c : DeviceCalls()) {
        const std::string name = c.name;
        if (name == "EnumDevice" || name == "SelectDevice" || name == "UnInit") continue;
        EXPECT_EQ(c.run(), 3) << name;
    }
    // The camera behind keeps its own path and moves up to the first place.
    EXPECT_EQ(Paths(), std::vector<std::string>{before[1]});
    EXPECT_EQ(SonixCam_SelectDevice(1), 2);
    EXPECT_EQ(SonixCam_GetProduct(nullptr, 0), 3) << "still the unplugged camera's session";
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    EXPECT_EQ(Product(), "Back");

    // Unknown cameras and a second pull of the same cable.
    EXPECT_EQ(SonixSim_SetPlugged(2, 0), 2);
    EXPECT_EQ(SonixSim_SetPlugged(-1, 1), 2);
    EXPECT_EQ(SonixSim_SetPlugged(0, 0), 0);
    EXPECT_EQ(Product(), "Back") << "a pull of another cable leaves the session alone";
}

TEST_F(SimTest, NoFrameFollowsTheUnplugAndTheOtherCameraStreamsOn) {
    Arrange(kFrontAndBack);
    g_plugFrames = 0;
    g_unplugReturned = false;
    g_framesAfterUnplug = 0;
    ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, &CountFrame), 0);
    ASSERT_EQ(SonixCam_StartPreview(), 0);
    ASSERT_TRUE(WaitFor([] { return g_plugFrames >= 3; }));

    // The camera not in use comes and goes: the picture goes on.
    ASSERT_EQ(SonixSim_SetPlugged(1, 0), 0);
    ASSERT_EQ(SonixSim_SetPlugged(1, 1), 0);
    const int seen = g_plugFrames;
    ASSERT_TRUE(WaitFor([&] { return g_plugFrames >= seen + 3; }));
    bool previewing = false;
    EXPECT_EQ(SonixCam_IsPreviewing(&previewing), 0);
    EXPECT_TRUE(previewing);

    ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0);
    g_unplugReturned = true;
    // Several frame periods at 60 frames a second: none may arrive.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(g_framesAfterUnplug, 0);
    EXPECT_EQ(SonixCam_IsPreviewing(&previewing), 3);
}

TEST_F(SimTest, ReplugComesBackWithPowerUpSettingsAndMustBeSelectedAgain) {
    Arrange("[camera]\nproduct = Front\nproperty.0 = 5\n");
    const std::vector<std::string> before = Paths();
    ASSERT_EQ(SonixCam_PropertySet(0, 20, 2), 0);
    ASSERT_EQ(SonixSim_SetPlugged(0, 0), 0);
    EXPECT_TRUE(Paths().empty());
    EXPECT_EQ(SonixCam_SelectDevice(0), 2);

    ASSERT_EQ(SonixSim_SetPlugged(0, 1), 0);
    EXPECT_EQ(Paths(), before);
    EXPECT_EQ(SonixCam_GetProduct(nullptr, 0), 3) << "the old session does not come back by itself";
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    int value = 0, flags = 0;
    ASSERT_EQ(SonixCam_PropertyGet(0, &value, &flags), 0);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
}

TEST_F(SimTest, ScenarioTimersPullAndPlugTheCables) {
    // The first camera leaves and comes back; the second arrives later.
    Arrange("[camera]\nproduct = Front\nunplug_after_ms = 100\nreplug_after_ms = 600\n"
            "[camera]\nproduct = Back\nreplug_after_ms = 300\n",
            false);
    ASSERT_EQ(SonixCam_Init(0), 0);
    const auto products = [] {
        std::string all;
        for (size_t i = 0; i < Paths().size(); ++i) {
            if (SonixCam_SelectDevice(static_cast<int>(i)) != 0) return std::string("<select failed>");
            all += Product() + ";";
        }
        return all;
    };
    // A slow machine may miss a state but never sees them out of order.
    const std::vector<std::string> order = {"Front;", "", "Back;", "Front;Back;"};
    std::vector<std::string> seen;
    ASSERT_TRUE(WaitFor([&] {
        const std::string now = products();
        if (seen.empty() || seen.back() != now) seen.push_back(now);
        return now == order.back();
    }));
    size_t at = 0;
    for (const auto& state : seen) {
        while (at < order.size() && order[at] != state) ++at;
        ASSERT_LT(at, order.size()) << "state '" << state << "' out of order";
    }
    EXPECT_GE(seen.size(), 2u);

    // A load replaces the plan: nothing of the old one happens afterwards.
    Arrange("[camera]\nproduct = Front\nunplug_after_ms = 400\n", false);
    ASSERT_EQ(SonixSim_LoadScenarioText("[camera]\nproduct = Steady\n"), 0);
    ASSERT_EQ(SonixCam_Init(0), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(products(), "Steady;");
}

TEST_F(SimTest, PlugTimesOutOfOrderOrRangeAreRefused) {
    for (const char* bad : {"[camera]\nunplug_after_ms = 500\nreplug_after_ms = 500\n",
                            "[camera]\nreplug_after_ms = 100\nunplug_after_ms = 200\n",
                            "[camera]\nunplug_after_ms = -1\n", "[camera]\nreplug_after_ms = soon\n",
                            "[sim]\nunplug_after_ms = 10\n"}) {
        EXPECT_NE(SonixSim_LoadScenarioText(bad), 0) << bad;
        EXPECT_NE(LastError().find("<scenario text>:"), std::string::npos) << bad;
    }
}

TEST_F(SimTest, BurnCutShortByTheCableFailsAndKeepsTheOldFlash) {
    Arrange("[sim]\nburn_ms = 1500\n[camera]\nfirmware = Vorn-Corvanith-211015K-1.3\n");
    const int size = SonixSim_ReadFlash(0, nullptr, 0);
    std::vector<uint8_t> oldFlash(static_cast<size_t>(size));
    SonixSim_ReadFlash(0, oldFlash.data(), size);
    const auto image = Image(65536, "Vorn-Corvanith-220101A-2.0");
    // The cable goes at a third of the way, from the progress callback.
    BurnProgressProc pullAtAThird = [](void*, float done) -> int {
        if (done > 0.33f) SonixSim_SetPlugged(0, 0);
        return 0;
    };
    EXPECT_EQ(SonixCam_BurnerFW(image.data(), static_cast<int>(image.size()), pullAtAThird, nullptr, 2, 1), 3);

    ASSERT_EQ(SonixSim_SetPlugged(0, 1), 0);
    std::vector<uint8_t> flash(static_cast<size_t>(SonixSim_ReadFlash(0, nullptr, 0)));
    SonixSim_ReadFlash(0, flash.data(), static_cast<int>(flash.size()));
    EXPECT_EQ(flash, oldFlash);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    EXPECT_EQ(Version(), "Vorn-Corvanith-211015K-1.3");
    // The camera takes a burn again once it is back.
    EXPECT_EQ(SonixCam_BurnerFW(image.data(), static_cast<int>(image.size()), nullptr, nullptr, 2, 0), 0);
}
