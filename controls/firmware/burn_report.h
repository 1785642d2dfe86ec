// What the burn's worker tells the main window when a burn is over. Sent, not
// posted: the window thread handles it while the worker waits, so the report
// it points to stays alive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

inline constexpr UINT WM_VORN_BURN_FINISHED = WM_APP + 0x130;

struct BurnReport {
    bool burned = false;     // the burn call succeeded
    bool restarted = false;  // and the restart sequence too
    std::wstring imagePath;
    int32_t imageSize = 0;
    bool verify = false;
};
