// A minimal comma-separated table held column by column: one header line of
// names, one line per row, no quoting, no escaping, no trimming.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

// Every failure of the table is raised as this, carrying the text to show.
class CsvError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class CSV_reader {
public:
  // A configuration file is a few hundred bytes; anything far beyond that is
  // not one and is refused before it is parsed or shown.
  static constexpr std::size_t kMaxFileBytes = 64 * 1024;
  static constexpr std::size_t kMaxLineBytes = 1024;

  CSV_reader() = default;

  // Fields of one line: split at each ',', a trailing comma adds no field,
  // an empty line has none.
  static std::vector<std::string> split_line(const std::string& line);

  // File names are UTF-8. Lines end in LF with an optional CR before it.
  // An unopenable file is only traced on standard output; a row whose field
  // count differs from the header, or a header that repeats a name, raises.
  // So do a folder or device, a file beyond kMaxFileBytes, and a line read
  // beyond kMaxLineBytes or with control bytes other than TAB, VT, FF or CR
  // (binary data); nothing of such a file is stored.
  void read_file(const std::string& file_name);

  // Writes with CR LF line ends. Raises when the table was never filled;
  // returns false when the file cannot be created or written completely.
  bool write_file(const std::string& file_name) const;

  void add_column(const std::string& name, const std::vector<std::string>& values);

  // Raises when no column of that name is stored.
  const std::vector<std::string>& column(const std::string& name) const;

  const std::vector<std::string>& column_names() const { return column_names_; }
  bool initialized() const { return initialized_; }

private:
  std::vector<std::string> column_names_;
  std::unordered_map<std::string, std::vector<std::string>> contents_;
  bool initialized_ = false;
};
