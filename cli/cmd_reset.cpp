// reset: the camera's own defaults.
#include "cli/commands.h"

namespace vorn::cli {

int RunReset(const Context& ctx) {
  return Fail(ctx, {kExitFailed, "reset is not available in this build yet"});
}

}  // namespace vorn::cli
