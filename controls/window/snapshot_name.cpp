#include "window/snapshot_name.h"

namespace vorn {

std::optional<std::wstring> FreeSnapshotPath(const std::wstring& folder, const std::wstring& stamp, int number,
                                             const std::wstring& ext,
                                             const std::function<bool(const std::wstring&)>& taken, int tries) {
    for (int i = 0; i < tries; ++i) {
        std::wstring path = folder + L"\\" + stamp + L"_" + std::to_wstring(number + i) + L"." + ext;
        if (!taken(path)) return path;
    }
    return std::nullopt;
}

}  // namespace vorn
