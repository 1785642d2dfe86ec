// vorn_ctl: the camera from a command line and from scripts.
#include <iostream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/console.h"
#include "cli/run.h"
#include "config/remembered_settings.h"
#include "firmware/firmware_history.h"

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

std::filesystem::path ProgramFolder() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return {};
  path.resize(n);
  return std::filesystem::path(path).parent_path();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
#else
namespace {

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  // The library's wide lines must not make the C stdout wide-oriented.
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
#endif
  const vorn::cli::ParseResult parsed = vorn::cli::ParseCommandLine(args);
  const bool verbose = parsed.invocation && parsed.invocation->verbose;
  vorn::cli::LogRedirect redirect(verbose);
  vorn::cli::Console console = redirect.console();
  // Beside the program, as the window keeps it, so a bench burned from a
  // script is in the same history.
  if (const std::filesystem::path folder = ProgramFolder(); !folder.empty())
    console.historyFile = folder / vorn::firmware::kHistoryFileName;
  console.userFolder = vorn::config::DefaultUserFolder();
  return vorn::cli::Run(args, console);
}
