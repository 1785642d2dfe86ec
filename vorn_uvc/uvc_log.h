// Internal frame shared by every export: return codes, the two log streams
// and the guard that keeps exceptions from crossing the C boundary.
#ifndef VORN_UVC_LOG_H
#define VORN_UVC_LOG_H

#include <iostream>

namespace vorn::uvc {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kOutOfRange = 5;

enum class Stream { Out, Err };

std::wostream& logStream(Stream s);

// One log line: the texts and numbers in order, then std::endl (newline and
// flush), so lines interleave correctly with the caller's own output.
template <class... Parts>
void logLine(Stream s, const Parts&... parts) {
    std::wostream& os = logStream(s);
    (os << ... << parts);
    os << std::endl;
}

template <class... Parts>
void logOut(const Parts&... parts) {
    logLine(Stream::Out, parts...);
}

template <class... Parts>
void logErr(const Parts&... parts) {
    logLine(Stream::Err, parts...);
}

// Runs an export's body; anything thrown becomes code 1.
template <class Body>
int guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        try {
            logErr(L"Unexpected failure in camera library");
        } catch (...) {
        }
        return kFailed;
    }
}

// The shape of most exports: a vendor status, a failure line on the error
// stream, and an optional success line on a chosen stream.
struct Outcome {
    const wchar_t* failure;
    const wchar_t* success = nullptr;
    Stream successStream = Stream::Out;
};

int report(int status, const Outcome& outcome);

}  // namespace vorn::uvc

#endif
