// A table read from the bytes, then turned into configuration rows; also the
// lenient integer and the round trip of saved integers.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <unistd.h>

#include <filesystem>

// Memory-backed when there is one: the file is rewritten for every input.
static std::string TempFolder() {
  std::error_code ec;
  return std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
}

#include "config/config_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  (void)vorn::config::LenientInt(text);
  (void)vorn::config::BoolValue(text);
  if (size >= 4) {
    int v;
    std::memcpy(&v, data, 4);
    if (vorn::config::LenientInt(vorn::config::FormatConfigInt(v)) != v) __builtin_trap();
  }

  static const std::string path = TempFolder() + "/vorn_fuzz_rows_" + std::to_string(getpid()) + ".csv";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  CSV_reader table;
  bool refused = false;
  try {
    table.read_file(path);
    // As Load Config does: a header without data rows is refused through
    // the lookup of its first column.
    if (!table.column_names().empty()) (void)table.column(table.column_names().front());
  } catch (const CsvError&) {
    refused = true;  // the load stops here with the reader's message
  }
  const std::vector<vorn::config::ConfigRow> rows = vorn::config::ConfigRows(table);
  if (refused || !table.initialized()) return 0;

  // A table the load walks: every column as long as the first, so no row
  // reads past the end of one.
  for (const std::string& name : table.column_names())
    if (table.column(name).size() != rows.size()) __builtin_trap();
  static const vorn::config::PropertyTable names = vorn::config::PropertyNameTable();
  for (const auto& row : rows) {
    if (!row.number) break;  // the load stops at an unknown name
    if (names.at(row.name) != *row.number) __builtin_trap();
    if (row.type == vorn::config::RowType::Int && row.intValue != vorn::config::LenientInt(row.value))
      __builtin_trap();
  }
  return 0;
}
