#include "config/csv_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <sstream>

#include "temp_dir.h"

namespace {

using Fields = std::vector<std::string>;

// Reads the given bytes as a file; the table is returned for inspection.
CSV_reader ReadText(const TempDir& dir, const std::string& bytes, const std::string& name = "t.csv") {
  EXPECT_TRUE(WriteBytes(dir.path() / name, bytes));
  CSV_reader table;
  table.read_file(dir.utf8(name));
  return table;
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const CsvError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(CsvSplitLine, FieldsFollowTheCommas) {
  struct Case {
    std::string line;
    Fields fields;
  };
  const Case cases[] = {
      {"a,b", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {",", {""}},
      {"a,b,", {"a", "b"}},
      {"", {}},
      {"a", {"a"}},
      {",,", {"", ""}},
      {" a , b ", {" a ", " b "}},
      {"\"x,y\",z", {"\"x", "y\"", "z"}},
  };
  for (const Case& c : cases) EXPECT_EQ(CSV_reader::split_line(c.line), c.fields) << '"' << c.line << '"';
}

TEST(CsvRead, RowsAndLineEnds) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    Fields header;
    std::vector<Fields> columns;  // by header position; empty: no column stored
  };
  const Case cases[] = {
      {"LF", "A,B\n1,2\n3,4\n", {"A", "B"}, {{"1", "3"}, {"2", "4"}}},
      {"CR LF never reaches a field", "A,B\r\n1,2\r\n", {"A", "B"}, {{"1"}, {"2"}}},
      {"no final line end", "A,B\r\n1,2", {"A", "B"}, {{"1"}, {"2"}}},
      {"trailing commas", "A,B,\n1,2,\n", {"A", "B"}, {{"1"}, {"2"}}},
      {"empty middle field", "A,B,C\n1,,3\n", {"A", "B", "C"}, {{"1"}, {""}, {"3"}}},
      {"blank line ends the data", "A\n1\n\n2\n", {"A"}, {{"1"}}},
      {"blank CR LF line ends the data", "A\r\n1\r\n\r\n2\r\n", {"A"}, {{"1"}}},
      {"a lone CR inside a line is data", "A\n1\r2\n", {"A"}, {{"1\r2"}}},
      {"header only", "PropName,Value\r\n", {"PropName", "Value"}, {}},
      {"empty file", "", {}, {}},
  };
  for (const Case& c : cases) {
    CSV_reader t = ReadText(dir, c.bytes);
    EXPECT_TRUE(t.initialized()) << c.name;
    EXPECT_EQ(t.column_names(), c.header) << c.name;
    for (size_t i = 0; i < c.header.size(); ++i) {
      if (c.columns.empty()) {
        EXPECT_THROW(t.column(c.header[i]), CsvError) << c.name;
      } else {
        EXPECT_EQ(t.column(c.header[i]), c.columns[i]) << c.name << " column " << i;
      }
    }
  }
}

TEST(CsvRead, FieldCountMismatchNamesTheDataLine) {
  TempDir dir;
  const std::string file = dir.utf8("bad.csv");
  ASSERT_TRUE(WriteBytes(dir.path() / "bad.csv", "A,B\r\n1,2\r\n3,4,5\r\n6,7\r\n"));
  CSV_reader t;
  EXPECT_EQ(ErrorOf([&] { t.read_file(file); }),
            "Saw 3 columns; expected 2 comma separated columns at line 2 of file " + file + ": 3,4,5");
  // Rows before the bad line stay; the table is not marked as read.
  EXPECT_EQ(t.column("A"), Fields{"1"});
  EXPECT_FALSE(t.initialized());

  // Empty header, then a non-empty line: expected 0 columns.
  ASSERT_TRUE(WriteBytes(dir.path() / "bad.csv", "\nx\n"));
  CSV_reader u;
  EXPECT_EQ(ErrorOf([&] { u.read_file(file); }),
            "Saw 1 columns; expected 0 comma separated columns at line 1 of file " + file + ": x");
}

TEST(CsvRead, RepeatedHeaderNameIsRefused) {
  TempDir dir;
  const std::string file = dir.utf8("dup.csv");
  ASSERT_TRUE(WriteBytes(dir.path() / "dup.csv", "PropName,Value,PropName\r\nGAMMA,1,x\r\n"));
  CSV_reader t;
  EXPECT_EQ(ErrorOf([&] { t.read_file(file); }),
            "Duplicate column name 'PropName' in file " + file);
  EXPECT_TRUE(t.column_names().empty());
  EXPECT_FALSE(t.initialized());
}

TEST(CsvRead, MissingFileIsTracedAndLeavesTableUnread) {
  TempDir dir;
  const std::string file = dir.utf8("absent.csv");
  std::ostringstream captured;
  std::streambuf* old = std::cout.rdbuf(captured.rdbuf());
  CSV_reader t;
  t.read_file(file);
  std::cout.rdbuf(old);
  EXPECT_EQ(captured.str(), "Unable to open file " + file + "\n");
  EXPECT_FALSE(t.initialized());
  EXPECT_TRUE(t.column_names().empty());
}

// Files that are no configuration: each refused with its reason, and
// nothing of them stored even when valid rows come first.
TEST(CsvRead, HostileFilesAreRefusedWhole) {
  TempDir dir;
  const std::string header = "PropName,Value,DataType\r\n", row = "GAMMA,100,int\r\n";
  const std::string file = dir.utf8("h.csv");
  std::string big = header;
  while (big.size() <= CSV_reader::kMaxFileBytes) big += row;
  const struct {
    const char* name;
    std::string bytes;
    std::string error;
  } cases[] = {
      {"one byte beyond the size", big,
       "File " + file + " is larger than 65536 bytes; it is not a configuration file"},
      {"data line beyond 1024 bytes", header + row + "GAMMA," + std::string(1020, '1') + ",int\r\n",
       "Line too long: line 2 of file " + file + " has more than 1024 bytes"},
      {"header beyond 1024 bytes", std::string(1025, 'A') + "\n" + row,
       "Line too long: the header line of file " + file + " has more than 1024 bytes"},
      {"zero byte", header + row + std::string("GAMMA,1\0,int\r\n", 14),
       "Binary data: line 2 of file " + file + " holds the byte 0x00"},
      {"control byte in the header", "Prop\x01Name,Value,DataType\n" + row,
       "Binary data: the header line of file " + file + " holds the byte 0x01"},
      {"escape byte", header + "GAMMA,\x1b[2J,int\r\n",
       "Binary data: line 1 of file " + file + " holds the byte 0x1B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteBytes(dir.path() / "h.csv", c.bytes));
    CSV_reader t;
    EXPECT_EQ(ErrorOf([&] { t.read_file(file); }), c.error);
    EXPECT_FALSE(t.initialized());
    EXPECT_TRUE(t.column_names().empty());
    EXPECT_EQ(ErrorOf([&] { t.column("PropName"); }), "No column named 'PropName'");
  }
}

TEST(CsvRead, FilesAtTheBoundsAndTextBytesStillRead) {
  TempDir dir;
  const std::string header = "PropName,Value,DataType\r\n";
  // Exactly the size bound, in rows of at most 1024 bytes.
  std::string full = header;
  size_t rows = 0;
  while (full.size() + 1024 <= CSV_reader::kMaxFileBytes) {
    full += "GAMMA," + std::string(1012, '7') + ",int\r\n";  // 1022 bytes before the line end
    ++rows;
  }
  full += "GAMMA,";
  full += std::string(CSV_reader::kMaxFileBytes - full.size() - 5, '8') + ",int\n";
  ++rows;
  ASSERT_EQ(full.size(), CSV_reader::kMaxFileBytes);
  CSV_reader t = ReadText(dir, full);
  EXPECT_TRUE(t.initialized());
  EXPECT_EQ(t.column("Value").size(), rows);

  // A line of exactly 1024 bytes, and TAB, VT, FF and a lone CR inside fields.
  const std::string line = "A," + std::string(1022, 'x');
  CSV_reader u = ReadText(dir, "A,B\n" + line + "\r\nt\tv\v,f\fc\rd\n");
  EXPECT_EQ(u.column("B"), (Fields{std::string(1022, 'x'), "f\fc\rd"}));
  EXPECT_EQ(u.column("A"), (Fields{"A", "t\tv\v"}));

  // What follows the blank line that ends the data is not looked at.
  CSV_reader w = ReadText(dir, "A\n1\n\n" + std::string(2000, '\0'));
  EXPECT_EQ(w.column("A"), Fields{"1"});
}

TEST(CsvRead, FoldersAndDevicesAreRefusedUnopened) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "folder.csv");
  CSV_reader t;
  EXPECT_EQ(ErrorOf([&] { t.read_file(dir.utf8("folder.csv")); }),
            "Unable to open file " + dir.utf8("folder.csv") + ": it is a folder");
  EXPECT_FALSE(t.initialized());
#ifndef _WIN32
  // A device that never ends would otherwise be read until memory runs out.
  for (const char* device : {"/dev/zero", "/dev/null"}) {
    if (!std::filesystem::exists(device)) continue;
    CSV_reader d;
    EXPECT_EQ(ErrorOf([&] { d.read_file(device); }),
              std::string("Unable to open file ") + device + ": it is not a regular file");
    EXPECT_FALSE(d.initialized());
  }
#endif
}

TEST(CsvWrite, CrLfOnDiskAndReadBack) {
  TempDir dir;
  CSV_reader t;
  t.add_column("PropName", {"BRIGHTNESS", "GAMMA"});
  t.add_column("Value", {"-6", ""});
  t.add_column("DataType", {"int", "int"});
  ASSERT_TRUE(t.write_file(dir.utf8("out.csv")));
  EXPECT_EQ(ReadBytes(dir.path() / "out.csv"),
            "PropName,Value,DataType\r\nBRIGHTNESS,-6,int\r\nGAMMA,,int\r\n");

  CSV_reader back;
  back.read_file(dir.utf8("out.csv"));
  EXPECT_EQ(back.column_names(), (Fields{"PropName", "Value", "DataType"}));
  EXPECT_EQ(back.column("Value"), (Fields{"-6", ""}));
}

TEST(CsvWrite, RefusalsAndFailures) {
  TempDir dir;
  // Never filled: raises, and the file has been created empty.
  ASSERT_TRUE(WriteBytes(dir.path() / "old.csv", "keep me\n"));
  CSV_reader empty;
  EXPECT_EQ(ErrorOf([&] { empty.write_file(dir.utf8("old.csv")); }),
            "Error: CSV_reader write_file called before contents was initialized");
  EXPECT_EQ(ReadBytes(dir.path() / "old.csv"), "");

  // A file that cannot be created is reported to the caller.
  CSV_reader t;
  t.add_column("A", {"1"});
  EXPECT_FALSE(t.write_file(dir.utf8("no_such_folder/out.csv")));
  // A folder in the way of the file.
  std::filesystem::create_directories(dir.path() / "taken");
  EXPECT_FALSE(t.write_file(dir.utf8("taken")));

  // Columns of unequal length are refused instead of read past their end.
  CSV_reader ragged;
  ragged.add_column("A", {"1", "2"});
  ragged.add_column("B", {"x"});
  EXPECT_EQ(ErrorOf([&] { ragged.write_file(dir.utf8("ragged.csv")); }),
            "Column 'B' has 1 values; expected 2");

  // Only a header, no stored column: the row count lookup fails.
  ASSERT_TRUE(WriteBytes(dir.path() / "h.csv", "A,B\n"));
  CSV_reader headerOnly;
  headerOnly.read_file(dir.utf8("h.csv"));
  EXPECT_THROW(headerOnly.write_file(dir.utf8("h2.csv")), CsvError);
}

#ifndef _WIN32
TEST(CsvWrite, FullDeviceIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  CSV_reader t;
  t.add_column("A", {"1"});
  EXPECT_FALSE(t.write_file("/dev/full"));
}
#endif

TEST(CsvWrite, RepeatedAddColumnKeepsFirstValues) {
  TempDir dir;
  CSV_reader t;
  t.add_column("A", {"1"});
  t.add_column("A", {"2"});
  EXPECT_EQ(t.column("A"), Fields{"1"});
  ASSERT_TRUE(t.write_file(dir.utf8("a.csv")));
  EXPECT_EQ(ReadBytes(dir.path() / "a.csv"), "A,A\r\n1,1\r\n");
}

TEST(CsvFiles, NonLatinPathRoundTrip) {
  TempDir dir;
  // Cyrillic folder, CJK file name, given as UTF-8.
  const std::string folder = "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE";                   // Фото
  const std::string name = folder + "/\xE8\xA8\xAD\xE5\xAE\x9A.csv";               // 設定.csv
  std::filesystem::create_directories(dir.path() / vorn::files::PathFromUtf8(folder));
  CSV_reader t;
  t.add_column("PropName", {"GAMMA"});
  t.add_column("Value", {"\xD0\xAF"});
  ASSERT_TRUE(t.write_file(dir.utf8(name)));

  CSV_reader back;
  back.read_file(dir.utf8(name));
  ASSERT_TRUE(back.initialized());
  EXPECT_EQ(back.column("Value"), Fields{"\xD0\xAF"});
  // The name on disk is the real one, not a mangled 8-bit form.
  EXPECT_TRUE(std::filesystem::exists(dir.path() / vorn::files::PathFromUtf8(name)));
}
