// The command line of vorn_ctl:
//   vorn_ctl [--device N] [--json] [--verbose] COMMAND [ARGS]
// Global options may stand before or after the command; "--" ends options.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::cli {

struct Invocation {
  int device = 1;  // the N-th usable camera, from 1
  bool json = false;
  bool verbose = false;
  bool help = false;     // --help: of the command when one is given
  bool version = false;
  std::string command;   // empty only with --help or --version
  std::vector<std::string> operands;
  std::optional<std::string> resolution;  // snapshot
  bool verify = false;                    // burn
  bool force = false;                     // save
};

struct ParseResult {
  std::optional<Invocation> invocation;
  std::string error;  // why there is none
};

// Arguments without the program name.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// The commands, in the order the usage lists them.
const std::vector<std::string_view>& CommandNames();
bool IsCommand(std::string_view name);

}  // namespace vorn::cli
