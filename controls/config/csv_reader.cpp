#include "config/csv_reader.h"

#include <cstdio>
#include <iostream>
#include <unordered_set>

#include "config/file_open.h"

namespace {

// Splits raw file bytes into lines the way a text-mode read would: LF ends a
// line and one CR right before it belongs to the line end. Reading the file
// in binary and stripping here keeps both platforms identical.
class LineSource {
public:
  explicit LineSource(const std::string& data) : data_(data) {}

  bool next(std::string& line) {
    if (pos_ >= data_.size()) return false;
    size_t end = data_.find('\n', pos_);
    size_t stop = end == std::string::npos ? data_.size() : end;
    line.assign(data_, pos_, stop - pos_);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos_ = end == std::string::npos ? data_.size() : end + 1;
    return true;
  }

private:
  const std::string& data_;
  size_t pos_ = 0;
};

// Refuses a line no configuration file has. `k` counts data lines as the
// field-count message does; 0 is the header.
void CheckLine(const std::string& line, size_t k, const std::string& file_name) {
  const std::string where = k == 0 ? "the header line" : "line " + std::to_string(k);
  if (line.size() > CSV_reader::kMaxLineBytes) {
    throw CsvError("Line too long: " + where + " of file " + file_name + " has more than " +
                   std::to_string(CSV_reader::kMaxLineBytes) + " bytes");
  }
  for (unsigned char c : line) {
    if (c < 0x20 && c != '\t' && c != '\v' && c != '\f' && c != '\r') {
      char code[8];
      std::snprintf(code, sizeof code, "0x%02X", c);
      throw CsvError("Binary data: " + where + " of file " + file_name + " holds the byte " + code);
    }
  }
}

}  // namespace

std::vector<std::string> CSV_reader::split_line(const std::string& line) {
  std::vector<std::string> fields;
  size_t pos = 0;
  while (pos < line.size()) {
    size_t comma = line.find(',', pos);
    if (comma == std::string::npos) {
      fields.push_back(line.substr(pos));
      break;
    }
    fields.push_back(line.substr(pos, comma - pos));
    pos = comma + 1;
  }
  return fields;
}

void CSV_reader::read_file(const std::string& file_name) {
  std::string data;
  switch (vorn::files::ReadRegularFile(vorn::files::PathFromUtf8(file_name), kMaxFileBytes, data)) {
    case vorn::files::ReadStatus::Ok: break;
    case vorn::files::ReadStatus::CantOpen:
      std::cout << "Unable to open file " << file_name << std::endl;
      return;
    case vorn::files::ReadStatus::Folder:
      throw CsvError("Unable to open file " + file_name + ": it is a folder");
    case vorn::files::ReadStatus::NotRegular:
      throw CsvError("Unable to open file " + file_name + ": it is not a regular file");
    case vorn::files::ReadStatus::TooLarge:
      throw CsvError("File " + file_name + " is larger than " + std::to_string(kMaxFileBytes) +
                     " bytes; it is not a configuration file");
  }
  // The whole table is checked before anything is stored, so a refused
  // file leaves no rows behind.
  LineSource lines(data);
  std::string line;
  std::vector<std::string> texts;
  while (lines.next(line)) {
    CheckLine(line, texts.size(), file_name);
    if (!texts.empty() && line.empty()) break;  // the data ends here
    texts.push_back(std::move(line));
  }
  if (texts.empty()) texts.emplace_back();  // an empty file reads as one empty header line
  std::vector<std::string> names = split_line(texts.front());

  // A repeated name would pour two fields per row into one column and leave
  // the columns of unequal length, so such a header is refused outright.
  std::unordered_set<std::string> seen;
  for (const std::string& n : names) {
    if (!seen.insert(n).second)
      throw CsvError("Duplicate column name '" + n + "' in file " + file_name);
  }
  column_names_ = std::move(names);
  const size_t m = column_names_.size();

  size_t k = 0;
  for (size_t t = 1; t < texts.size(); ++t) {
    const std::string& line = texts[t];
    ++k;
    std::vector<std::string> fields = split_line(line);
    if (fields.size() != m) {
      throw CsvError("Saw " + std::to_string(fields.size()) + " columns; expected " +
                     std::to_string(m) + " comma separated columns at line " + std::to_string(k) +
                     " of file " + file_name + ": " + line);
    }
    for (size_t i = 0; i < m; ++i) contents_[column_names_[i]].push_back(std::move(fields[i]));
  }
  initialized_ = true;
}

bool CSV_reader::write_file(const std::string& file_name) const {
  // The file is created before the checks, as a text-mode open would.
  vorn::files::FileHandle f(vorn::files::Open(vorn::files::PathFromUtf8(file_name), "wb"));
  if (!initialized_)
    throw CsvError("Error: CSV_reader write_file called before contents was initialized");

  const size_t rows = column_names_.empty() ? 0 : column(column_names_.front()).size();
  // Columns shorter than the first would be read past their end.
  for (const std::string& name : column_names_) {
    const size_t have = column(name).size();
    if (have < rows) {
      throw CsvError("Column '" + name + "' has " + std::to_string(have) + " values; expected " +
                     std::to_string(rows));
    }
  }
  if (!f) return false;

  std::string out;
  auto write_row = [&](auto field_of) {
    for (size_t i = 0; i < column_names_.size(); ++i) {
      if (i) out.push_back(',');
      out += field_of(i);
    }
    out += "\r\n";
  };
  write_row([&](size_t i) -> const std::string& { return column_names_[i]; });
  for (size_t r = 0; r < rows; ++r)
    write_row([&](size_t i) -> const std::string& { return column(column_names_[i])[r]; });

  const bool wrote = std::fwrite(out.data(), 1, out.size(), f.get()) == out.size();
  const bool flushed = std::fflush(f.get()) == 0 && !std::ferror(f.get());
  const bool closed = std::fclose(f.release()) == 0;
  return wrote && flushed && closed;
}

void CSV_reader::add_column(const std::string& name, const std::vector<std::string>& values) {
  column_names_.push_back(name);
  contents_.try_emplace(name, values);
  initialized_ = true;
}

const std::vector<std::string>& CSV_reader::column(const std::string& name) const {
  auto it = contents_.find(name);
  if (it == contents_.end()) throw CsvError("No column named '" + name + "'");
  return it->second;
}
