// One run of vorn_ctl over already separated streams.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"

namespace vorn::cli {

// The arguments without the program name; gives the exit code.
int Run(const std::vector<std::string>& args, const Console& console);

}  // namespace vorn::cli
