#include "cli/args.h"

#include <algorithm>

#include "cli/values.h"

namespace vorn::cli {

namespace {

constexpr int kMaxDevice = 64;

// How many operands a command takes and which of its own options it knows.
struct CommandRule {
  std::string_view name;
  size_t minOperands;
  size_t maxOperands;
  bool resolution = false;
  bool verify = false;
  bool force = false;
};

constexpr size_t kMany = static_cast<size_t>(-1);

const CommandRule kRules[] = {
    {"list", 0, 0},
    {"info", 0, 0},
    {"get", 0, kMany},
    {"set", 1, kMany},
    {"reset", 0, kMany},
    {"save", 1, 1, false, false, true},
    {"apply", 1, 1},
    {"remember", 1, 1},
    {"snapshot", 1, 1, true},
    {"burn", 1, 1, false, true},
};

const CommandRule* RuleOf(std::string_view name) {
  for (const CommandRule& r : kRules)
    if (r.name == name) return &r;
  return nullptr;
}

}  // namespace

const std::vector<std::string_view>& CommandNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> n;
    for (const CommandRule& r : kRules) n.push_back(r.name);
    return n;
  }();
  return names;
}

bool IsCommand(std::string_view name) { return RuleOf(name) != nullptr; }

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
  Invocation inv;
  const CommandRule* rule = nullptr;
  bool optionsEnded = false;

  auto fail = [](std::string message) { return ParseResult{std::nullopt, std::move(message)}; };

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-' && !ParseInt(arg);
    if (!isOption) {
      if (!optionsEnded && arg == "--") {
        optionsEnded = true;
        continue;
      }
      if (inv.command.empty()) {
        rule = RuleOf(arg);
        if (!rule) return fail("unknown command " + Quote(arg));
        inv.command = arg;
      } else {
        inv.operands.push_back(arg);
      }
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }

    // --name or --name=value
    std::string name = arg, value;
    bool hasValue = false;
    if (const size_t eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    auto takeValue = [&]() -> bool {
      if (hasValue) return true;
      if (i + 1 >= args.size()) return false;
      value = args[++i];
      return true;
    };
    auto flag = [&](bool& target) -> std::optional<ParseResult> {
      if (hasValue) return fail(name + " takes no value");
      target = true;
      return std::nullopt;
    };

    std::optional<ParseResult> error;
    if (name == "--device") {
      if (!takeValue()) return fail("--device needs a camera number");
      const std::optional<int> n = ParseInt(value);
      if (!n || *n < 1 || *n > kMaxDevice)
        return fail("--device needs a camera number from 1 to " + std::to_string(kMaxDevice) + ", not " +
                    Quote(value));
      inv.device = *n;
    } else if (name == "--json") {
      error = flag(inv.json);
    } else if (name == "--verbose") {
      error = flag(inv.verbose);
    } else if (name == "--help" || name == "-h") {
      error = flag(inv.help);
    } else if (name == "--version") {
      error = flag(inv.version);
    } else if (name == "--resolution" || name == "--verify" || name == "--force") {
      // Options of one command: the command must come first.
      const bool ok = rule && ((name == "--resolution" && rule->resolution) || (name == "--verify" && rule->verify) ||
                               (name == "--force" && rule->force));
      if (!ok)
        return fail(name + " is not an option of " +
                    (rule ? Quote(inv.command) : std::string("vorn_ctl; it belongs after its command")));
      if (name == "--resolution") {
        if (!takeValue()) return fail("--resolution needs WIDTHxHEIGHT");
        if (!ParseResolution(value)) return fail("--resolution needs WIDTHxHEIGHT, not " + Quote(value));
        inv.resolution = value;
      } else {
        error = flag(name == "--verify" ? inv.verify : inv.force);
      }
    } else {
      return fail("unknown option " + Quote(name));
    }
    if (error) return *error;
  }

  if (inv.help || inv.version) return ParseResult{inv, {}};
  if (!rule) return fail("no command given");
  if (inv.operands.size() < rule->minOperands)
    return fail(Quote(inv.command) + " needs " + (rule->maxOperands == 1 ? "one argument" : "at least one argument"));
  if (inv.operands.size() > rule->maxOperands)
    return fail(Quote(inv.command) + (rule->maxOperands == 0 ? " takes no arguments" : " takes one argument") +
                ", not " + std::to_string(inv.operands.size()));
  return ParseResult{inv, {}};
}

}  // namespace vorn::cli
