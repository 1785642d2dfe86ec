#include "sim_trace.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace sonix_sim {

namespace targ {
std::string Int(long v) { return std::to_string(v); }
std::string Out(const void* p) { return p ? "&" : "null"; }
std::string Window(const void* hwnd) { return hwnd ? "hwnd" : "null"; }
std::string Function(const void* fn) { return fn ? "fn" : "null"; }

std::string Bytes(const uint8_t* p, int count) {
    if (!p) return "null";
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "[";
    // A count the call will refuse anyway is not read from the caller.
    for (int i = 0; i < count && count <= 0x10000; ++i) {
        if (i) s += ' ';
        s += digits[p[i] >> 4];
        s += digits[p[i] & 0x0F];
    }
    return s + "]";
}
}  // namespace targ

std::FILE* OpenUtf8(const std::string& path, const char* mode) {
#ifdef _WIN32
    auto widen = [](const std::string& s) {
        std::wstring w(s.size() + 1, L'\0');
        int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
        w.resize(n > 0 ? n - 1 : 0);
        return w;
    };
    return _wfopen(widen(path).c_str(), widen(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

Trace::~Trace() { Close(); }

bool Trace::Open(const std::string& path) {
    Close();
    if (path.empty()) return true;
    file_ = OpenUtf8(path, "ab");
    return file_ != nullptr;
}

void Trace::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void Trace::Add(const std::string& function, const std::string& args, int status) {
    std::string line = function + "(" + args + ") = " + std::to_string(status) + "\n";
    text_ += line;
    if (file_) {
        std::fwrite(line.data(), 1, line.size(), file_);
        std::fflush(file_);
    }
}

}  // namespace sonix_sim
