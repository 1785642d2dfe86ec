// preferences.ini: the remember switch and the recent configuration files,
// read leniently, written back with everything else in the file kept, and
// the recent files as the File menu shows them.
#include <gtest/gtest.h>

#include "config/preferences.h"
#include "temp_dir.h"

namespace vorn::config {
namespace {

using Files = std::vector<std::string>;

TEST(Preferences, ReadLeniently) {
  const struct {
    const char* name;
    std::string text;
    bool remember;
    Files recent;
  } cases[] = {
      {"empty", "", false, {}},
      {"as written", "[settings]\r\nremember = true\r\n[recent]\r\nfile1 = C:\\a.csv\r\nfile2 = C:\\b.csv\r\n", true,
       {"C:\\a.csv", "C:\\b.csv"}},
      {"any case, blanks, LF only", "[ Settings ]\n  REMEMBER=True  \n[RECENT]\nFILE1=  D:\\x y\\c.csv \n", true,
       {"D:\\x y\\c.csv"}},
      {"not exactly true", "[settings]\nremember = yes\n", false, {}},
      {"the last remember line counts", "[settings]\nremember = true\nremember = false\n", false, {}},
      {"remember outside its section", "remember = true\n[other]\nremember = true\n", false, {}},
      {"by number, gaps and junk passed over",
       "[recent]\nfile3 = C:\\3.csv\nfile1 = C:\\1.csv\nfile9 = C:\\9.csv\nfile2 =\nnot a line\n; file4 = x\n", false,
       {"C:\\1.csv", "C:\\3.csv"}},
      {"the same file twice is listed once", "[recent]\nfile1 = C:\\A.csv\nfile2 = c:\\a.CSV\n", false,
       {"C:\\A.csv"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Preferences p = ParsePreferences(c.text);
    EXPECT_EQ(p.remember, c.remember);
    EXPECT_EQ(p.recentFiles, c.recent);
  }
}

TEST(Preferences, WrittenWithWhatOthersKeptInTheFile) {
  const struct {
    const char* name;
    Preferences prefs;
    std::string previous;
    std::string written;
  } cases[] = {
      {"a new file", {true, {"C:\\a.csv", "C:\\b&c.csv"}}, "",
       "[settings]\r\nremember = true\r\n[recent]\r\nfile1 = C:\\a.csv\r\nfile2 = C:\\b&c.csv\r\n"},
      {"no recent files", {false, {}}, "", "[settings]\r\nremember = false\r\n"},
      {"other keys and sections stay; ours are replaced",
       {false, {"C:\\new.csv"}},
       "; written by hand\n[window]\nleft = 10\n[settings]\nlanguage = en\nremember = true\n[recent]\nfile1 = "
       "C:\\old.csv\nfile7 = C:\\older.csv\npinned = C:\\p.csv\n",
       "; written by hand\r\n[window]\r\nleft = 10\r\n[settings]\r\nremember = false\r\nlanguage = en\r\n"
       "[recent]\r\nfile1 = C:\\new.csv\r\npinned = C:\\p.csv\r\n"},
      {"the list emptied", {true, {}}, "[recent]\nfile1 = C:\\a.csv\n",
       "[recent]\r\n[settings]\r\nremember = true\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = FormatPreferences(c.prefs, c.previous);
    EXPECT_EQ(text, c.written);
    const Preferences back = ParsePreferences(text);
    EXPECT_EQ(back.remember, c.prefs.remember);
    EXPECT_EQ(back.recentFiles, c.prefs.recentFiles);
  }
}

TEST(Preferences, OnDiskOverWhatIsThereNow) {
  TempDir dir;
  const std::filesystem::path file = dir.path() / "user" / "preferences.ini";
  EXPECT_FALSE(ReadPreferences(file).remember);
  std::filesystem::create_directories(file.parent_path());
  ASSERT_TRUE(WriteBytes(file, "[window]\r\nleft = 10\r\n"));
  ASSERT_TRUE(WritePreferences(file, {true, {"C:\\a.csv"}}));
  EXPECT_EQ(ReadBytes(file), "[window]\r\nleft = 10\r\n[settings]\r\nremember = true\r\n[recent]\r\nfile1 = C:\\a.csv\r\n");
  EXPECT_TRUE(ReadPreferences(file).remember);
  // Not a preferences file at all: defaults, and writing starts afresh.
  ASSERT_TRUE(WriteBytes(file, std::string(70000, '[')));
  EXPECT_FALSE(ReadPreferences(file).remember);
  ASSERT_TRUE(WritePreferences(file, {true, {}}));
  EXPECT_EQ(ReadBytes(file), "[settings]\r\nremember = true\r\n");
}

TEST(RecentFiles, MostRecentFirstAtMostFourEachOnce) {
  const struct {
    const char* name;
    Files before;
    std::string path;
    Files with;
    Files without;
  } cases[] = {
      {"first", {}, "C:\\a.csv", {"C:\\a.csv"}, {}},
      {"to the front", {"C:\\a.csv", "C:\\b.csv"}, "C:\\c.csv", {"C:\\c.csv", "C:\\a.csv", "C:\\b.csv"},
       {"C:\\a.csv", "C:\\b.csv"}},
      {"again, in another case", {"C:\\a.csv", "C:\\b.csv"}, "c:\\B.CSV", {"c:\\B.CSV", "C:\\a.csv"},
       {"C:\\a.csv"}},
      {"the fifth pushes the oldest out", {"1", "2", "3", "4"}, "5", {"5", "1", "2", "3"}, {"1", "2", "3", "4"}},
      {"one of four again", {"1", "2", "3", "4"}, "3", {"3", "1", "2", "4"}, {"1", "2", "4"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WithRecentFile(c.before, c.path), c.with);
    EXPECT_EQ(WithoutRecentFile(c.before, c.path), c.without);
  }
}

TEST(RecentFiles, MenuTextKeepsTheRootAndTheEnd) {
  const struct {
    int number;
    std::wstring path;
    size_t max;
    std::wstring text;
  } cases[] = {
      {1, L"C:\\cam\\day.csv", 48, L"&1 C:\\cam\\day.csv"},
      {2, L"C:\\R&D\\a&&b.csv", 48, L"&2 C:\\R&&D\\a&&&&b.csv"},
      {3, L"C:\\Users\\ann\\Documents\\Camera settings\\lab\\day.csv", 30, L"&3 C:\\...\\lab\\day.csv"},
      {4, L"C:\\Users\\ann\\Documents\\Camera settings\\lab\\day.csv", 38,
       L"&4 C:\\...\\Camera settings\\lab\\day.csv"},
      {1, L"\\\\server\\share\\settings\\2024\\lab\\day.csv", 30, L"&1 \\\\server\\share\\...\\lab\\day.csv"},
      {1, L"C:\\folder\\a-very-long-file-name-that-does-not-fit.csv", 20,
       L"&1 C:\\...\\a-very-long-file-name-that-does-not-fit.csv"},
      {1, L"relative\\folder\\and\\a\\name.csv", 16, L"&1 ...\\a\\name.csv"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.path));
    EXPECT_EQ(RecentFileMenuText(c.number, c.path, c.max), c.text);
  }
}

}  // namespace
}  // namespace vorn::config
