// vorn_ctl: the camera from a command line and from scripts.
#include <iostream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/console.h"
#include "cli/run.h"

#ifdef _WIN32
#include <windows.h>

namespace {

std::string ToUtf8(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
#else
int main(int argc, char** argv) {
  // The library's wide lines must not make the C stdout wide-oriented.
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
#endif
  const vorn::cli::ParseResult parsed = vorn::cli::ParseCommandLine(args);
  const bool verbose = parsed.invocation && parsed.invocation->verbose;
  vorn::cli::LogRedirect redirect(verbose);
  return vorn::cli::Run(args, redirect.console());
}
