// vorn_ctl's command line: the bytes split at zero bytes into arguments. An
// accepted line must hold together (a known command with its operand count,
// a camera number in range, a resolution that reads back), and the value
// readings must agree with their own output.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back().push_back(static_cast<char>(data[i]));
  }

  const vorn::cli::ParseResult r = vorn::cli::ParseCommandLine(args);
  if (r.invocation) {
    const vorn::cli::Invocation& inv = *r.invocation;
    if (inv.device < 1 || inv.device > 64) __builtin_trap();
    if (!inv.help && !inv.version && !vorn::cli::IsCommand(inv.command)) __builtin_trap();
    if (inv.resolution && !vorn::cli::ParseResolution(*inv.resolution)) __builtin_trap();
  } else if (r.error.empty()) {
    __builtin_trap();  // a refusal always says why
  }

  for (const std::string& a : args) {
    if (const auto v = vorn::cli::ParseInt(a); v && vorn::cli::ParseInt(std::to_string(*v)) != v) __builtin_trap();
    if (const auto res = vorn::cli::ParseResolution(a); res && (res->width <= 0 || res->height <= 0)) __builtin_trap();
    (void)vorn::cli::ParseSwitch(a);
  }
  return 0;
}
