// Scenario loading: what is accepted, what is refused with its file and
// line, and that a refused scenario leaves the running one untouched.
#include <cstdio>
#include <string>

#include "sim_test_util.h"

using namespace simtest;

namespace {

std::string Product() {
    char buf[64] = {};
    return SonixCam_GetProduct(buf, sizeof buf) == 0 ? std::string(buf) : std::string("<failed>");
}

}  // namespace

TEST_F(SimTest, BadLinesAreRefusedWithTheirLineNumber) {
    const struct {
        const char* text;
        int line;
        const char* mentions;
    } rows[] = {
        {"[camera]\nproduct = A\nbogus = 1\n", 3, "bogus"},
        {"# comment\n\n[cameras]\n", 3, "cameras"},
        {"product = A\n", 1, "outside"},
        {"[camera]\nproduct\n", 2, "key = value"},
        {"[camera\n", 1, "]"},
        {"[sim]\nburn_ms = soon\n", 2, "burn_ms"},
        {"[sim]\nburn_ms = -1\n", 2, "burn_ms"},
        {"[sim]\nfps = 0\n", 2, "fps"},
        {"[camera]\nvid_pid = 56 4f 52\n", 2, "vid_pid"},
        {"[camera]\nvid_pid = 56 4f 52 4g\n", 2, "4g"},
        {"[camera]\nselectable = maybe\n", 2, "true or false"},
        {"[camera]\nproperty.2 = 5\n", 2, "property 2"},
        {"[camera]\nproperty.0 = 65\n", 2, "range"},
        {"[camera]\nproperty.0 = 1 10 0 1 5 2\n", 2, "minimum"},
        {"[camera]\nproperty.0 = 1 0 10 1 5\n", 2, "property"},
        {"[camera]\ncontrol.4 = 0\n", 2, "range"},
        {"[camera]\ncontrol.3 = 0\n", 2, "control 3"},
        {"[camera]\ncontrol.4 = -6 9\n", 2, "flags"},
        {"[camera]\nregister.0x10000 = 00\n", 2, "address"},
        {"[camera]\nregister.0xFFFF = 00 01\n", 2, "past"},
        {"[camera]\nregister.12 = 100\n", 2, "100"},
        {"[camera]\nregister.12 =\n", 2, "byte"},
        {"[camera]\nresolutions = 640*480\n", 2, "640*480"},
        {"[camera]\nawb_gains = 1 2\n", 2, "awb_gains"},
        {"[faults]\nSonixCam_Fly = always\n", 2, "SonixCam_Fly"},
        {"[faults]\nSonixCam_UnInit.3 = always\n", 2, "first argument"},
        {"[faults]\nPropertySet.x = always\n", 2, "PropertySet.x"},
        {"[faults]\nPropertySet = sometimes\n", 2, "always, once"},
        {"[faults]\nPropertySet = 0\n", 2, "always, once"},
        {"[faults]\nPropertySet = 1,,2\n", 2, "always, once"},
        {"[faults]\nframe.melt = once\n", 2, "frame.melt"},
        {"[camera]\n[camera]\n[camera]\n[camera]\n[camera]\n[camera]\n", 6, "cameras"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_NE(SonixSim_LoadScenarioText(row.text), 0);
        const std::string error = LastError();
        EXPECT_NE(error.find(":" + std::to_string(row.line) + ":"), std::string::npos) << error;
        EXPECT_NE(error.find(row.mentions), std::string::npos) << error;
    }
}

TEST_F(SimTest, AcceptedForms) {
    const char* const texts[] = {
        "",
        "# only a comment\n",
        "[sim]\r\nburn_ms = 0\r\nfps = 15\r\n[camera]\r\nproduct = CRLF cam\r\n",
        "[camera]\nproduct = Cam#2   # the second one\nvid_pid = 0x56 0x4F 52 4e 01\n",
        "[camera]\nselectable = no\nproduct_query = yes\nflash_type = 0\nregister.3965 = 0x83\n",
        "[faults]\nSonixCam_Init = once\nInit.0 = 2,3\nframe.drop = always\nframe.truncate = 1, 4\n"
        "frame.empty = once\nflash.corrupt = 2\nSonixCam_AsicRegisterRead.0x0F7D = always\n",
        "[camera]\nresolutions =\n",
    };
    for (const char* text : texts) EXPECT_EQ(SonixSim_LoadScenarioText(text), 0) << text << LastError();

    ASSERT_EQ(SonixSim_LoadScenarioText(texts[3]), 0);
    ASSERT_EQ(SonixCam_Init(0), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    EXPECT_EQ(Product(), "Cam#2") << "a '#' inside a text is kept, a blank before it starts a comment";
    uint8_t id[5] = {};
    ASSERT_EQ(SonixCam_GetVidPid(id, 5), 0);
    EXPECT_EQ(id[1], 0x4F);
    EXPECT_EQ(id[4], 0x01);

    // A scenario without cameras has none.
    ASSERT_EQ(SonixSim_LoadScenarioText("[sim]\nfps = 10\n"), 0);
    ASSERT_EQ(SonixCam_Init(0), 0);
    DeviceRecord records[5];
    int count = -1;
    ASSERT_EQ(SonixCam_EnumDevice(records, &count, 5), 0);
    EXPECT_EQ(count, 0);
    EXPECT_NE(SonixCam_SelectDevice(0), 0);
}

TEST_F(SimTest, RefusedScenarioIsNotHalfApplied) {
    Arrange("[camera]\nproduct = Kept\n");
    ASSERT_EQ(SonixCam_PropertySet(0, 17, 0), 0);
    // Valid lines before the bad one must not leak into the running state.
    EXPECT_NE(SonixSim_LoadScenarioText("[camera]\nproduct = Leaked\n[faults]\nSonixCam_GetProduct = always\nnope\n"),
              0);
    EXPECT_EQ(Product(), "Kept");
    int v = 0, f = 0;
    ASSERT_EQ(SonixCam_PropertyGet(0, &v, &f), 0);
    EXPECT_EQ(v, 17) << "the session and settings go on";
    ASSERT_EQ(SonixSim_LoadScenarioText("[camera]\nproduct = Fresh\n"), 0);
    EXPECT_EQ(LastError(), "") << "a good load clears the last error";
    EXPECT_EQ(Product(), "<failed>") << "loading starts a fresh session";
}

TEST_F(SimTest, ScenarioFileErrorsNameTheFile) {
    const std::string path = ::testing::TempDir() + "sim_bad_scenario.ini";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("[sim]\nfps = 20\n\n[camera]\nflash_type = lots\n", f);
    std::fclose(f);
    EXPECT_NE(SonixSim_LoadScenarioFile(path.c_str()), 0);
    EXPECT_EQ(LastError().rfind(path + ":5: ", 0), 0u) << LastError();

    f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("[camera]\nproduct = From file\n", f);
    std::fclose(f);
    ASSERT_EQ(SonixSim_LoadScenarioFile(path.c_str()), 0) << LastError();
    ASSERT_EQ(SonixCam_Init(0), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    EXPECT_EQ(Product(), "From file");
    std::remove(path.c_str());

    EXPECT_NE(SonixSim_LoadScenarioFile((path + ".missing").c_str()), 0);
    EXPECT_NE(LastError().find(path + ".missing"), std::string::npos) << LastError();
    EXPECT_NE(SonixSim_LoadScenarioFile(nullptr), 0);
    EXPECT_NE(SonixSim_LoadScenarioText(nullptr), 0);
}

TEST_F(SimTest, LoadingResetsFlashAndFaultCounters) {
    Arrange("[camera]\n[faults]\nSonixCam_PropertySet = 2\n");
    int v = 0;
    EXPECT_EQ(SonixCam_PropertySet(0, 1, 0), 0);
    std::vector<uint8_t> image = Image(32768, "Burned-Corvanith-300000");
    ASSERT_EQ(SonixCam_BurnerFW(image.data(), 32768, nullptr, nullptr, 1, 0), 0);
    ASSERT_EQ(SonixSim_ReadFlash(0, nullptr, 0), 32768);
    Arrange("[camera]\n[faults]\nSonixCam_PropertySet = 2\n");
    EXPECT_EQ(SonixCam_PropertySet(0, 1, 0), 0) << "counting starts again";
    EXPECT_NE(SonixCam_PropertySet(0, 1, 0), 0);
    EXPECT_NE(SonixSim_ReadFlash(0, nullptr, 0), 32768) << "a fresh flash";
    (void)v;
}

TEST_F(SimTest, FaultRulesSetWhileRunningCountFromThenOnAndKeepTheSession) {
    Arrange("[camera]\n[faults]\nSonixCam_PropertySet = always\n");
    ASSERT_NE(SonixCam_PropertySet(0, 5, 0), 0);
    ASSERT_EQ(SonixSim_SetFaults("SonixCam_PropertySet = 2\nControlSet.4 = once\n"), 0) << LastError();
    EXPECT_EQ(SonixCam_PropertySet(0, 5, 0), 0) << "the old rule is gone, the new one counts from 1";
    EXPECT_NE(SonixCam_PropertySet(0, 6, 0), 0);
    EXPECT_EQ(SonixCam_PropertySet(0, 7, 0), 0);
    EXPECT_EQ(SonixCam_ControlSet(0, 300, 2), 0) << "another first argument";
    EXPECT_NE(SonixCam_ControlSet(4, -5, 2), 0);
    EXPECT_EQ(SonixCam_ControlSet(4, -5, 2), 0);
    int v = 0, f = 0;
    ASSERT_EQ(SonixCam_PropertyGet(0, &v, &f), 0) << "still initialised and selected";
    EXPECT_EQ(v, 7) << "the last set that went through";

    // A refused text changes nothing; the header is allowed, other sections are not.
    ASSERT_EQ(SonixSim_SetFaults("[faults]\nPropertyGet = always\n"), 0) << LastError();
    EXPECT_NE(SonixSim_SetFaults("PropertyGet = never\n"), 0);
    EXPECT_EQ(LastError().rfind("<fault rules>:1: ", 0), 0u) << LastError();
    EXPECT_NE(SonixSim_SetFaults("[faults]\nGetProduct = once\n[camera]\nproduct = X\n"), 0);
    EXPECT_EQ(LastError().rfind("<fault rules>:3: ", 0), 0u) << LastError();
    EXPECT_NE(SonixSim_SetFaults(nullptr), 0);
    EXPECT_NE(SonixCam_PropertyGet(0, &v, &f), 0) << "the accepted rule stays";
    char product[64];
    EXPECT_EQ(SonixCam_GetProduct(product, sizeof product), 0);

    ASSERT_EQ(SonixSim_SetFaults(""), 0);
    EXPECT_EQ(SonixCam_PropertyGet(0, &v, &f), 0) << "an empty text clears every rule";
}
