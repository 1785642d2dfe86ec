// Finding the scenario when the library loads.
#include "sim_simulator.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace sonix_sim {

namespace {

#ifdef _WIN32
std::string Narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.resize(n > 0 ? n - 1 : 0);
    return s;
}
#endif

// Folder of the module this code is linked into (the DLL / .so), with a
// trailing separator; empty when it cannot be told.
std::string ModuleFolder() {
#ifdef _WIN32
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&ModuleFolder), &module))
        return {};
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size()) return {};
    path.resize(n);
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : Narrow(path.substr(0, slash + 1));
#else
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) || !info.dli_fname) return {};
    std::string path = info.dli_fname;
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
#endif
}

std::string EnvironmentPath() {
#ifdef _WIN32
    // The process environment itself, not a C runtime's copy of it.
    DWORD n = GetEnvironmentVariableW(L"SONIXCAM_SIM", nullptr, 0);
    if (n == 0) return {};
    std::wstring v(n, L'\0');
    n = GetEnvironmentVariableW(L"SONIXCAM_SIM", v.data(), n);
    v.resize(n);
    return Narrow(v);
#else
    const char* v = std::getenv("SONIXCAM_SIM");
    return v ? std::string(v) : std::string();
#endif
}

}  // namespace

std::string ScenarioPathAtLoad() {
    std::string env = EnvironmentPath();
    if (!env.empty()) return env;
    std::string folder = ModuleFolder();
    if (folder.empty()) return {};
    std::string ini = folder + "SonixCamera.ini";
    std::FILE* f = OpenUtf8(ini, "rb");
    if (!f) return {};
    std::fclose(f);
    return ini;
}

}  // namespace sonix_sim
