// The simulated camera's settings, registers and flash through its exports:
// ranges, register and settings coherence, firmware burning.
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "sim_test_util.h"

using namespace simtest;

namespace {

constexpr int kMode = 0x0F7D;
constexpr int kRed = 0xC036;
constexpr int kGreen = 0xC038;
constexpr int kBlue = 0xC03A;
constexpr int kExposure = 0x0DA1;

int WriteByte(int address, uint8_t b) { return SonixCam_AsicRegisterWrite(address, &b, 1); }

}  // namespace

TEST_F(SimTest, PropertiesAndControlsHavePlausibleRanges) {
    Arrange("[camera]\n");
    for (int id : {0, 1, 3, 4, 5, 7, 8}) {
        SCOPED_TRACE("property " + std::to_string(id));
        int mn = 0, mx = 0, step = 0, def = 0, flags = 0, value = 0, cur = 0;
        ASSERT_EQ(SonixCam_PropertyGetRange(id, &mn, &mx, &step, &def, &flags), 0);
        ASSERT_EQ(SonixCam_PropertyGet(id, &value, &cur), 0);
        EXPECT_LT(mn, mx);
        EXPECT_GE(step, 1);
        EXPECT_TRUE(def >= mn && def <= mx);
        EXPECT_TRUE(value >= mn && value <= mx);
        if (id == 5) {
            EXPECT_GT(mn, 50) << "gamma range starts above 50";
        }
        EXPECT_EQ(SonixCam_PropertySet(id, mx, 2), 0);
        EXPECT_NE(SonixCam_PropertySet(id, mx + step, 2), 0);
        EXPECT_NE(SonixCam_PropertySet(id, mn - step, 2), 0);
        ASSERT_EQ(SonixCam_PropertyGet(id, &value, &cur), 0);
        EXPECT_EQ(value, mx) << "a refused set keeps the last value";
    }
    int v, f;
    for (int id : {2, 6, 9, -1}) EXPECT_NE(SonixCam_PropertyGet(id, &v, &f), 0) << "no property " << id;
    for (int id : {3, 5, 7}) EXPECT_NE(SonixCam_ControlGet(id, &v, &f), 0) << "no control " << id;

    const struct {
        int id, good, bad;
    } controls[] = {{0, 1023, 1024}, {1, 0, -1}, {2, 3, 2}, {4, -13, -14}, {4, -1, 0}, {6, 0, 2}};
    for (const auto& c : controls) {
        SCOPED_TRACE("control " + std::to_string(c.id));
        EXPECT_EQ(SonixCam_ControlSet(c.id, c.good, 2), 0);
        EXPECT_NE(SonixCam_ControlSet(c.id, c.bad, 2), 0);
        ASSERT_EQ(SonixCam_ControlGet(c.id, &v, &f), 0);
        EXPECT_EQ(v, c.good);
        EXPECT_EQ(f, 2);
    }
    // Switching white balance to automatic carries no value of its own.
    EXPECT_EQ(SonixCam_PropertySet(7, 0, 1), 0);
    ASSERT_EQ(SonixCam_PropertyGet(7, &v, &f), 0);
    EXPECT_EQ(f, 1);
    EXPECT_NE(v, 0);
}

TEST_F(SimTest, ScenarioSettingsReachTheCamera) {
    Arrange(
        "[camera]\nproperty.0 = 12\nproperty.5 = 120 100 300 10 150 2\ncontrol.4 = -9 2\ncontrol.6 = 0\n"
        "register.0xC0B0 = 31\nregister.100 = 01 02 03\n");
    int v, f, mn, mx, step, def;
    ASSERT_EQ(SonixCam_PropertyGet(0, &v, &f), 0);
    EXPECT_EQ(v, 12);
    ASSERT_EQ(SonixCam_PropertyGetRange(5, &mn, &mx, &step, &def, &f), 0);
    EXPECT_EQ(mn, 100);
    EXPECT_EQ(mx, 300);
    EXPECT_EQ(step, 10);
    EXPECT_EQ(def, 150);
    EXPECT_NE(SonixCam_PropertySet(5, 125, 0), 0) << "off the step grid";
    EXPECT_EQ(SonixCam_PropertySet(5, 130, 0), 0);
    ASSERT_EQ(SonixCam_ControlGet(4, &v, &f), 0);
    EXPECT_EQ(v, -9);
    EXPECT_EQ(f, 2);
    ASSERT_EQ(SonixCam_ControlGet(6, &v, &f), 0);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(Peek(0xC0B0, 1), std::vector<uint8_t>{0x31});
    EXPECT_EQ(Peek(100, 3), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(SimTest, ColourGainControlsWriteTheGainRegisters) {
    // White balance manual, so the gains are ours; bits 7..2 of the first
    // gain byte belong to something else and survive.
    Arrange("[camera]\nproperty.7 = 5000 2800 6500 1 4600 2\nregister.0xC036 = A4 10\nregister.0xC03A = FC 00\n");
    const struct {
        int control, address, value;
        uint8_t b0, b1;
    } rows[] = {{1, kRed, 512, 0xA6, 0x00}, {1, kRed, 128, 0xA4, 0x80}, {0, kBlue, 1023, 0xFF, 0xFF},
                {0, kBlue, 384, 0xFD, 0x80}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.value);
        ASSERT_EQ(SonixCam_ControlSet(r.control, r.value, 2), 0);
        EXPECT_EQ(Peek(r.address, 2), (std::vector<uint8_t>{r.b0, r.b1}));
        int v = 0, f = 0;
        ASSERT_EQ(SonixCam_ControlGet(r.control, &v, &f), 0);
        EXPECT_EQ(v, r.value);
    }
    // And the other way: a gain written to the register is what the control reads.
    const uint8_t gain[2] = {0x01, 0x2C};
    ASSERT_EQ(SonixCam_AsicRegisterWrite(kRed, gain, 2), 0);
    int v = 0, f = 0;
    ASSERT_EQ(SonixCam_ControlGet(1, &v, &f), 0);
    EXPECT_EQ(v, 300);
}

TEST_F(SimTest, AutomaticWhiteBalanceOwnsTheGains) {
    Arrange("[camera]\nawb_gains = 301 257 402\nregister.0x0F7D = 00\nproperty.7 = 4600 2800 6500 1 4600 1\n");
    ASSERT_EQ(SonixCam_ControlSet(1, 200, 2), 0);
    EXPECT_EQ(Gain(kRed), 200) << "register AWB bit off: the gain is ours";
    ASSERT_EQ(WriteByte(kMode, 0x01), 0);  // AWB bit on, white balance auto
    EXPECT_EQ(Gain(kRed), 301);
    EXPECT_EQ(Gain(kGreen), 257);
    EXPECT_EQ(Gain(kBlue), 402);
    ASSERT_EQ(SonixCam_ControlSet(1, 200, 2), 0);
    EXPECT_EQ(Gain(kRed), 301) << "the camera keeps its own choice while AWB runs";
    const uint8_t gain[2] = {0x00, 0x90};
    ASSERT_EQ(SonixCam_AsicRegisterWrite(kBlue, gain, 2), 0);
    EXPECT_EQ(Gain(kBlue), 402);
    // White balance manual: the gains are free again.
    ASSERT_EQ(SonixCam_PropertySet(7, 5000, 2), 0);
    ASSERT_EQ(SonixCam_ControlSet(0, 150, 2), 0);
    EXPECT_EQ(Gain(kBlue), 150);
    // Register bit off with white balance auto: free as well.
    ASSERT_EQ(SonixCam_PropertySet(7, 0, 1), 0);
    EXPECT_EQ(Gain(kBlue), 402);
    ASSERT_EQ(WriteByte(kMode, 0x00), 0);
    ASSERT_EQ(SonixCam_ControlSet(0, 160, 2), 0);
    EXPECT_EQ(Gain(kBlue), 160);
}

TEST_F(SimTest, ExposureRegistersFollowTheExposureControl) {
    Arrange("[camera]\n");
    const int lines[13] = {12432, 6216, 3108, 1554, 775, 387, 193, 96, 49, 24, 12, 4, 4};
    for (int step = -1; step >= -13; --step) {
        ASSERT_EQ(SonixCam_ControlSet(4, step, 2), 0);
        auto b = Peek(kExposure, 2);
        uint8_t read[2] = {0, 0};
        ASSERT_EQ(SonixCam_AsicRegisterRead(kExposure, read, 2), 0);
        EXPECT_EQ(read[0] * 256 + read[1], lines[-step - 1]) << "step " << step;
        EXPECT_EQ(b[0] * 256 + b[1], lines[-step - 1]);
    }
    // Automatic exposure runs when control 4 says auto and the register AEC bit is on.
    ASSERT_EQ(WriteByte(kMode, 0x03), 0);
    ASSERT_EQ(SonixCam_ControlSet(4, -6, 1), 0);
    int v = 0, f = 0;
    ASSERT_EQ(SonixCam_ControlGet(4, &v, &f), 0);
    EXPECT_EQ(f, 1);
    EXPECT_EQ(Peek(kExposure, 2), (std::vector<uint8_t>{0x01, 0x83}));
    ASSERT_EQ(SonixCam_ControlSet(4, v, 2), 0);
    ASSERT_EQ(SonixCam_ControlGet(4, &v, &f), 0);
    EXPECT_EQ(v, -6) << "going manual keeps the exposure";
    EXPECT_EQ(f, 2);
}

TEST_F(SimTest, RegisterSpaceIs64KiB) {
    Arrange("[camera]\n");
    uint8_t buf[4] = {1, 2, 3, 4};
    EXPECT_EQ(SonixCam_AsicRegisterWrite(0xFFFC, buf, 4), 0);
    EXPECT_NE(SonixCam_AsicRegisterWrite(0xFFFD, buf, 4), 0) << "past the end";
    EXPECT_NE(SonixCam_AsicRegisterRead(0x10000, buf, 1), 0);
    EXPECT_NE(SonixCam_AsicRegisterRead(-1, buf, 1), 0);
    EXPECT_NE(SonixCam_AsicRegisterRead(0, buf, 0), 0);
    uint8_t back[4] = {};
    ASSERT_EQ(SonixCam_AsicRegisterRead(0xFFFC, back, 4), 0);
    EXPECT_EQ(std::memcmp(back, buf, 4), 0);
    // The mode register keeps bits it does not define.
    ASSERT_EQ(WriteByte(kMode, 0x80), 0);
    EXPECT_EQ(Peek(kMode, 1), std::vector<uint8_t>{0x80});
}

namespace {

struct ProgressLog {
    std::vector<float> values;
    std::thread::id thread;
    bool otherThread = false;
};

int VORN_CDECL RecordProgress(void* context, float done) {
    auto* log = static_cast<ProgressLog*>(context);
    log->values.push_back(done);
    if (std::this_thread::get_id() != log->thread) log->otherThread = true;
    // The caller may use the library from inside its progress function.
    bool open = false;
    SonixCam_IsOpenCamera(&open);
    return 0;
}

std::vector<uint8_t> Flash(int camera = 0) {
    int size = SonixSim_ReadFlash(camera, nullptr, 0);
    std::vector<uint8_t> flash(static_cast<size_t>(size > 0 ? size : 0));
    SonixSim_ReadFlash(camera, flash.data(), size);
    return flash;
}

}  // namespace

TEST_F(SimTest, BurnReportsProgressAndWritesTheFlash) {
    for (size_t size : {size_t(32768), size_t(65536), size_t(131072), size_t(5000)}) {
        for (int verify : {0, 1}) {
            SCOPED_TRACE(std::to_string(size) + (verify ? " verified" : ""));
            Arrange("[camera]\n");
            auto image = Image(size, "Vorn-Corvanith-220101A-2.0", static_cast<uint8_t>(size / 1000 + verify));
            ProgressLog log;
            log.thread = std::this_thread::get_id();
            ASSERT_EQ(SonixCam_BurnerFW(image.data(), static_cast<int>(size), RecordProgress, &log, 1, verify), 0);
            ASSERT_FALSE(log.values.empty());
            EXPECT_EQ(log.values.front(), 0.0f);
            EXPECT_EQ(log.values.back(), 1.0f);
            for (size_t i = 1; i < log.values.size(); ++i) EXPECT_GE(log.values[i], log.values[i - 1]) << i;
            EXPECT_GE(log.values.size(), size / 4096 + 1) << "at least once per 4 KiB";
            EXPECT_FALSE(log.otherThread) << "progress comes inside the call";
            EXPECT_EQ(Flash(), image) << "the flash is the image's size and holds it";
        }
    }
}

TEST_F(SimTest, FullVerifyCatchesABadWrite) {
    auto image = Image(65536, "Vorn-Corvanith-220101A-2.0");
    Arrange("[camera]\n[faults]\nflash.corrupt = 1\n");
    ProgressLog log;
    log.thread = std::this_thread::get_id();
    EXPECT_NE(SonixCam_BurnerFW(image.data(), 65536, RecordProgress, &log, 1, 1), 0);
    EXPECT_LT(log.values.back(), 1.0f) << "a failed burn does not report completion";
    EXPECT_NE(Flash(), image);
    EXPECT_EQ(SonixCam_BurnerFW(image.data(), 65536, nullptr, nullptr, 1, 1), 0) << "only the first burn is bad";
    EXPECT_EQ(Flash(), image);

    // Without verification the same bad write goes unnoticed.
    Arrange("[camera]\n[faults]\nflash.corrupt = always\n");
    EXPECT_EQ(SonixCam_BurnerFW(image.data(), 65536, nullptr, nullptr, 1, 0), 0);
    EXPECT_NE(Flash(), image);
}

TEST_F(SimTest, BurnRefusesBadArgumentsAndABusyCamera) {
    Arrange("[camera]\n");
    auto before = Flash();
    auto image = Image(32768, "X-Corvanith-230101");
    EXPECT_NE(SonixCam_BurnerFW(nullptr, 32768, nullptr, nullptr, 1, 0), 0);
    EXPECT_NE(SonixCam_BurnerFW(image.data(), 0, nullptr, nullptr, 1, 0), 0);
    EXPECT_NE(SonixCam_BurnerFW(image.data(), -5, nullptr, nullptr, 1, 0), 0);
    EXPECT_NE(SonixCam_BurnerFW(image.data(), 32768, nullptr, nullptr, 0, 0), 0);
    ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
    ASSERT_EQ(SonixCam_StartPreview(), 0);
    EXPECT_NE(SonixCam_BurnerFW(image.data(), 32768, nullptr, nullptr, 1, 0), 0) << "streaming";
    EXPECT_EQ(Flash(), before);
}

namespace {

struct BusyLog {
    std::vector<uint8_t> image = Image(4096, "Second-Corvanith-300000");
    int calls = 0;
    int secondBurn = 0, restart = 0, preview = 0;
};

int VORN_CDECL TryOthersWhileBurning(void* context, float) {
    auto* log = static_cast<BusyLog*>(context);
    if (log->calls++ == 1) {
        log->secondBurn = SonixCam_BurnerFW(log->image.data(), 4096, nullptr, nullptr, 1, 0);
        log->restart = SonixCam_RestartDevice();
        log->preview = SonixCam_StartPreview();
    }
    return 0;
}

}  // namespace

TEST_F(SimTest, CameraIsBusyWhileItsFlashIsWritten) {
    Arrange("[camera]\n");
    ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
    auto image = Image(32768, "First-Corvanith-300000");
    BusyLog log;
    ASSERT_EQ(SonixCam_BurnerFW(image.data(), 32768, TryOthersWhileBurning, &log, 1, 1), 0);
    EXPECT_NE(log.secondBurn, 0);
    EXPECT_NE(log.restart, 0);
    EXPECT_NE(log.preview, 0);
    EXPECT_EQ(Flash(), image);
    EXPECT_EQ(SonixCam_StartPreview(), 0) << "free again afterwards";
}

TEST_F(SimTest, BurnedVersionShowsAfterRestartAndReinit) {
    Arrange("[camera]\nfirmware = Vorn-Corvanith-210701A-1.0\n[camera]\nfirmware = Other-1\n");
    auto image = Image(65536, "Vorn-Corvanith-221130B-2.4");
    ASSERT_EQ(SonixCam_BurnerFW(image.data(), 65536, nullptr, nullptr, 1, 1), 0);
    EXPECT_EQ(Version(), "Vorn-Corvanith-210701A-1.0") << "the old firmware runs until the restart";
    ASSERT_EQ(SonixCam_RestartDevice(), 0);
    EXPECT_EQ(Version(), "<failed>") << "the restarted device has to be selected again";
    ASSERT_EQ(SonixCam_UnInit(), 0);
    ASSERT_EQ(SonixCam_Init(0), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    EXPECT_EQ(Version(), "Vorn-Corvanith-221130B-2.4");
    ASSERT_EQ(SonixCam_SelectDevice(1), 0);
    EXPECT_EQ(Version(), "Other-1") << "the other camera was not burned";

    // Flash and version outlive another UnInit/Init.
    ASSERT_EQ(SonixCam_UnInit(), 0);
    ASSERT_EQ(SonixCam_Init(0), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    EXPECT_EQ(Version(), "Vorn-Corvanith-221130B-2.4");
    EXPECT_EQ(Flash(), image);

    // An image without a version record leaves the text as it was.
    std::vector<uint8_t> bare(32768, 0x11);
    bare[0] = 'S';
    ASSERT_EQ(SonixCam_BurnerFW(bare.data(), 32768, nullptr, nullptr, 1, 0), 0);
    ASSERT_EQ(SonixCam_RestartDevice(), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    EXPECT_EQ(Version(), "Vorn-Corvanith-221130B-2.4");
}

TEST_F(SimTest, RestartReturnsSettingsToPowerUp) {
    Arrange("[camera]\nproperty.0 = 5\n");
    ASSERT_EQ(SonixCam_PropertySet(0, 30, 0), 0);
    ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
    ASSERT_EQ(SonixCam_RestartDevice(), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    int v = 0, f = 0;
    ASSERT_EQ(SonixCam_PropertyGet(0, &v, &f), 0);
    EXPECT_EQ(v, 5);
    bool open = true;
    ASSERT_EQ(SonixCam_IsOpenCamera(&open), 0);
    EXPECT_FALSE(open);
}

namespace {
// Progress that holds the burn until another thread has used the library
// while the burn runs, so the check does not depend on who gets the core.
struct HeldBurn {
    ProgressLog log;
    std::atomic<bool> running{false};
    std::atomic<bool> queried{false};
    bool queryCameInTime = false;
};

int VORN_CDECL HoldUntilQueried(void* context, float done) {
    auto* held = static_cast<HeldBurn*>(context);
    held->log.values.push_back(done);
    if (done > 0.0f && done < 1.0f && !held->running) {
        held->running = true;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!held->queried && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        held->queryCameInTime = held->queried;
    }
    return 0;
}
}  // namespace

TEST_F(SimTest, BurnTakesTheScenarioDuration) {
    // Not a timing assertion: only that a slow burn still reports often and
    // finishes, with the library usable from another thread meanwhile.
    Arrange("[sim]\nburn_ms = 300\n[camera]\n");
    auto image = Image(32768, "V-Corvanith-230000");
    std::atomic<bool> done{false};
    HeldBurn held;
    std::thread burner([&] {
        EXPECT_EQ(SonixCam_BurnerFW(image.data(), 32768, HoldUntilQueried, &held, 1, 0), 0);
        done = true;
    });
    while (!done) {
        const bool duringBurn = held.running;
        int type = 0;
        EXPECT_EQ(SonixCam_GetSerialFlashType(&type, 1), 0);
        if (duringBurn) held.queried = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    burner.join();
    EXPECT_TRUE(held.queryCameInTime) << "the burn held the library while it ran";
    ASSERT_FALSE(held.log.values.empty());
    EXPECT_EQ(held.log.values.back(), 1.0f);
}
