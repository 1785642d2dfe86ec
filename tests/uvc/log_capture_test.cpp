// The descriptor-level log capture that every library test relies on.
#include <cstdio>
#include <stdexcept>
#include <streambuf>

#include "uvc_fixture.h"

namespace vorn::test {
namespace {

// The library's wide lines must not stop narrow C output on the same stream
// from getting through afterwards (the test framework's own output is narrow).
TEST_F(SimulatorTest, CaptureSeparatesStreamsAndKeepsNarrowOutputAlive) {
    arrangeCamera("register.3965 = 01", "", Session::Selected);
    LogCapture capture;
    std::printf("narrow before\n");
    std::fflush(stdout);
    bool on = false;
    EXPECT_EQ(vorn_uvc_is_RegAWB_On(&on), 0);      // output stream
    EXPECT_EQ(vorn_uvc_set_RegAWB_Mode(true), 0);  // error stream
    std::printf("narrow after %d\n", 7);
    std::fflush(stdout);
    std::fprintf(stderr, "narrow error\n");
    const LogCapture::Result logs = capture.stop();
    EXPECT_EQ(logs.outLines(), (Lines{"narrow before", "bit[7] is  ONE ", "narrow after 7"}));
    EXPECT_EQ(logs.errLines(), (Lines{"current AWB mode is ON; no need to set AWB mode", "narrow error"}));
}

TEST_F(SimulatorTest, ConsecutiveCapturesSeeOnlyTheirOwnLines) {
    arrangeCamera("", "", Session::Selected);
    const Observed first = observe([] {
        bool open = true;
        return vorn_uvc_isOpenCamera(&open);
    });
    const Observed second = observe([] { return vorn_uvc_selectDevice(0); });
    EXPECT_EQ(first.out, Lines{"Camera is NOT OPEN!"});
    EXPECT_EQ(first.err, Lines{});
    EXPECT_EQ(second.out, Lines{});
    EXPECT_EQ(second.err, Lines{"Successfully select device"});
    EXPECT_EQ(second.trace, Lines{vendor("SonixCam_SelectDevice", "0")});
}

#ifndef _WIN32
// Natively the library shares this program's std::wcout, so a stream that
// throws can be slipped under it; on Windows the DLL has its own.
class ThrowingBuffer : public std::wstreambuf {
protected:
    int_type overflow(int_type) override { throw std::runtime_error("device gone"); }
};

TEST_F(SimulatorTest, ExceptionInsideAnExportBecomesCodeOne) {
    arrangeCamera("", "", Session::Open);
    ThrowingBuffer broken;
    const Observed seen = observe([&] {
        std::wstreambuf* original = std::wcout.rdbuf(&broken);
        const auto mask = std::wcout.exceptions();
        std::wcout.exceptions(std::ios::badbit);
        const int code = vorn_uvc_StartPreview();
        std::wcout.exceptions(mask);
        std::wcout.rdbuf(original);
        std::wcout.clear();
        return code;
    });
    EXPECT_EQ(seen.code, 1);
    EXPECT_EQ(seen.trace, Lines{vendor("SonixCam_StartPreview")});
    // No line is promised: the error stream is tied to the broken one.
}
#endif

TEST(SplitLines, HandlesCrLfAndMissingFinalNewline) {
    EXPECT_EQ(splitLines("a\r\nb\n\nc"), (Lines{"a", "b", "", "c"}));
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines("x\r"), Lines{"x\r"});
}

}  // namespace
}  // namespace vorn::test
