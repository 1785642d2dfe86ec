// A long live picture in the real main window: frames from the simulated
// camera at its highest rate with a snapshot every 100 frames. Afterwards
// the process's memory, handles and GDI objects are back near where they
// were once the picture ran. VORN_SOAK_FRAMES sets the number of frames
// (100,000 when unset).
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "camera_test_support.h"
#include "sonix_sim.h"

namespace vorn::test {
namespace {

namespace fs = std::filesystem;

struct Usage {
    size_t privateBytes = 0;
    size_t workingSet = 0;
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
};

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// Wine answers 0 to GetProcessHandleCount; the system's handle table,
// which it does keep, gives the count.
DWORD HandlesInSystemTable() {
    struct Entry {
        ULONG pid;
        BYTE type;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<BYTE> buffer(1 << 16);
    ULONG got = 0;
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &got)) ==
           kLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(PVOID));
    DWORD mine = 0;
    for (ULONG i = 0; i < count; ++i) mine += entries[i].pid == GetCurrentProcessId();
    return mine;
}

// Wine answers 0 to GetGuiResources; its per-process GDI handle table,
// reached from the process block as on Windows, gives the count.
DWORD GdiObjectsInWineTable() {
    struct Entry {
        uint64_t object;
        USHORT pid;
        USHORT count;
        USHORT unique;
        UCHAR type;
        UCHAR flags;
        uint64_t user;
    };
    struct BasicInformation {
        LONG exitStatus;
        BYTE* peb;
        ULONG_PTR affinity;
        LONG basePriority;
        ULONG_PTR pid;
        ULONG_PTR parentPid;
    } info = {};
    using Query = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query || query(GetCurrentProcess(), 0, &info, sizeof info, nullptr) != 0 || !info.peb) return 0;
    // GdiSharedHandleTable in the 32-bit and the 64-bit process block
    constexpr size_t kTableOffset = sizeof(void*) == 4 ? 0x94 : 0xF8, kEntries = 0x10000;
    const auto* table = *reinterpret_cast<const Entry* const*>(info.peb + kTableOffset);
    if (!table) return 0;
    DWORD used = 0;
    for (size_t i = 0; i < kEntries; ++i) used += table[i].type != 0;
    return used;
}

Usage Measure() {
    Usage u;
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
        // Wine leaves PrivateUsage 0; on Windows it equals PagefileUsage.
        u.privateBytes = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
        u.workingSet = pmc.WorkingSetSize;
    }
    GetProcessHandleCount(GetCurrentProcess(), &u.handles);
    if (u.handles == 0) u.handles = HandlesInSystemTable();
    u.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (u.gdiObjects == 0 && UnderWine()) u.gdiObjects = GdiObjectsInWineTable();
    u.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return u;
}

void Print(const char* when, const Usage& u) {
    std::printf("%s: private bytes %zu KiB, working set %zu KiB, handles %lu, GDI objects %lu, USER objects %lu\n",
                when, u.privateBytes / 1024, u.workingSet / 1024, static_cast<unsigned long>(u.handles),
                static_cast<unsigned long>(u.gdiObjects), static_cast<unsigned long>(u.userObjects));
    std::fflush(stdout);
}

uint64_t Delivered() {
    uint64_t n = 0;
    SonixSim_FramesDelivered(&n);
    return n;
}

uint64_t FramesWanted() {
    const char* env = std::getenv("VORN_SOAK_FRAMES");
    const long long n = env ? std::atoll(env) : 0;
    return n > 0 ? static_cast<uint64_t>(n) : 100000u;
}

class SoakTest : public CameraWindowTest {
protected:
    fs::path Images() const { return fs::path(ProgramFolder()) / L"images"; }

    // Runs the picture for `frames` more frames, saving a snapshot each 100.
    // Snapshots are removed as they come so the disk does not fill.
    void Run(uint64_t frames, int& snapshots, bool progress = false) {
        const uint64_t start = Delivered();
        uint64_t nextSnapshot = start + 100;
        uint64_t nextReport = start + 10000;
        // Generous: at the lowest rate a loaded machine gave, ten frames a second.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60 + frames / 10);
        while (Delivered() < start + frames) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline)
                << (Delivered() - start) << " of " << frames << " frames arrived";
            Pump(std::chrono::milliseconds(5));
            if (progress && Delivered() >= nextReport) {
                std::printf("%llu frames: ", static_cast<unsigned long long>(Delivered() - start));
                Print("now", Measure());
                nextReport += 10000;
            }
            if (Delivered() >= nextSnapshot) {
                Click(IDC_SNAPSHOT_SAVE);
                ++snapshots;
                nextSnapshot += 100;
                std::error_code ignored;
                for (const auto& e : fs::directory_iterator(Images(), ignored)) fs::remove(e.path(), ignored);
            }
        }
    }
};

TEST_F(SoakTest, LongLivePictureGivesBackMemoryHandlesAndGdiObjects) {
    LoadScenario("[sim]\nfps = 240\n[camera]\nresolutions = 320x240\n");
    ASSERT_TRUE(Start());
    ::ShowWindow(Hwnd(), SW_SHOW);
    Click(IDC_START_CAMERA);
    ASSERT_EQ(CaptionOfStart(), L"Stop Camera");
    ASSERT_TRUE(WaitForFrame());

    // Warm-up: the first frames and snapshots load codecs and fill caches.
    int snapshots = 0;
    Run(1000, snapshots);
    if (HasFatalFailure()) return;
    ASSERT_EQ(snapshots, 10);
    const Usage before = Measure();
    Print("after the warm-up", before);
    {
        // The counters must see objects come and go, or the bounds below
        // would hold whatever happened.
        HBRUSH brushes[10];
        HANDLE events[10];
        for (int i = 0; i < 10; ++i) {
            brushes[i] = CreateSolidBrush(RGB(i, 0, 0));
            events[i] = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        }
        const Usage probe = Measure();
        for (int i = 0; i < 10; ++i) {
            DeleteObject(brushes[i]);
            CloseHandle(events[i]);
        }
        ASSERT_GE(probe.handles, before.handles + 10) << "the handle count does not follow new handles";
        ASSERT_GE(probe.gdiObjects, before.gdiObjects + 10) << "the GDI object count does not follow new objects";
    }

    const uint64_t frames = FramesWanted();
    const auto started = std::chrono::steady_clock::now();
    snapshots = 0;
    Run(frames, snapshots, true);
    if (HasFatalFailure()) return;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(static_cast<uint64_t>(snapshots), frames / 100);
    EXPECT_EQ(Dlg().m_statusText.find(L"Failed"), std::wstring::npos);
    Pump(std::chrono::milliseconds(200));
    const Usage after = Measure();
    Print("after the soak", after);
    std::printf("%llu frames and %d snapshots in %.1f s (%.1f frames a second)\n",
                static_cast<unsigned long long>(frames), snapshots, seconds, frames / seconds);

    // The status text keeps a line per snapshot; a leaked frame per
    // snapshot alone would pass a bound well above that.
    const size_t statusBytes = static_cast<size_t>(snapshots) * 200 * 3;
    EXPECT_LE(after.privateBytes, before.privateBytes + statusBytes + 4u * 1024 * 1024);
    EXPECT_LE(after.workingSet, before.workingSet + statusBytes + 8u * 1024 * 1024);
    EXPECT_LE(after.handles, before.handles + 8);
    EXPECT_LE(after.gdiObjects, before.gdiObjects + 4);
    EXPECT_LE(after.userObjects, before.userObjects + 4);

    Click(IDC_START_CAMERA);
    EXPECT_EQ(CaptionOfStart(), L"Start Camera");
}

}  // namespace
}  // namespace vorn::test
