// SonixCamera.ini beside the simulator library is read when no environment
// variable names a scenario. The library is copied into a folder of its own
// with an ini, and that copy is loaded, so no other test sees the ini.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <stdlib.h>
#endif

#include "sonix_camera.h"

namespace fs = std::filesystem;

namespace {

using InitFn = int(SONIX_API*)(int);
using SelectFn = int(SONIX_API*)(int);
using TextFn = int(SONIX_API*)(char*, int);

struct Library {
#ifdef _WIN32
    HMODULE handle = nullptr;
    explicit Library(const fs::path& p) { handle = LoadLibraryW(p.wstring().c_str()); }
    ~Library() {
        if (handle) FreeLibrary(handle);
    }
    void* Find(const char* name) { return reinterpret_cast<void*>(GetProcAddress(handle, name)); }
#else
    void* handle = nullptr;
    explicit Library(const fs::path& p) { handle = dlopen(p.c_str(), RTLD_NOW | RTLD_LOCAL); }
    ~Library() {
        if (handle) dlclose(handle);
    }
    void* Find(const char* name) { return dlsym(handle, name); }
#endif
};

fs::path BuiltLibrary() {
#ifdef _WIN32
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return fs::path(exe).parent_path() / "SonixCamera.dll";
#else
    return fs::path(SIM_LIBRARY_PATH);
#endif
}

std::string ProductOfCopyWith(const std::string& ini) {
    const fs::path folder = fs::path(::testing::TempDir()) / "sim_ini_copy";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path copy = folder / BuiltLibrary().filename();
    fs::copy_file(BuiltLibrary(), copy);
    if (!ini.empty()) {
        std::FILE* f = std::fopen((folder / "SonixCamera.ini").string().c_str(), "wb");
        if (!f) return "<no ini>";
        std::fputs(ini.c_str(), f);
        std::fclose(f);
    }
    std::string product = "<failed>";
    {
        Library lib(copy);
        if (!lib.handle) return "<not loaded>";
        auto init = reinterpret_cast<InitFn>(lib.Find("SonixCam_Init"));
        auto select = reinterpret_cast<SelectFn>(lib.Find("SonixCam_SelectDevice"));
        auto getProduct = reinterpret_cast<TextFn>(lib.Find("SonixCam_GetProduct"));
        if (!init || !select || !getProduct) return "<no exports>";
        char buf[64] = {};
        if (init(0) == 0 && select(0) == 0 && getProduct(buf, 64) == 0) product = buf;
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return product;
}

}  // namespace

TEST(SimIni, IniBesideTheLibraryChoosesTheScenario) {
#ifdef _WIN32
    SetEnvironmentVariableA("SONIXCAM_SIM", nullptr);
#else
    unsetenv("SONIXCAM_SIM");
#endif
    EXPECT_EQ(ProductOfCopyWith("[camera]\nproduct = Beside the library\n"), "Beside the library");
    // A broken ini leaves the built-in camera; so does none at all.
    const std::string builtIn = ProductOfCopyWith("");
    EXPECT_NE(builtIn, "<failed>");
    EXPECT_EQ(ProductOfCopyWith("[camera]\nproduct = Half\nnonsense\n"), builtIn);
}
