// Runs one library call against a freshly loaded simulated camera and records
// what it did: the return code, the vendor calls in the simulator's trace and
// the lines on each log stream.
#ifndef VORN_TESTS_UVC_FIXTURE_H
#define VORN_TESTS_UVC_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "log_capture.h"
#include "sim_trace.h"
#include "vorn_uvc.h"

namespace vorn::test {

using Lines = std::vector<std::string>;

// How far the session is brought, through vendor calls, before the call runs.
enum class Session { Loaded, Initialised, Selected, Open, Previewing };

struct Registers {
    int address;
    std::vector<uint8_t> bytes;
};

struct UvcCase {
    const char* name;
    std::string camera;  // extra lines of the camera section
    std::string faults;  // lines of the [faults] section
    Session session;
    std::function<int()> call;
    int code;
    Lines trace;
    Lines out;
    Lines err;
    std::vector<Registers> registersAfter = {};
};

inline std::ostream& operator<<(std::ostream& os, const UvcCase& c) {
    return os << c.name;
}

struct Observed {
    int code = -1;
    Lines trace;
    Lines out;
    Lines err;
};

// Builders for the simulator's trace lines, e.g. "SonixCam_PropertySet(0, 40, 0) = 0".
constexpr int kFault = 1;  // status the simulator returns for an injected failure

inline std::string vendor(const std::string& function, const std::string& args = "", int status = 0) {
    return function + "(" + args + ") = " + std::to_string(status);
}

inline std::string regRead(int address, int count, int status = 0) {
    return vendor("SonixCam_AsicRegisterRead", std::to_string(address) + ", &, " + std::to_string(count), status);
}

inline std::string regWrite(int address, const std::vector<uint8_t>& bytes, int status = 0) {
    static const char* hex = "0123456789ABCDEF";
    std::string list;
    for (uint8_t b : bytes) {
        if (!list.empty()) list += ' ';
        list += hex[b >> 4];
        list += hex[b & 15];
    }
    return vendor("SonixCam_AsicRegisterWrite",
                  std::to_string(address) + ", [" + list + "], " + std::to_string(bytes.size()), status);
}

constexpr int kModeAddress = 3965;

// Loads a scenario with one camera (the given extra lines) and the faults,
// brings the session up to the given state, then clears the trace.
inline void arrangeCamera(const std::string& camera, const std::string& faults, Session session) {
    const std::string text = "[camera]\n" + camera + "\n[faults]\n" + faults + "\n";
    ASSERT_EQ(SonixSim_LoadScenarioText(text.c_str()), 0) << simLastError() << "\n" << text;
    if (session >= Session::Initialised) {
        ASSERT_EQ(SonixCam_Init(0), 0);
    }
    if (session >= Session::Selected) {
        ASSERT_EQ(SonixCam_SelectDevice(0), 0);
    }
    if (session >= Session::Open) {
        ASSERT_EQ(SonixCam_OpenCamera(nullptr, 0, nullptr), 0);
    }
    if (session >= Session::Previewing) {
        ASSERT_EQ(SonixCam_StartPreview(), 0);
    }
    SonixSim_ClearTrace();
}

inline Observed observe(const std::function<int()>& call) {
    Observed seen;
    SonixSim_ClearTrace();
    LogCapture capture;
    seen.code = call();
    const LogCapture::Result logs = capture.stop();
    seen.out = logs.outLines();
    seen.err = logs.errLines();
    seen.trace = simTrace();
    return seen;
}

inline std::vector<uint8_t> peek(int address, std::size_t count) {
    std::vector<uint8_t> bytes(count, 0);
    EXPECT_EQ(SonixSim_PeekRegisters(0, address, bytes.data(), static_cast<int>(count)), 0);
    return bytes;
}

inline void poke(int address, std::vector<uint8_t> bytes) {
    ASSERT_EQ(SonixSim_PokeRegisters(0, address, bytes.data(), static_cast<int>(bytes.size())), 0);
}

inline void runCase(const UvcCase& c) {
    arrangeCamera(c.camera, c.faults, c.session);
    if (::testing::Test::HasFatalFailure()) return;
    const Observed seen = observe(c.call);
    EXPECT_EQ(seen.code, c.code);
    EXPECT_EQ(seen.trace, c.trace);
    EXPECT_EQ(seen.out, c.out) << "output stream";
    EXPECT_EQ(seen.err, c.err) << "error stream";
    for (const Registers& r : c.registersAfter)
        EXPECT_EQ(peek(r.address, r.bytes.size()), r.bytes) << "registers at " << r.address;
}

// Call shapes for the case tables. Out-flags are checked through a four-byte
// buffer: the library must write exactly one byte, 0 or 1, and only on success.
constexpr uint8_t kUntouched = 0x5A;
constexpr int kUntouchedInt = -12345;

inline std::function<int()> readsBool(int (*fn)(bool*), bool expected) {
    return [=] {
        uint8_t bytes[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
        const int code = fn(reinterpret_cast<bool*>(bytes));
        EXPECT_EQ(bytes[0], expected ? 1 : 0);
        EXPECT_EQ(bytes[1], kUntouched);
        EXPECT_EQ(bytes[3], kUntouched);
        return code;
    };
}
inline std::function<int()> leavesBool(int (*fn)(bool*)) {
    return [=] {
        uint8_t bytes[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
        const int code = fn(reinterpret_cast<bool*>(bytes));
        EXPECT_EQ(bytes[0], kUntouched) << "flag written on failure";
        return code;
    };
}
inline std::function<int()> readsInt(int (*fn)(int*), int expected) {
    return [=] {
        int value = kUntouchedInt;
        const int code = fn(&value);
        EXPECT_EQ(value, expected);
        return code;
    };
}
inline std::function<int()> leavesInt(int (*fn)(int*)) {
    return readsInt(fn, kUntouchedInt);
}
inline std::function<int()> setsBool(int (*fn)(bool), bool on) {
    return [=] { return fn(on); };
}
inline std::function<int()> setsInt(int (*fn)(int), int value) {
    return [=] { return fn(value); };
}

// Tears the simulated session down between tests so no camera stays open.
class SimulatorTest : public ::testing::Test {
protected:
    void TearDown() override { SonixSim_ResetDefault(); }
};

class UvcCaseTest : public ::testing::TestWithParam<UvcCase> {
protected:
    void TearDown() override { SonixSim_ResetDefault(); }
};

inline std::string caseName(const ::testing::TestParamInfo<UvcCase>& info) {
    return info.param.name;
}

}  // namespace vorn::test

#endif
