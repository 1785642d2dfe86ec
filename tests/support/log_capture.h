// Captures what a test's code writes to the standard output and error
// streams, at the file-descriptor level. Swapping std::wcout's buffer is not
// enough: a Windows DLL links its own copy of the C++ runtime and so its own
// std::wcout, but all of them end up on the same C runtime descriptors 1 and 2.
//
// Call prepareStreamsForCapture() first thing in main(): natively it stops the
// C++ wide streams from writing through C stdio, which would otherwise make
// stdout wide-oriented and silently swallow every later printf (gtest's
// output among them).
#ifndef VORN_TESTS_LOG_CAPTURE_H
#define VORN_TESTS_LOG_CAPTURE_H

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vorn::test {

inline void prepareStreamsForCapture() {
    std::ios::sync_with_stdio(false);
}

// Splits captured text into lines; a trailing newline ends the last line
// rather than starting an empty one, and CRLF counts as one newline.
inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

class LogCapture {
public:
    struct Result {
        std::string out;
        std::string err;
        std::vector<std::string> outLines() const { return splitLines(out); }
        std::vector<std::string> errLines() const { return splitLines(err); }
    };

    LogCapture() {
        flushAll();
        out_ = Redirect(1, "out");
        err_ = Redirect(2, "err");
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    ~LogCapture() {
        if (!stopped_) {
            try {
                stop();
            } catch (...) {
            }
        }
    }

    // Restores the descriptors and returns what was written meanwhile.
    Result stop() {
        if (stopped_) return result_;
        stopped_ = true;
        flushAll();
        result_.out = out_.restore();
        result_.err = err_.restore();
        return result_;
    }

private:
    // A stream left broken (or throwing) by the code under test must not
    // keep the descriptors redirected.
    static void flushAll() noexcept {
        const auto quietly = [](auto& stream) {
            try {
                stream.flush();
            } catch (...) {
            }
        };
        quietly(std::wcout);
        quietly(std::wcerr);
        quietly(std::cout);
        quietly(std::cerr);
        std::fflush(stdout);
        std::fflush(stderr);
    }

    class Redirect {
    public:
        Redirect() = default;
        Redirect(int fd, const char* tag) : fd_(fd) {
            static int serial = 0;
            std::ostringstream name;
            name << "vorn-log-" << processId() << '-' << ++serial << '-' << tag << ".txt";
            path_ = std::filesystem::temp_directory_path() / name.str();
#ifdef _WIN32
            // Text mode, like a console: the C runtime turns wide characters
            // into bytes only on text-mode descriptors.
            const int file = _wopen(path_.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_TEXT, _S_IREAD | _S_IWRITE);
            saved_ = _dup(fd);
            if (file < 0 || saved_ < 0 || _dup2(file, fd) != 0) throw std::runtime_error("log capture failed");
            _close(file);
#else
            const int file = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            saved_ = ::dup(fd);
            if (file < 0 || saved_ < 0 || ::dup2(file, fd) < 0) throw std::runtime_error("log capture failed");
            ::close(file);
#endif
        }

        std::string restore() {
            if (saved_ < 0) return {};
#ifdef _WIN32
            _dup2(saved_, fd_);
            _close(saved_);
#else
            ::dup2(saved_, fd_);
            ::close(saved_);
#endif
            saved_ = -1;
            std::ifstream in(path_, std::ios::binary);
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            in.close();
            std::error_code ignored;
            std::filesystem::remove(path_, ignored);
            // Text-mode descriptors on Windows write CRLF.
            std::string lf;
            lf.reserve(text.size());
            for (std::size_t i = 0; i < text.size(); ++i)
                if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf.push_back(text[i]);
            return lf;
        }

    private:
        static long processId() {
#ifdef _WIN32
            return static_cast<long>(_getpid());
#else
            return static_cast<long>(::getpid());
#endif
        }

        int fd_ = -1;
        int saved_ = -1;
        std::filesystem::path path_;
    };

    Redirect out_;
    Redirect err_;
    bool stopped_ = false;
    Result result_;
};

}  // namespace vorn::test

#endif
