// How a command ends: a table of plain aligned text, or with --json one
// JSON document on standard output; failures also as a message on the error
// stream.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/args.h"
#include "cli/camera.h"
#include "cli/console.h"

namespace vorn::cli {

using Json = nlohmann::ordered_json;

struct Context {
  const Invocation& inv;
  const Console& con;
};

// Columns padded to their widest cell, two blanks apart, no trailing blanks.
std::string Table(const std::vector<std::vector<std::string>>& rows);

// Prints the document or the text, gives 0.
int Succeed(const Context& ctx, const Json& doc, const std::string& text);

// "vorn_ctl: <message>" on the error stream; with --json the document with
// an "error" member, else whatever text was done so far. Gives the code.
int Fail(const Context& ctx, const Failure& failure, Json doc = Json::object(), const std::string& text = {});

// Status lines of the shared rules end in "\r\n"; our output doesn't.
std::string WithoutLineEnd(std::string line);

}  // namespace vorn::cli
