#include "config/startup_settings.h"

#include <gtest/gtest.h>

#include <sstream>

#include "temp_dir.h"

using vorn::settings::IlluminateSetting;
using vorn::settings::ParseStartupSettings;
using vorn::settings::ReadStartupSettings;
using vorn::settings::SettingsMap;

namespace {

SettingsMap Parse(const std::string& text) {
  std::istringstream in(text);
  return ParseStartupSettings(in);
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

#ifdef _WIN32
const std::wstring kSep = L"\\";
#else
const std::wstring kSep = L"/";
#endif

}  // namespace

TEST(StartupSettingsParse, IlluminateDecisionFollowsTheLineRules) {
  struct Case {
    const char* name;
    std::string text;
    std::optional<bool> show;
  };
  const Case cases[] = {
      {"plain", "illuminate=TRUE\n", true},
      {"blanks and case", "Illuminate = true\n", true},
      {"blanks inside key and value", "illu minate=TR UE\n", true},
      {"tabs and vertical white space", "\till\vumi\fnate\t=\tTRUE \n", true},
      {"last line without line end", "other=1\nilluminate=TRUE", true},
      {"CR LF line ends", "other=1\r\nilluminate=TRUE\r\n", true},
      {"comment", "#illuminate=TRUE\n", std::nullopt},
      {"comment after blanks", "   # illuminate=TRUE\n", std::nullopt},
      {"false", "illuminate=FALSE\n", false},
      {"one", "illuminate=1\n", false},
      {"yes", "illuminate=yes\n", false},
      {"nothing after equals", "illuminate=\n", std::nullopt},
      {"no equals sign, next line still read", "illuminateTRUE\nilluminate=TRUE\n", true},
      {"empty line ends reading", "\nilluminate=TRUE\n", std::nullopt},
      {"empty line in the middle", "x=1\n\nilluminate=TRUE\n", std::nullopt},
      {"three characters end reading", "a=b\nilluminate=TRUE\n", std::nullopt},
      {"three characters before CR LF end reading", "a=b\r\nilluminate=TRUE\r\n", std::nullopt},
      {"four characters do not", "ab=c\nilluminate=TRUE\n", true},
      {"later line wins", "illuminate=TRUE\nilluminate=FALSE\n", false},
      {"lower-case key applied after upper-case", "illuminate=TRUE\nILLUMINATE=FALSE\n", true},
      {"upper-case key overridden by lower-case", "illuminate=FALSE\nILLUMINATE=TRUE\n", false},
      {"other keys ignored", "brightness=40\n", std::nullopt},
      {"empty file", "", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IlluminateSetting(Parse(c.text)), c.show) << c.name;
  }
}

TEST(StartupSettingsParse, StoresKeysAndValuesWithoutWhiteSpace) {
  EXPECT_EQ(Parse(" k e y = v a l ue \n"), (SettingsMap{{"key", "value"}}));
  // Only the first '=' separates; the rest belongs to the value.
  EXPECT_EQ(Parse("x==y\n"), (SettingsMap{{"x", "=y"}}));
  // Both spellings are kept as separate entries.
  EXPECT_EQ(Parse("Key=1\nkey=2\nKey=3\n"), (SettingsMap{{"Key", "3"}, {"key", "2"}}));
}

TEST(StartupSettingsFile, ProgramFolderIsPreferredOverConfigFolder) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "config");
  ASSERT_TRUE(WriteBytes(dir.path() / "vorn_settings.cfg", "place=program\n"));
  ASSERT_TRUE(WriteBytes(dir.path() / "config" / "vorn_settings.cfg", "place=config\n"));
  const std::wstring folder = dir.path().wstring();
  EXPECT_EQ(ReadStartupSettings(folder), (SettingsMap{{"place", "program"}}));

  std::filesystem::remove(dir.path() / "vorn_settings.cfg");
  EXPECT_EQ(ReadStartupSettings(folder), (SettingsMap{{"place", "config"}}));

  std::filesystem::remove(dir.path() / "config" / "vorn_settings.cfg");
  EXPECT_TRUE(ReadStartupSettings(folder).empty());
}

TEST(StartupSettingsFile, FolderWithNonLatinName) {
  TempDir dir;
  const std::wstring folder = dir.path().wstring() + kSep + L"\u041D\u0430\u0441\u0442\u0440\u043E\u0439\u043A\u0438\u5B9F";
  const std::filesystem::path p = vorn::files::PathFromWide(folder);
  std::filesystem::create_directories(p);
  ASSERT_TRUE(WriteBytes(p / "vorn_settings.cfg", "illuminate=TRUE\r\n"));
  EXPECT_EQ(IlluminateSetting(ReadStartupSettings(folder)), true);
}

TEST(StartupSettingsFile, UnreadableChoiceGivesEmptyMap) {
  TempDir dir;
  // A folder of that name exists but is no file: the config folder's file is
  // not consulted, and nothing can be read.
  std::filesystem::create_directories(dir.path() / "vorn_settings.cfg");
  std::filesystem::create_directories(dir.path() / "config");
  ASSERT_TRUE(WriteBytes(dir.path() / "config" / "vorn_settings.cfg", "illuminate=TRUE\n"));
  EXPECT_TRUE(ReadStartupSettings(dir.path().wstring()).empty());
  EXPECT_TRUE(ReadStartupSettings(dir.path().wstring() + kSep + Wide("missing")).empty());
}
