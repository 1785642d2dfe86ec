#include "config/device_list.h"

#include <cctype>
#include <memory>

namespace vorn::devices {
namespace {

constexpr int kProductBufferSize = 100;

}  // namespace

bool SamePath(const char* a, const char* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

int ListOnly(DeviceRecord* records) {
    int count = 0;
    if (vorn_uvc_getEnumDevice(records, &count) != 0) return 0;
    if (count < 0) return 0;
    return count > VORN_UVC_MAX_DEVICES ? VORN_UVC_MAX_DEVICES : count;
}

Slots ListAndCheck(DeviceRecord* records) {
    Slots slots;
    int count = 0;
    vorn_uvc_getEnumDevice(records, &count);
    // The table has room for VORN_UVC_MAX_DEVICES entries only.
    slots.count = count < 0 ? 0 : count > VORN_UVC_MAX_DEVICES ? VORN_UVC_MAX_DEVICES : count;
    for (int i = 0; i < slots.count; ++i) {
        char product[kProductBufferSize] = {};
        if (vorn_uvc_selectDevice(i) == 0 && vorn_uvc_get_product(product, kProductBufferSize) == 0) {
            if (slots.usable == 0) slots.first = i;
            ++slots.usable;
            slots.valid[i] = true;
        }
    }
    return slots;
}

int FindPath(const DeviceRecord* records, int count, const char* path) {
    for (int i = 0; i < count; ++i)
        if (SamePath(records[i].devicePath, path)) return i;
    return -1;
}

bool IsListed(const std::string& path) {
    auto records = std::make_unique<DeviceRecord[]>(VORN_UVC_MAX_DEVICES);
    const int count = ListOnly(records.get());
    return FindPath(records.get(), count, path.c_str()) >= 0;
}

}  // namespace vorn::devices
