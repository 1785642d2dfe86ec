// The scenario named by SONIXCAM_SIM is what the library starts with. One
// test per program: the scenario is read on the library's first use.
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "sim_test_util.h"

using namespace simtest;

TEST(SimEnvironment, FirstUseLoadsTheNamedScenario) {
    const std::string path = ::testing::TempDir() + "sim_env_scenario.ini";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("[camera]\nproduct = From the environment\nfirmware = Env-Corvanith-250101\n", f);
    std::fclose(f);
#ifdef _WIN32
    ASSERT_TRUE(SetEnvironmentVariableA("SONIXCAM_SIM", path.c_str()));
#else
    ASSERT_EQ(setenv("SONIXCAM_SIM", path.c_str(), 1), 0);
#endif
    ASSERT_EQ(SonixCam_Init(0), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    char product[64] = {};
    ASSERT_EQ(SonixCam_GetProduct(product, 64), 0);
    EXPECT_STREQ(product, "From the environment");
    EXPECT_EQ(Version(), "Env-Corvanith-250101");
    std::remove(path.c_str());
}
