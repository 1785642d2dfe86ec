// The firmware history file: the record's line, and appending to the file
// whatever is or isn't there.
#include <gtest/gtest.h>

#include "firmware/firmware_history.h"
#include "temp_dir.h"

namespace {

using vorn::firmware::BurnRecord;
using vorn::firmware::BurnResult;

std::tm At(int year, int month, int day, int hour, int minute, int second) {
  std::tm t = {};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

BurnRecord Record() {
  BurnRecord r;
  r.localTime = At(2026, 3, 7, 9, 5, 2);
  r.vidPid = "0c45636a";
  r.oldVersion = "Vorn-Corvanith-211015K-1.3";
  r.imagePath = "C:\\fw\\new.src";
  r.imageSize = 131072;
  r.verify = true;
  r.result = BurnResult::Ok;
  r.newVersion = "Vorn-Corvanith-220101K-2.0";
  return r;
}

TEST(FirmwareHistoryLine, FieldsInTheHeaderOrder) {
  struct Case {
    const char* name;
    void (*change)(BurnRecord&);
    std::string line;
  };
  const Case cases[] = {
      {"ok", [](BurnRecord&) {},
       "2026-03-07 09:05:02\t0c45636a\tVorn-Corvanith-211015K-1.3\tC:\\fw\\new.src\t131072\ton\tok\t"
       "Vorn-Corvanith-220101K-2.0"},
      {"burn failed, no new version, verify off",
       [](BurnRecord& r) {
         r.result = BurnResult::BurnFailed;
         r.newVersion.clear();
         r.verify = false;
       },
       "2026-03-07 09:05:02\t0c45636a\tVorn-Corvanith-211015K-1.3\tC:\\fw\\new.src\t131072\toff\tburn-failed\t-"},
      {"restart failed, old version unknown",
       [](BurnRecord& r) {
         r.result = BurnResult::RestartFailed;
         r.oldVersion.clear();
       },
       "2026-03-07 09:05:02\t0c45636a\t-\tC:\\fw\\new.src\t131072\ton\trestart-failed\tVorn-Corvanith-220101K-2.0"},
      {"tabs and line breaks never split the record",
       [](BurnRecord& r) {
         r.imagePath = "C:\\a\tb\\c\r\nd.src";
         r.newVersion = "X\nY";
       },
       "2026-03-07 09:05:02\t0c45636a\tVorn-Corvanith-211015K-1.3\tC:\\a b\\c  d.src\t131072\ton\tok\tX Y"},
      {"UTF-8 path kept as it is",
       [](BurnRecord& r) { r.imagePath = "C:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\fw.src"; },
       "2026-03-07 09:05:02\t0c45636a\tVorn-Corvanith-211015K-1.3\tC:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\fw.src\t131072"
       "\ton\tok\tVorn-Corvanith-220101K-2.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BurnRecord r = Record();
    c.change(r);
    EXPECT_EQ(vorn::firmware::FormatHistoryLine(r), c.line);
  }
  EXPECT_EQ(vorn::firmware::FormatHistoryTime(At(2031, 12, 31, 23, 59, 59)), "2031-12-31 23:59:59");
}

TEST(FirmwareHistoryFile, HeaderOnceThenOneLinePerBurn) {
  TempDir dir;
  const auto file = dir.path() / vorn::firmware::kHistoryFileName;
  const std::string line = vorn::firmware::FormatHistoryLine(Record()) + "\n";
  const std::string header = std::string(vorn::firmware::kHistoryHeader) + "\n";

  ASSERT_TRUE(vorn::firmware::AppendBurnHistory(file, Record()));
  EXPECT_EQ(ReadBytes(file), header + line);
  ASSERT_TRUE(vorn::firmware::AppendBurnHistory(file, Record()));
  EXPECT_EQ(ReadBytes(file), header + line + line);

  // An emptied file starts again with the header; earlier lines are never
  // rewritten.
  ASSERT_TRUE(WriteBytes(file, ""));
  ASSERT_TRUE(vorn::firmware::AppendBurnHistory(file, Record()));
  EXPECT_EQ(ReadBytes(file), header + line);
  ASSERT_TRUE(WriteBytes(file, "kept\n"));
  ASSERT_TRUE(vorn::firmware::AppendBurnHistory(file, Record()));
  EXPECT_EQ(ReadBytes(file), "kept\n" + line);

  // A folder whose name is not ASCII.
  const auto folder = dir.path() / vorn::files::PathFromUtf8("\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE");
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(vorn::firmware::AppendBurnHistory(folder / vorn::firmware::kHistoryFileName, Record()));
  EXPECT_EQ(ReadBytes(folder / vorn::firmware::kHistoryFileName), header + line);
}

TEST(FirmwareHistoryFile, UnwritablePlacesAreReportedNotCreated) {
  TempDir dir;
  const auto asFolder = dir.path() / vorn::firmware::kHistoryFileName;
  std::filesystem::create_directories(asFolder);
  EXPECT_FALSE(vorn::firmware::AppendBurnHistory(asFolder, Record()));
  EXPECT_TRUE(std::filesystem::is_directory(asFolder));

  const auto missingFolder = dir.path() / "absent" / vorn::firmware::kHistoryFileName;
  EXPECT_FALSE(vorn::firmware::AppendBurnHistory(missingFolder, Record()));
  EXPECT_FALSE(std::filesystem::exists(missingFolder.parent_path()));
}

}  // namespace
