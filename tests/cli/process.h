// Starts the real vorn_ctl program with its standard output and error in
// two files and waits for it: posix_spawn natively, CreateProcessW on
// Windows, where the program sits beside the test.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace vorn::cli::test {

struct ProcessResult {
  int code = -1;
  std::string out;
  std::string err;
};

#ifdef _WIN32
inline std::wstring Wide(const std::string& s) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, w.data(), n);
  w.pop_back();
  return w;
}

inline std::filesystem::path ProgramPath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path() / L"vorn_ctl.exe";
}

// Quoted as the C runtime's argument splitting reads it back.
inline std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring q = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') q.append(backslashes * 2 + 1, L'\\');
    else q.append(backslashes, L'\\');
    backslashes = 0;
    q.push_back(c);
  }
  q.append(backslashes * 2, L'\\');
  return q + L"\"";
}

inline HANDLE OpenForChild(const std::filesystem::path& p) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

inline int Spawn(const std::vector<std::string>& args, const std::filesystem::path& out,
                 const std::filesystem::path& err, DWORD timeoutMs) {
  std::wstring command = QuoteArgument(ProgramPath().wstring());
  for (const std::string& a : args) command += L" " + QuoteArgument(Wide(a));
  HANDLE hOut = OpenForChild(out), hErr = OpenForChild(err);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = hOut;
  si.hStdError = hErr;
  PROCESS_INFORMATION pi = {};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(hOut);
  CloseHandle(hErr);
  if (!started) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  else TerminateProcess(pi.hProcess, 99);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}
#else
inline int Spawn(const std::vector<std::string>& args, const std::filesystem::path& out,
                 const std::filesystem::path& err, unsigned /*timeoutMs: ctest's timeout ends a hang*/) {
  std::vector<std::string> all = {VORN_CTL_PROGRAM};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
#endif

// Sets a variable for the programs started afterwards.
inline void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
  SetEnvironmentVariableW(Wide(name).c_str(), Wide(value).c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

}  // namespace vorn::cli::test
