// Row-level rules of the configuration file: the property name table, the
// lenient value conversions of a load and the integer text of a save. The
// window code applies the rows; everything here is free of side effects.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/csv_reader.h"
#include "config/text_case.h"

namespace vorn::config {

// Configuration property numbers (not the vendor's): 104 is both automatic
// exposure (bool rows) and the manual exposure value (int rows).
enum PropertyNumber : int {
  kBrightness = 0,
  kContrast = 1,
  kSaturation = 3,
  kSharpness = 4,
  kGamma = 5,
  kWhiteBalance = 7,
  kAecTarget = 8,
  kGainBlue = 100,
  kGainRed = 101,
  kRotate180 = 102,
  kExposure = 104,
  kIlluminate = 106,
};

using PropertyTable = std::map<std::string, int>;

// Upper-case property name -> number.
PropertyTable PropertyNameTable();

// Decimal floating-point text read leniently: leading blanks skipped, the
// longest valid prefix taken (no hex, no inf or nan), no prefix gives 0,
// then truncated toward zero. Values beyond the 32-bit range clamp to
// INT_MIN / INT_MAX rather than wrap.
int LenientInt(std::string_view text);

// A mode switch is on only for "TRUE" in any case.
bool BoolValue(std::string_view text);

// Integer as written by a save: decimal, '-' when negative, nothing else.
std::string FormatConfigInt(int value);

enum class RowType { Other, Int, Bool };

// One data row of a loaded file, taken by column position.
struct ConfigRow {
  std::string name;           // upper-cased first field
  std::optional<int> number;  // nullopt: the name is not in the table
  std::string value;          // second field as read ("" when absent)
  RowType type = RowType::Other;
  int intValue = 0;           // LenientInt(value), meaningful for Int rows
  bool boolValue = false;     // BoolValue(value), meaningful for Bool rows
};

// Type word compared with "int" and "bool" ignoring case.
RowType ParseRowType(std::string_view text);

ConfigRow ParseConfigRow(std::string_view name, std::string_view value, std::string_view type);

// Rows of a table in file order. The row count is the first column's length;
// a header without data rows gives none, and a field missing from a shorter
// column counts as absent rather than being read past its end.
std::vector<ConfigRow> ConfigRows(const CSV_reader& table);

// The picture settings a save writes, taken from the main window's fields.
struct SavedSettings {
  int brightness = 0, contrast = 0, saturation = 0, sharpness = 0, gamma = 0;
  bool aecOn = false;
  int aecTarget = 0;
  int manualExposure = 0;
  bool awbOn = false;
  int gainBlue = 0, gainRed = 0;
  bool rotateSupported = false, rotate180 = false;
  bool illuminationWritten = false;  // Illumination box visible and supported
  bool illuminationOn = false;
};

// The three columns PropName, Value, DataType, each mode row before the
// values that belong to it.
CSV_reader BuildConfigTable(const SavedSettings& s);

}  // namespace vorn::config
