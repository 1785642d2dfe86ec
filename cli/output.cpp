#include "cli/output.h"

#include <algorithm>

namespace vorn::cli {

std::string Table(const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> widths;
  for (const auto& row : rows)
    for (size_t c = 0; c < row.size(); ++c) {
      if (widths.size() <= c) widths.push_back(0);
      widths[c] = std::max(widths[c], row[c].size());
    }
  std::string text;
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line.append(widths[c] - row[c].size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + "\n";
  }
  return text;
}

int Succeed(const Context& ctx, const Json& doc, const std::string& text) {
  if (ctx.inv.json)
    ctx.con.Out(doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n");
  else
    ctx.con.Out(text);
  return kExitOk;
}

int Fail(const Context& ctx, const Failure& failure, Json doc, const std::string& text) {
  if (ctx.inv.json) {
    if (!doc.is_object()) doc = Json::object();
    doc["error"] = failure.message;
    ctx.con.Out(doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n");
  } else {
    ctx.con.Out(text);
  }
  ctx.con.Err("vorn_ctl: " + failure.message + "\n");
  return failure.code;
}

std::string WithoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace vorn::cli
