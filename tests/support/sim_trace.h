// Reads the simulated camera's in-memory call trace as lines.
#ifndef VORN_TESTS_SIM_TRACE_H
#define VORN_TESTS_SIM_TRACE_H

#include <string>
#include <vector>

#include "log_capture.h"
#include "sonix_sim.h"

namespace vorn::test {

inline std::vector<std::string> simTrace() {
    const int length = SonixSim_GetTrace(nullptr, 0);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SonixSim_GetTrace(text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return splitLines(text);
}

inline std::string simLastError() {
    char buf[1024] = {};
    SonixSim_LastError(buf, sizeof buf);
    return buf;
}

}  // namespace vorn::test

#endif
