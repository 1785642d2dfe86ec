// The record of vendor calls: one line per call, kept in memory and, when the
// scenario names a file, appended to it and flushed at once so that a crashed
// run still leaves its trace.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace sonix_sim {

// Builders for the argument list of a trace line.
namespace targ {
std::string Int(long v);
std::string Out(const void* p);                       // "&" or "null"
std::string Bytes(const uint8_t* p, int count);       // "[0F A6]" or "null"
std::string Window(const void* hwnd);                 // "hwnd" or "null"
std::string Function(const void* fn);                 // "fn" or "null"
}  // namespace targ

class Trace {
public:
    Trace() = default;
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    // Opens the file for appending; an empty path writes memory only.
    // Returns false (and keeps memory-only) when the file cannot be opened.
    bool Open(const std::string& path);
    void Close();
    void Clear() { text_.clear(); }
    void Add(const std::string& function, const std::string& args, int status);
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    std::FILE* file_ = nullptr;
};

// fopen for a UTF-8 path (wide API on Windows).
std::FILE* OpenUtf8(const std::string& path, const char* mode);

}  // namespace sonix_sim
