// The commands of vorn_ctl; each gives the exit code.
#pragma once

#include "cli/output.h"

namespace vorn::cli {

int RunList(const Context& ctx);
int RunInfo(const Context& ctx);
int RunGet(const Context& ctx);
int RunSet(const Context& ctx);
int RunReset(const Context& ctx);
int RunSave(const Context& ctx);
int RunApply(const Context& ctx);
int RunRemember(const Context& ctx);
int RunSnapshot(const Context& ctx);
int RunBurn(const Context& ctx);

// Starts the library and selects (and, when asked, opens) the chosen camera.
std::optional<Failure> StartSession(const Context& ctx, CameraSession& session, bool open);

}  // namespace vorn::cli
