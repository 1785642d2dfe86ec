// A table read from the bytes, then turned into configuration rows; also the
// lenient integer and the round trip of saved integers.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
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
  try {
    table.read_file(path);
  } catch (const CsvError&) {
  }
  for (const auto& row : vorn::config::ConfigRows(table)) {
    if (row.type == vorn::config::RowType::Int && row.intValue != vorn::config::LenientInt(row.value))
      __builtin_trap();
  }
  return 0;
}
