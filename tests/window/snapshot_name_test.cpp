// Snapshot names: the tick count's number unless that name is taken, then
// the next free number, never an earlier file's name.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "window/snapshot_name.h"

namespace {

TEST(SnapshotName, TakesTheFirstFreeNumberFromTheTickCountsOn) {
    struct Case {
        const char* name;
        int number;
        std::set<std::wstring> taken;
        std::optional<std::wstring> expected;
    } cases[] = {
        {"free", 7, {}, L"C:\\shots\\20211015_143210_7.jpg"},
        {"taken once", 7, {L"C:\\shots\\20211015_143210_7.jpg"}, L"C:\\shots\\20211015_143210_8.jpg"},
        {"a run taken",
         998,
         {L"C:\\shots\\20211015_143210_998.jpg", L"C:\\shots\\20211015_143210_999.jpg"},
         L"C:\\shots\\20211015_143210_1000.jpg"},
        {"a gap is used", 0, {L"C:\\shots\\20211015_143210_0.jpg", L"C:\\shots\\20211015_143210_2.jpg"},
         L"C:\\shots\\20211015_143210_1.jpg"},
        {"other types don't count", 3, {L"C:\\shots\\20211015_143210_3.png"}, L"C:\\shots\\20211015_143210_3.jpg"},
        {"all tries taken", 5,
         {L"C:\\shots\\20211015_143210_5.jpg", L"C:\\shots\\20211015_143210_6.jpg",
          L"C:\\shots\\20211015_143210_7.jpg"},
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto taken = [&](const std::wstring& path) { return c.taken.count(path) > 0; };
        EXPECT_EQ(vorn::FreeSnapshotPath(L"C:\\shots", L"20211015_143210", c.number, L"jpg", taken, 3), c.expected);
    }
}

TEST(SnapshotName, ARootFolderKeepsItsBackslashAndGetsAnother) {
    auto none = [](const std::wstring&) { return false; };
    EXPECT_EQ(vorn::FreeSnapshotPath(L"D:\\", L"20211015_143210", 12, L"png", none),
              std::optional<std::wstring>(L"D:\\\\20211015_143210_12.png"));
}

}  // namespace
