#include "config/config_rows.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace vorn::config {

PropertyTable PropertyNameTable() {
  return {
      {"BRIGHTNESS", kBrightness},
      {"CONTRAST", kContrast},
      {"SATURATION", kSaturation},
      {"SHARPNESS", kSharpness},
      {"GAMMA", kGamma},
      {"AUTO_EXPOSURE", kExposure},
      {"MANUAL_EXPOSURE", kExposure},
      {"AEC_TARGET", kAecTarget},
      {"AUTO_WHITE_BALANCE", kWhiteBalance},
      {"COLOR_GAIN_BLUE", kGainBlue},
      {"COLOR_GAIN_RED", kGainRed},
      {"ROTATE_180", kRotate180},
      {"ILLUMINATE", kIlluminate},
  };
}

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int LenientInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t numberStart = i;

  // Longest prefix of the form digits[.digits][e[sign]digits] with at least
  // one mantissa digit; the exponent counts only when it has a digit.
  size_t intDigits = 0, fracDigits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++intDigits;
  if (i < text.size() && text[i] == '.') {
    size_t j = i + 1;
    while (j < text.size() && IsDigit(text[j])) ++j, ++fracDigits;
    if (intDigits + fracDigits > 0) i = j;
  }
  if (intDigits + fracDigits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }

  const char* first = text.data() + numberStart;
  const char* last = text.data() + i;
  double magnitude = 0.0;
  const auto [ptr, ec] = std::from_chars(first, last, magnitude, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: which one follows from where the
    // first significant digit sits against the decimal exponent.
    long long exponent = 0;
    const char* e = first;
    while (e < last && *e != 'e' && *e != 'E') ++e;
    if (e < last) {
      const char* d = e + 1;
      bool expNegative = false;
      if (*d == '+' || *d == '-') expNegative = *d++ == '-';
      for (; d < last; ++d)
        if (exponent < 100000000) exponent = exponent * 10 + (*d - '0');
      if (expNegative) exponent = -exponent;
    }
    long long position = 0;  // digits before the point, after leading zeros
    const char* p = first;
    while (p < e && *p == '0') ++p;
    if (p < e && *p != '.') {
      while (p < e && IsDigit(*p)) ++p, ++position;
    } else {
      if (p < e && *p == '.') ++p;
      while (p < e && *p == '0') ++p, --position;
    }
    magnitude = position + exponent > 0 ? HUGE_VAL : 0.0;
  } else if (ec != std::errc() || ptr != last) {
    return 0;
  }
  const double value = negative ? -magnitude : magnitude;
  if (value >= 2147483648.0) return INT_MAX;
  if (value <= -2147483649.0) return INT_MIN;
  return static_cast<int>(value);  // truncates toward zero
}

bool BoolValue(std::string_view text) { return text::EqualsIgnoreCase(text, "TRUE"); }

std::string FormatConfigInt(int value) { return std::to_string(value); }

RowType ParseRowType(std::string_view text) {
  if (text::EqualsIgnoreCase(text, "int")) return RowType::Int;
  if (text::EqualsIgnoreCase(text, "bool")) return RowType::Bool;
  return RowType::Other;
}

ConfigRow ParseConfigRow(std::string_view name, std::string_view value, std::string_view type) {
  static const PropertyTable table = PropertyNameTable();
  ConfigRow row;
  row.name = text::ToUpperAscii(name);
  if (auto it = table.find(row.name); it != table.end()) row.number = it->second;
  row.value = std::string(value);
  row.type = ParseRowType(type);
  if (row.type == RowType::Int) row.intValue = LenientInt(value);
  if (row.type == RowType::Bool) row.boolValue = BoolValue(value);
  return row;
}

std::vector<ConfigRow> ConfigRows(const CSV_reader& table) {
  const std::vector<std::string>& names = table.column_names();
  if (names.empty()) return {};

  // Up to the first three columns by position; the rest are not looked at.
  const std::vector<std::string>* columns[3] = {nullptr, nullptr, nullptr};
  static const std::vector<std::string> kNone;
  for (size_t c = 0; c < 3 && c < names.size(); ++c) {
    try {
      columns[c] = &table.column(names[c]);
    } catch (const CsvError&) {
      columns[c] = &kNone;  // header only: no values stored under the name
    }
  }
  auto field = [&](size_t c, size_t r) -> std::string_view {
    if (!columns[c] || r >= columns[c]->size()) return {};
    return (*columns[c])[r];
  };

  std::vector<ConfigRow> rows;
  const size_t count = columns[0]->size();
  rows.reserve(count);
  for (size_t r = 0; r < count; ++r) rows.push_back(ParseConfigRow(field(0, r), field(1, r), field(2, r)));
  return rows;
}

CSV_reader BuildConfigTable(const SavedSettings& s) {
  std::vector<std::string> names, values, types;
  auto add = [&](const char* name, std::string value, const char* type) {
    names.emplace_back(name);
    values.push_back(std::move(value));
    types.emplace_back(type);
  };
  auto addInt = [&](const char* name, int v) { add(name, FormatConfigInt(v), "int"); };
  auto addBool = [&](const char* name, bool on) { add(name, on ? "TRUE" : "FALSE", "bool"); };

  addInt("BRIGHTNESS", s.brightness);
  addInt("CONTRAST", s.contrast);
  addInt("SATURATION", s.saturation);
  addInt("SHARPNESS", s.sharpness);
  addInt("GAMMA", s.gamma);
  addBool("AUTO_EXPOSURE", s.aecOn);
  if (s.aecOn)
    addInt("AEC_TARGET", s.aecTarget);
  else
    addInt("MANUAL_EXPOSURE", s.manualExposure);
  addBool("AUTO_WHITE_BALANCE", s.awbOn);
  if (!s.awbOn) {
    addInt("COLOR_GAIN_BLUE", s.gainBlue);
    addInt("COLOR_GAIN_RED", s.gainRed);
  }
  if (s.rotateSupported) addBool("ROTATE_180", s.rotate180);
  if (s.illuminationWritten) addBool("ILLUMINATE", s.illuminationOn);

  CSV_reader table;
  table.add_column("PropName", names);
  table.add_column("Value", values);
  table.add_column("DataType", types);
  return table;
}

}  // namespace vorn::config
