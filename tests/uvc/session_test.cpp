// Session, identity, format and firmware exports: what they forward to the
// vendor library and which line lands on which stream.
#include <cstring>

#include "uvc_fixture.h"

namespace vorn::test {
namespace {

std::function<int()> plain(int (*fn)()) {
    return [=] { return fn(); };
}

class SessionTest : public UvcCaseTest {};
TEST_P(SessionTest, ForwardsAndReports) { runCase(GetParam()); }

const std::string kOpen = vendor("SonixCam_OpenCamera", "null, 0, null");

INSTANTIATE_TEST_SUITE_P(Session, SessionTest, ::testing::Values(
    UvcCase{"InitPassesZero", "", "", Session::Loaded, plain(vorn_uvc_init), 0, {vendor("SonixCam_Init", "0")}, {}, {}},
    UvcCase{"InitFailure", "", "SonixCam_Init = always", Session::Loaded, plain(vorn_uvc_init), 1,
            {vendor("SonixCam_Init", "0", kFault)}, {}, {"Cannot initialize camera"}},
    UvcCase{"UnInit", "", "", Session::Initialised, plain(vorn_uvc_unInit), 0, {vendor("SonixCam_UnInit")}, {}, {}},
    UvcCase{"UnInitFailure", "", "SonixCam_UnInit = always", Session::Initialised, plain(vorn_uvc_unInit), 1,
            {vendor("SonixCam_UnInit", "", kFault)}, {}, {"Cannot Uninitialize camera"}},
    UvcCase{"SelectReportsSuccessOnErrorStream", "", "", Session::Initialised, [] { return vorn_uvc_selectDevice(0); },
            0, {vendor("SonixCam_SelectDevice", "0")}, {}, {"Successfully select device"}},
    UvcCase{"SelectOfUnselectableCamera", "selectable = false", "", Session::Initialised,
            [] { return vorn_uvc_selectDevice(0); }, 1, {vendor("SonixCam_SelectDevice", "0", 3)}, {},
            {"Select device failed!"}},
    UvcCase{"RestartReportsSuccessOnErrorStream", "", "", Session::Selected, plain(vorn_uvc_restartDevice), 0,
            {vendor("SonixCam_RestartDevice")}, {}, {"Successfully restart device"}},
    UvcCase{"RestartFailure", "", "SonixCam_RestartDevice = always", Session::Selected, plain(vorn_uvc_restartDevice),
            1, {vendor("SonixCam_RestartDevice", "", kFault)}, {}, {"Restart device failed!"}},
    UvcCase{"OpenSwitchesBothModeBitsOnFirst", "register.3965 = 00", "", Session::Selected,
            [] { return vorn_uvc_openCamera(nullptr, 0, nullptr); }, 0,
            {regRead(kModeAddress, 1), regRead(kModeAddress, 1), regWrite(kModeAddress, {0x01}),
             regRead(kModeAddress, 1), regRead(kModeAddress, 1), regWrite(kModeAddress, {0x03}), kOpen},
            {"bit[7] is  ZERO ", "bit[6] is  ZERO ", "AEC is OFF"}, {"open camera successfully!"},
            {{kModeAddress, {0x03}}}},
    UvcCase{"OpenWithBitsOnOnlyReads", "register.3965 = 03", "", Session::Selected,
            [] { return vorn_uvc_openCamera(nullptr, 0, nullptr); }, 0,
            {regRead(kModeAddress, 1), regRead(kModeAddress, 1), kOpen}, {"bit[7] is  ONE ", "bit[6] is  ONE "},
            {"open camera successfully!"}},
    UvcCase{"OpenGoesOnWhenRegistersFail", "", "SonixCam_AsicRegisterRead.3965 = always", Session::Selected,
            [] { return vorn_uvc_openCamera(nullptr, 0, nullptr); }, 0,
            {regRead(kModeAddress, 1, kFault), regRead(kModeAddress, 1, kFault), kOpen}, {},
            {"cannot read AWB data", "cannot read AEC data", "open camera successfully!"}},
    UvcCase{"OpenFailure", "register.3965 = 03", "SonixCam_OpenCamera = always", Session::Selected,
            [] { return vorn_uvc_openCamera(nullptr, 0, nullptr); }, 1,
            {regRead(kModeAddress, 1), regRead(kModeAddress, 1), vendor("SonixCam_OpenCamera", "null, 0, null", kFault)},
            {"bit[7] is  ONE ", "bit[6] is  ONE "}, {"open camera failed!"}},
    UvcCase{"CloseOpenCamera", "", "", Session::Open, plain(vorn_uvc_closeCamera), 0,
            {vendor("SonixCam_IsOpenCamera", "&"), vendor("SonixCam_CloseCamera")}, {}, {"Successfully close camera!"}},
    UvcCase{"CloseClosedCameraSucceedsWithoutClosing", "", "", Session::Selected, plain(vorn_uvc_closeCamera), 0,
            {vendor("SonixCam_IsOpenCamera", "&")}, {}, {"Camera is NOT open!"}},
    UvcCase{"CloseStateQueryFailure", "", "SonixCam_IsOpenCamera = always", Session::Open,
            plain(vorn_uvc_closeCamera), 1, {vendor("SonixCam_IsOpenCamera", "&", kFault)}, {},
            {"Failed to check whether the camera is open!"}},
    UvcCase{"CloseFailure", "", "SonixCam_CloseCamera = always", Session::Open, plain(vorn_uvc_closeCamera), 1,
            {vendor("SonixCam_IsOpenCamera", "&"), vendor("SonixCam_CloseCamera", "", kFault)}, {},
            {"Failed to close camera!"}},
    UvcCase{"IsOpenOnOpenCamera", "", "", Session::Open, readsBool(vorn_uvc_isOpenCamera, true), 0,
            {vendor("SonixCam_IsOpenCamera", "&")}, {"Camera is OPEN!"}, {}},
    UvcCase{"IsOpenOnClosedCamera", "", "", Session::Selected, readsBool(vorn_uvc_isOpenCamera, false), 0,
            {vendor("SonixCam_IsOpenCamera", "&")}, {"Camera is NOT OPEN!"}, {}},
    UvcCase{"IsOpenFailure", "", "SonixCam_IsOpenCamera = always", Session::Open, leavesBool(vorn_uvc_isOpenCamera), 1,
            {vendor("SonixCam_IsOpenCamera", "&", kFault)}, {}, {"Failed to check whether the camera is open!"}},
    UvcCase{"IsPreviewingWhilePreviewing", "", "", Session::Previewing, readsBool(vorn_uvc_IsPreviewing, true), 0,
            {vendor("SonixCam_IsPreviewing", "&")}, {"Camera is PREVIEWING!"}, {}},
    UvcCase{"IsPreviewingWhileStopped", "", "", Session::Open, readsBool(vorn_uvc_IsPreviewing, false), 0,
            {vendor("SonixCam_IsPreviewing", "&")}, {"Camera is NOT PREVIEWING!"}, {}},
    UvcCase{"IsPreviewingFailure", "", "SonixCam_IsPreviewing = always", Session::Open,
            leavesBool(vorn_uvc_IsPreviewing), 1, {vendor("SonixCam_IsPreviewing", "&", kFault)}, {},
            {"Failed to check whether the camera is previewing!"}},
    UvcCase{"StartPreview", "", "", Session::Open, plain(vorn_uvc_StartPreview), 0, {vendor("SonixCam_StartPreview")},
            {"Successfully start preview!"}, {}},
    UvcCase{"StartPreviewFailure", "", "SonixCam_StartPreview = always", Session::Open, plain(vorn_uvc_StartPreview),
            1, {vendor("SonixCam_StartPreview", "", kFault)}, {}, {"Start preview failed!"}},
    UvcCase{"PausePreview", "", "", Session::Previewing, plain(vorn_uvc_PausePreview), 0,
            {vendor("SonixCam_PausePreview")}, {"Successfully pause preview!"}, {}},
    UvcCase{"PausePreviewFailure", "", "SonixCam_PausePreview = always", Session::Previewing,
            plain(vorn_uvc_PausePreview), 1, {vendor("SonixCam_PausePreview", "", kFault)}, {}, {"Pause preview failed!"}},
    UvcCase{"StopPreview", "", "", Session::Previewing, plain(vorn_uvc_StopPreview), 0, {vendor("SonixCam_StopPreview")},
            {"Successfully stop preview!"}, {}},
    UvcCase{"StopPreviewFailure", "", "SonixCam_StopPreview = always", Session::Previewing,
            plain(vorn_uvc_StopPreview), 1, {vendor("SonixCam_StopPreview", "", kFault)}, {}, {"Stop preview failed!"}}),
    caseName);

// The identity exports hand the caller's buffer and size straight through.
TEST_F(SimulatorTest, IdentityTextsComeFromTheSelectedCamera) {
    arrangeCamera("product = Bench Cam 7\ninterface = USB 3.0 SuperSpeed\nfirmware = Vorn-Corvanith-220101A-2.0\n"
                  "vid_pid = 56 4f 52 4e 09",
                  "", Session::Selected);
    char text[100] = {};
    Observed seen = observe([&] { return vorn_uvc_get_product(text, sizeof text); });
    EXPECT_EQ(seen.code, 0);
    EXPECT_STREQ(text, "Bench Cam 7");
    EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_GetProduct", "&, 100")});
    EXPECT_TRUE(seen.out.empty() && seen.err.empty());

    char fw[60] = {};
    seen = observe([&] { return vorn_uvc_get_FW_version(fw, sizeof fw, 1); });
    EXPECT_EQ(seen.code, 0);
    EXPECT_STREQ(fw, "Vorn-Corvanith-220101A-2.0");
    EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_GetFwVersion", "&, 60, 1")});

    std::memset(text, 0, sizeof text);
    EXPECT_EQ(vorn_uvc_get_interface(text, 50), 0);
    EXPECT_STREQ(text, "USB 3.0 SuperSpeed");

    uint8_t ids[10] = {};
    seen = observe([&] { return vorn_uvc_getVidPid(ids, sizeof ids); });
    EXPECT_EQ(seen.code, 0);
    EXPECT_EQ((std::vector<uint8_t>(ids, ids + 4)), (std::vector<uint8_t>{0x56, 0x4f, 0x52, 0x4e}));
    EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_GetVidPid", "&, 10")});
}

TEST_F(SimulatorTest, IdentityFailuresHaveTheirOwnLines) {
    arrangeCamera("product_query = false",
                  "SonixCam_GetFwVersion = always\nSonixCam_GetInterface = always\nSonixCam_GetVidPid = always",
                  Session::Selected);
    char text[64] = {};
    uint8_t ids[10] = {};
    const struct {
        const char* line;
        std::function<int()> call;
    } rows[] = {
        {"Cannot get camera product information", [&] { return vorn_uvc_get_product(text, sizeof text); }},
        {"Cannot get camera FW version information", [&] { return vorn_uvc_get_FW_version(text, sizeof text, 1); }},
        {"Cannot get camera interface information", [&] { return vorn_uvc_get_interface(text, sizeof text); }},
        {"Cannot get camera Vendor ID and Product ID information", [&] { return vorn_uvc_getVidPid(ids, sizeof ids); }},
    };
    for (const auto& row : rows) {
        const Observed seen = observe(row.call);
        EXPECT_EQ(seen.code, 1) << row.line;
        EXPECT_TRUE(seen.out.empty());
        EXPECT_EQ(seen.err, Lines{row.line});
    }
}

TEST_F(SimulatorTest, EnumerationFillsRecordsAndCount) {
    const std::string text = "[camera]\nproduct = A\n[camera]\nproduct = B\n";
    ASSERT_EQ(SonixSim_LoadScenarioText(text.c_str()), 0) << simLastError();
    ASSERT_EQ(SonixCam_Init(0), 0);
    SonixSim_ClearTrace();
    DeviceRecord records[VORN_UVC_MAX_DEVICES] = {};
    int count = 0;
    const Observed seen = observe([&] { return vorn_uvc_getEnumDevice(records, &count); });
    EXPECT_EQ(seen.code, 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_EnumDevice", "&, &, 5")});
    EXPECT_TRUE(seen.out.empty() && seen.err.empty());
    EXPECT_NE(records[1].devicePath[0], '\0');
}

TEST_F(SimulatorTest, EnumerationFailure) {
    arrangeCamera("", "SonixCam_EnumDevice = always", Session::Initialised);
    DeviceRecord records[VORN_UVC_MAX_DEVICES] = {};
    int count = 0;
    const Observed seen = observe([&] { return vorn_uvc_getEnumDevice(records, &count); });
    EXPECT_EQ(seen.code, 1);
    EXPECT_EQ(seen.err, Lines{"Failed to get device list."});
}

// The vendor lists each resolution once per video format.
TEST_F(SimulatorTest, ResolutionCountIsHalfTheVendorCount) {
    const struct {
        const char* camera;
        int expected;
    } rows[] = {{"resolution_count = 0", 0}, {"resolution_count = 5", 2}, {"resolution_count = 7", 3}, {"", 5}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.camera);
        arrangeCamera(row.camera, "", Session::Selected);
        const Observed seen = observe(readsInt(vorn_uvc_getPreviewResolutionCount, row.expected));
        EXPECT_EQ(seen.code, 0);
        EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_GetPreviewResolutionCount", "&")});
        EXPECT_TRUE(seen.out.empty() && seen.err.empty());
    }
    arrangeCamera("", "SonixCam_GetPreviewResolutionCount = always", Session::Selected);
    const Observed seen = observe(leavesInt(vorn_uvc_getPreviewResolutionCount));
    EXPECT_EQ(seen.code, 1);
    EXPECT_EQ(seen.err, Lines{"Cannot get preview resolution count"});
}

TEST_F(SimulatorTest, ResolutionsAndVideoFormat) {
    arrangeCamera("", "", Session::Open);
    ResolutionInfo info{};
    Observed seen = observe([&] { return vorn_uvc_getPreviewResolutionInfo(0, &info); });
    EXPECT_EQ(seen.code, 0);
    EXPECT_EQ(info.width, 1280);
    EXPECT_EQ(info.height, 800);
    EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_GetPreviewResolutionInfo", "0, &")});

    seen = observe([] { return vorn_uvc_setVideoFormat(0, 3); });
    EXPECT_EQ(seen.code, 0);
    EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_SetVideoFormat", "0, 3")});
    EXPECT_TRUE(seen.out.empty() && seen.err.empty());

    info = {};
    seen = observe([&] { return vorn_uvc_getCurrentPreviewResolutionInfo(&info); });
    EXPECT_EQ(seen.code, 0);
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.height, 480);
    EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_GetCurrentPreviewResolutionInfo", "&")});
}

TEST_F(SimulatorTest, ResolutionAndFormatFailures) {
    arrangeCamera("",
                  "SonixCam_GetPreviewResolutionInfo = always\nSonixCam_GetCurrentPreviewResolutionInfo = always\n"
                  "SonixCam_SetVideoFormat = always",
                  Session::Open);
    ResolutionInfo info{};
    const struct {
        const char* line;
        std::function<int()> call;
    } rows[] = {
        {"Cannot get camera preview resolution info", [&] { return vorn_uvc_getPreviewResolutionInfo(1, &info); }},
        {"Cannot get current camera preview resolution info",
         [&] { return vorn_uvc_getCurrentPreviewResolutionInfo(&info); }},
        {"Cannot set camera video format", [] { return vorn_uvc_setVideoFormat(0, 1); }},
    };
    for (const auto& row : rows) {
        const Observed seen = observe(row.call);
        EXPECT_EQ(seen.code, 1) << row.line;
        EXPECT_EQ(seen.err, Lines{row.line});
    }
}

struct Progress {
    int calls = 0;
    float last = -1.0f;
    bool backwards = false;
};

int VORN_CDECL recordProgress(void* context, float done) {
    auto* p = static_cast<Progress*>(context);
    if (done < p->last) p->backwards = true;
    p->last = done;
    ++p->calls;
    return 0;
}

// Cameras that report no flash type (or fail to say) are burned as type 1.
TEST_F(SimulatorTest, BurnChoosesFlashTypeAndReportsProgress) {
    const struct {
        const char* camera;
        const char* faults;
        const char* typeCall;
        int flashType;
    } rows[] = {
        {"flash_type = 0", "", "SonixCam_GetSerialFlashType(&, 1) = 0", 1},
        {"flash_type = 3", "", "SonixCam_GetSerialFlashType(&, 1) = 0", 3},
        {"flash_type = 3", "SonixCam_GetSerialFlashType = always", "SonixCam_GetSerialFlashType(&, 1) = 1", 1},
    };
    std::vector<uint8_t> image(32768, 0xFF);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.camera + std::string(" ") + row.faults);
        arrangeCamera(row.camera, row.faults, Session::Selected);
        Progress progress;
        const Observed seen = observe([&] {
            return vorn_uvc_BurnerFW(image.data(), static_cast<int>(image.size()), recordProgress, &progress, 0);
        });
        EXPECT_EQ(seen.code, 0);
        EXPECT_EQ(seen.trace, (Lines{row.typeCall, vendor("SonixCam_BurnerFW", "&, 32768, fn, &, " +
                                                                                  std::to_string(row.flashType) + ", 0")}));
        EXPECT_TRUE(seen.out.empty() && seen.err.empty());
        EXPECT_GT(progress.calls, 0);
        EXPECT_FALSE(progress.backwards);
        EXPECT_FLOAT_EQ(progress.last, 1.0f);
    }
}

TEST_F(SimulatorTest, BurnFailure) {
    arrangeCamera("", "SonixCam_BurnerFW = always", Session::Selected);
    std::vector<uint8_t> image(32768, 0);
    const Observed seen = observe([&] {
        return vorn_uvc_BurnerFW(image.data(), static_cast<int>(image.size()), nullptr, nullptr, 1);
    });
    EXPECT_EQ(seen.code, 1);
    EXPECT_EQ(seen.err, Lines{"Failed to burn Firmware!"});
}

// Out-parameters the library computes itself may be null: the call still
// reports, and nothing is written through the null pointer.
TEST_F(SimulatorTest, NullOutParametersAreNotWritten) {
    arrangeCamera("register.3965 = 03\nregister.49206 = 01 00\ncontrol.4 = -4 1\ncontrol.6 = 0", "", Session::Open);
    EXPECT_EQ(vorn_uvc_getPreviewResolutionCount(nullptr), 0);
    EXPECT_EQ(vorn_uvc_isAECModeOn(nullptr), 0);
    EXPECT_EQ(vorn_uvc_isIlluminationOn(nullptr), 0);
    const Observed seen = observe([] {
        return vorn_uvc_is_RegAWB_On(nullptr) + vorn_uvc_get_AWB_Gain_Red(nullptr) +
               vorn_uvc_getExposureValueThruReg(nullptr);
    });
    EXPECT_EQ(seen.code, 0);
    EXPECT_EQ(seen.out.size(), 3u);
}

}  // namespace
}  // namespace vorn::test
