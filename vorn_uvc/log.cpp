#include "uvc_log.h"

namespace vorn::uvc {

std::wostream& logStream(Stream s) {
    return s == Stream::Out ? std::wcout : std::wcerr;
}

std::wstring widen(const char* text) {
    std::wstring wide;
    if (text == nullptr) return wide;
    for (const char* p = text; *p != '\0'; ++p) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    return wide;
}

int report(int status, const Outcome& outcome) {
    if (status != 0) {
        logErr(outcome.failure);
        return kFailed;
    }
    if (outcome.success != nullptr) logLine(outcome.successStream, outcome.success);
    return kOk;
}

}  // namespace vorn::uvc
