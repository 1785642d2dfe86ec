// A minimal comma-separated table held column by column: one header line of
// names, one line per row, no quoting, no escaping, no trimming.
#pragma once

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
  CSV_reader() = default;

  // Fields of one line: split at each ',', a trailing comma adds no field,
  // an empty line has none.
  static std::vector<std::string> split_line(const std::string& line);

  // File names are UTF-8. Lines end in LF with an optional CR before it.
  // An unopenable file is only traced on standard output; a row whose field
  // count differs from the header, or a header that repeats a name, raises.
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
