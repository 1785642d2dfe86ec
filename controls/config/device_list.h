// The cameras the library lists, the rules that make a slot usable, and
// telling whether a given camera is still there. Shared by the window's
// start-up, its device-change handling and the burn's restart.
#pragma once

#include <string>

#include "vorn_uvc.h"

namespace vorn::devices {

// Device paths name the same device whatever the letter case.
bool SamePath(const char* a, const char* b);

struct Slots {
    int count = 0;       // listed, at most VORN_UVC_MAX_DEVICES
    int usable = 0;      // of them, usable
    int first = -1;      // the first usable slot, -1 for none
    bool valid[VORN_UVC_MAX_DEVICES] = {};
};

// Lists the cameras into records and checks each slot: usable when it can
// be selected and answers the product query. Leaves the last slot selected.
Slots ListAndCheck(DeviceRecord* records);

// Lists the cameras into records only (no selection, so a running camera
// is not disturbed). Returns the count, 0 when the list can't be read.
int ListOnly(DeviceRecord* records);

// Slot of the camera with this path in records, -1 when it is not there.
int FindPath(const DeviceRecord* records, int count, const char* path);

// True while the camera with this path is listed.
bool IsListed(const std::string& path);

}  // namespace vorn::devices
