// Tells the process's windows that a capture device came or went, the way
// the system does. Does nothing where there is no window system.
#pragma once

#include <string>

namespace sonix_sim {

void NotifyDeviceChange(bool arrival, const std::string& devicePath);

}  // namespace sonix_sim
