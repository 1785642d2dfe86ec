#include "config/config_rows.h"

#include <gtest/gtest.h>

#include <climits>

#include "temp_dir.h"

using namespace vorn::config;

TEST(ConfigText, CaseFoldingTouchesAsciiLettersOnly) {
  EXPECT_EQ(vorn::text::ToUpperAscii("auto_exposure-1z"), "AUTO_EXPOSURE-1Z");
  EXPECT_EQ(vorn::text::ToUpperAscii("\xC3\xA9\xE0"), "\xC3\xA9\xE0");
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  };
  const Case cases[] = {
      {"int", "INT", true},   {"Bool", "bOOL", true}, {"int", "int ", false},
      {"", "", true},         {"@", "`", false},      {"[", "{", false},
      {"\xE9", "\xC9", false},
  };
  for (const Case& c : cases) EXPECT_EQ(vorn::text::EqualsIgnoreCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(ConfigValues, LenientIntegerConversion) {
  struct Case {
    const char* text;
    int value;
  };
  const Case cases[] = {
      {"12.7", 12},
      {"-3.9", -3},
      {"abc", 0},
      {"", 0},
      {"40", 40},
      {"   42xyz", 42},
      {"\t-0.5", 0},
      {"+7", 7},
      {".9", 0},
      {"5.", 5},
      {"1e3", 1000},
      {"2.5E+2", 250},
      {"1e", 1},
      {"1e+", 1},
      {"-", 0},
      {".", 0},
      {"-.e5", 0},
      {"0x1A", 0},
      {"inf", 0},
      {"nan", 0},
      {"1,5", 1},
      {"2147483647", INT_MAX},
      {"2147483647.9", INT_MAX},
      {"-2147483648.9", INT_MIN},
      {"2147483648", INT_MAX},
      {"-2147483649", INT_MIN},
      {"1e10", INT_MAX},
      {"-1e10", INT_MIN},
      {"1e400", INT_MAX},
      {"-1e400", INT_MIN},
      {"1e-400", 0},
      {"0.0001e-400", 0},
      {"12345678901234567890123", INT_MAX},
  };
  for (const Case& c : cases) EXPECT_EQ(LenientInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(ConfigValues, SwitchIsOnOnlyForTrue) {
  for (const char* on : {"TRUE", "true", "True", "tRuE"}) EXPECT_TRUE(BoolValue(on)) << on;
  for (const char* off : {"1", "yes", "", "FALSE", "TRUE ", "TRU"}) EXPECT_FALSE(BoolValue(off)) << off;
}

TEST(ConfigValues, SavedIntegerText) {
  EXPECT_EQ(FormatConfigInt(0), "0");
  EXPECT_EQ(FormatConfigInt(40), "40");
  EXPECT_EQ(FormatConfigInt(-6), "-6");
  EXPECT_EQ(FormatConfigInt(INT_MIN), "-2147483648");
  for (int v : {0, 1, -1, 255, -32768, INT_MAX, INT_MIN}) EXPECT_EQ(LenientInt(FormatConfigInt(v)), v);
}

TEST(ConfigRowParse, NamesTypesAndValues) {
  struct Case {
    const char* name;
    const char* value;
    const char* type;
    std::optional<int> number;
    RowType rowType;
    int intValue;
    bool boolValue;
  };
  const Case cases[] = {
      {"brightness", "40", "Int", 0, RowType::Int, 40, false},
      {"AUTO_EXPOSURE", "-6", "int", 104, RowType::Int, -6, false},
      {"MANUAL_EXPOSURE", "TRUE", "bool", 104, RowType::Bool, 0, true},
      {"auto_white_balance", "True", "BOOL", 7, RowType::Bool, 0, true},
      {"Rotate_180", "yes", "bool", 102, RowType::Bool, 0, false},
      {"illuminate", "FALSE", "bool", 106, RowType::Bool, 0, false},
      {"COLOR_GAIN_RED", "12.7", "int", 101, RowType::Int, 12, false},
      {"color_gain_blue", "abc", "int", 100, RowType::Int, 0, false},
      {"AEC_TARGET", "1", "float", 8, RowType::Other, 0, false},
      {"gamma", "1", "", 5, RowType::Other, 0, false},
      {"EXPOSURE", "1", "int", std::nullopt, RowType::Int, 1, false},
      {" GAMMA", "1", "int", std::nullopt, RowType::Int, 1, false},
  };
  for (const Case& c : cases) {
    const ConfigRow row = ParseConfigRow(c.name, c.value, c.type);
    EXPECT_EQ(row.name, vorn::text::ToUpperAscii(c.name));
    EXPECT_EQ(row.number, c.number) << c.name;
    EXPECT_EQ(row.type, c.rowType) << c.name;
    if (c.rowType == RowType::Int) {
      EXPECT_EQ(row.intValue, c.intValue) << c.name;
    }
    if (c.rowType == RowType::Bool) {
      EXPECT_EQ(row.boolValue, c.boolValue) << c.name;
    }
  }
  EXPECT_EQ(PropertyNameTable().size(), 13u);
}

TEST(ConfigRowsFromFile, RowsTakenByPosition) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> names;  // upper-cased row names in order
  };
  const Case cases[] = {
      {"three columns", "PropName,Value,DataType\r\nbrightness,40,Int\r\nGAMMA,3,int\r\n", {"BRIGHTNESS", "GAMMA"}},
      {"header names are not checked", "x,y,z,w\r\ngamma,1,int,extra\r\n", {"GAMMA"}},
      {"one column", "Name\r\nROTATE_180\r\n", {"ROTATE_180"}},
      {"header only", "PropName,Value,DataType\r\n", {}},
      {"empty file", "", {}},
      {"empty first line", "\r\n\r\nGAMMA,1,int\r\n", {}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteBytes(dir.path() / "c.csv", c.bytes));
    CSV_reader table;
    table.read_file(dir.utf8("c.csv"));
    std::vector<std::string> got;
    for (const ConfigRow& row : ConfigRows(table)) got.push_back(row.name);
    EXPECT_EQ(got, c.names) << c.name;
  }

  // A one-column row has no value and no type: accepted, nothing to apply.
  ASSERT_TRUE(WriteBytes(dir.path() / "c.csv", "Name\r\ngamma\r\n"));
  CSV_reader table;
  table.read_file(dir.utf8("c.csv"));
  const auto rows = ConfigRows(table);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].number, 5);
  EXPECT_EQ(rows[0].type, RowType::Other);
  EXPECT_EQ(rows[0].value, "");
}

TEST(ConfigRowsFromFile, ShortColumnIsNotReadPastItsEnd) {
  CSV_reader table;
  table.add_column("PropName", {"GAMMA", "CONTRAST"});
  table.add_column("Value", {"4"});
  table.add_column("DataType", {});
  const auto rows = ConfigRows(table);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].value, "4");
  EXPECT_EQ(rows[1].value, "");
  EXPECT_EQ(rows[1].type, RowType::Other);
}

TEST(ConfigSave, RowsFollowModesAndCapabilities) {
  struct Case {
    const char* name;
    SavedSettings s;
    std::vector<std::string> rows;  // "NAME,VALUE,TYPE"
  };
  SavedSettings autoAll;
  autoAll.brightness = 1, autoAll.contrast = 2, autoAll.saturation = 3, autoAll.sharpness = 4,
  autoAll.gamma = 5, autoAll.aecOn = true, autoAll.aecTarget = 6, autoAll.awbOn = true;
  SavedSettings manual = autoAll;
  manual.aecOn = false, manual.manualExposure = -6, manual.awbOn = false, manual.gainBlue = 7,
  manual.gainRed = 8, manual.rotateSupported = true, manual.rotate180 = true,
  manual.illuminationWritten = true, manual.illuminationOn = false;
  const Case cases[] = {
      {"automatic modes, no extras", autoAll,
       {"BRIGHTNESS,1,int", "CONTRAST,2,int", "SATURATION,3,int", "SHARPNESS,4,int", "GAMMA,5,int",
        "AUTO_EXPOSURE,TRUE,bool", "AEC_TARGET,6,int", "AUTO_WHITE_BALANCE,TRUE,bool"}},
      {"manual modes, all extras", manual,
       {"BRIGHTNESS,1,int", "CONTRAST,2,int", "SATURATION,3,int", "SHARPNESS,4,int", "GAMMA,5,int",
        "AUTO_EXPOSURE,FALSE,bool", "MANUAL_EXPOSURE,-6,int", "AUTO_WHITE_BALANCE,FALSE,bool",
        "COLOR_GAIN_BLUE,7,int", "COLOR_GAIN_RED,8,int", "ROTATE_180,TRUE,bool",
        "ILLUMINATE,FALSE,bool"}},
  };
  for (const Case& c : cases) {
    const CSV_reader t = BuildConfigTable(c.s);
    ASSERT_EQ(t.column_names(), (std::vector<std::string>{"PropName", "Value", "DataType"}));
    std::vector<std::string> got;
    for (size_t r = 0; r < t.column("PropName").size(); ++r)
      got.push_back(t.column("PropName")[r] + "," + t.column("Value")[r] + "," + t.column("DataType")[r]);
    EXPECT_EQ(got, c.rows) << c.name;
  }

  // What a save writes, a load reads back to the same numbers and values.
  TempDir dir;
  ASSERT_TRUE(BuildConfigTable(manual).write_file(dir.utf8("s.csv")));
  CSV_reader back;
  back.read_file(dir.utf8("s.csv"));
  const auto rows = ConfigRows(back);
  ASSERT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows[6].number, kExposure);
  EXPECT_EQ(rows[6].intValue, -6);
  EXPECT_EQ(rows[10].number, kRotate180);
  EXPECT_TRUE(rows[10].boolValue);
  for (const ConfigRow& row : rows) EXPECT_TRUE(row.number.has_value()) << row.name;
}
