// Names of snapshot files. Portable: the existence test is the caller's.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vorn {

// "<folder>\<stamp>_<number>.<ext>", where number is the first from
// `number` on whose path `taken` reports free, so an earlier snapshot is
// never replaced. Nothing when `tries` numbers in a row are all taken.
std::optional<std::wstring> FreeSnapshotPath(const std::wstring& folder, const std::wstring& stamp, int number,
                                             const std::wstring& ext,
                                             const std::function<bool(const std::wstring&)>& taken,
                                             int tries = 100000);

}  // namespace vorn
