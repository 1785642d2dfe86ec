// The usage of vorn_ctl and of each command.
#pragma once

#include <string>
#include <string_view>

namespace vorn::cli {

std::string Usage();
// The command's own help; the usage for a name that is no command.
std::string CommandHelp(std::string_view command);

}  // namespace vorn::cli
