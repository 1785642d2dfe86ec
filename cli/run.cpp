#include "cli/run.h"

#include <exception>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "vorn_version.h"

namespace vorn::cli {

namespace {

int Dispatch(const Context& ctx) {
  const std::string& c = ctx.inv.command;
  if (c == "list") return RunList(ctx);
  if (c == "info") return RunInfo(ctx);
  if (c == "get") return RunGet(ctx);
  if (c == "set") return RunSet(ctx);
  if (c == "reset") return RunReset(ctx);
  if (c == "save") return RunSave(ctx);
  if (c == "apply") return RunApply(ctx);
  if (c == "remember") return RunRemember(ctx);
  if (c == "snapshot") return RunSnapshot(ctx);
  if (c == "burn") return RunBurn(ctx);
  return kExitUsage;  // the parser knows no other command
}

}  // namespace

int Run(const std::vector<std::string>& args, const Console& console) {
  const ParseResult parsed = ParseCommandLine(args);
  if (!parsed.invocation) {
    console.Err("vorn_ctl: " + parsed.error + "\n\n" + Usage());
    return kExitUsage;
  }
  const Invocation& inv = *parsed.invocation;
  if (inv.version) {
    console.Out(std::string("vorn_ctl ") + VORN_VERSION_STRING + "\n");
    return kExitOk;
  }
  if (inv.help) {
    console.Out(inv.command.empty() ? Usage() : CommandHelp(inv.command));
    return kExitOk;
  }
  const Context ctx{inv, console};
  try {
    return Dispatch(ctx);
  } catch (const std::exception& e) {
    return Fail(ctx, {kExitFailed, std::string("unexpected failure: ") + e.what()});
  }
}

}  // namespace vorn::cli
