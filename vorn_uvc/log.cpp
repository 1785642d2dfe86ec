#include "uvc_log.h"

namespace vorn::uvc {

std::wostream& logStream(Stream s) {
    return s == Stream::Out ? std::wcout : std::wcerr;
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
