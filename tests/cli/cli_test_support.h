// Runs vorn_ctl's commands in-process over the simulated camera, capturing
// its two streams, the library's log lines and the simulator's trace.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/run.h"
#include "log_capture.h"
#include "sim_trace.h"
#include "sonix_sim.h"
#include "temp_dir.h"

namespace vorn::cli::test {

struct RunResult {
  int code = -1;
  std::string out;  // vorn_ctl's standard output
  std::string err;  // its messages
  std::string log;  // the library's lines, both streams
  std::vector<std::string> trace;
};

inline std::string ReadText(const std::filesystem::path& p) {
  std::string text = ReadBytes(p);
  // Text-mode streams on Windows write CR LF.
  std::string lf;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf.push_back(text[i]);
  return lf;
}

inline RunResult RunCli(const std::vector<std::string>& args, bool errIsTerminal = false,
                        const std::filesystem::path& historyFile = {}, const std::filesystem::path& userFolder = {}) {
  TempDir dir;
  RunResult r;
  Console console;
  console.out = vorn::files::Open(dir.path() / "out.txt", "w");
  console.err = vorn::files::Open(dir.path() / "err.txt", "w");
  console.errIsTerminal = errIsTerminal;
  console.historyFile = historyFile;
  console.userFolder = userFolder;
  SonixSim_ClearTrace();
  {
    vorn::test::LogCapture capture;
    r.code = Run(args, console);
    const auto logs = capture.stop();
    r.log = logs.out + logs.err;
  }
  r.trace = vorn::test::simTrace();
  std::fclose(console.out);
  std::fclose(console.err);
  r.out = ReadText(dir.path() / "out.txt");
  r.err = ReadText(dir.path() / "err.txt");
  return r;
}

inline void LoadScenario(const std::string& text) {
  ASSERT_EQ(SonixSim_LoadScenarioText(text.c_str()), 0) << vorn::test::simLastError() << "\n" << text;
}

inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

inline size_t Count(const std::vector<std::string>& lines, const std::string& prefix) {
  size_t n = 0;
  for (const std::string& l : lines) n += l.rfind(prefix, 0) == 0;
  return n;
}

class CliTest : public ::testing::Test {
protected:
  void SetUp() override { SonixSim_ResetDefault(); }
  void TearDown() override { SonixSim_ResetDefault(); }
  TempDir dir_;
};

}  // namespace vorn::cli::test
