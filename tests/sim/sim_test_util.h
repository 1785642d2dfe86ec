// Shared helpers of the simulated camera's tests that go through the exports.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "sonix_sim.h"

namespace simtest {

inline std::vector<std::string> Trace() {
    int n = SonixSim_GetTrace(nullptr, 0);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    SonixSim_GetTrace(text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline std::string LastError() {
    char buf[2048] = {};
    SonixSim_LastError(buf, sizeof buf);
    return buf;
}

inline std::string Version() {
    char buf[64] = {};
    return SonixCam_GetFwVersion(buf, sizeof buf, 1) == 0 ? std::string(buf) : std::string("<failed>");
}

// Loads the scenario, initialises and selects camera 0, clears the trace.
inline void Arrange(const std::string& scenario, bool select = true) {
    ASSERT_EQ(SonixSim_LoadScenarioText(scenario.c_str()), 0) << LastError();
    if (select) {
        ASSERT_EQ(SonixCam_Init(0), 0);
        ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    }
    SonixSim_ClearTrace();
}

inline std::vector<uint8_t> Peek(int address, int count, int camera = 0) {
    std::vector<uint8_t> b(static_cast<size_t>(count));
    EXPECT_EQ(SonixSim_PeekRegisters(camera, address, b.data(), count), 0);
    return b;
}

inline int Gain(int address) {
    auto b = Peek(address, 2);
    return (b[0] & 3) * 256 + b[1];
}

// A ROM image of the size, carrying the version text where the camera
// looks for it, with a recognisable body.
inline std::vector<uint8_t> Image(size_t size, const std::string& version, uint8_t seed = 1) {
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 131u + seed);
    image[0] = 'S';
    image[1] = 'N';
    const std::string record = "VVER" + version;
    for (size_t i = 0; i < record.size(); ++i) image[0x100 + i] = static_cast<uint8_t>(record[i]);
    image[0x100 + record.size()] = 0;
    return image;
}

class SimTest : public ::testing::Test {
protected:
    void TearDown() override { SonixSim_ResetDefault(); }
};

}  // namespace simtest
