// The settings parser over arbitrary text; no stored key or value may keep
// white space.
#include <cstdint>
#include <sstream>
#include <string>

#include "config/startup_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const auto settings = vorn::settings::ParseStartupSettings(in);
  for (const auto& [key, value] : settings) {
    if (key.find_first_of(" \t\n\v\f\r") != std::string::npos) __builtin_trap();
    if (value.find_first_of(" \t\n\v\f\r") != std::string::npos) __builtin_trap();
    if (!key.empty() && key.front() == '#') __builtin_trap();
  }
  (void)vorn::settings::IlluminateSetting(settings);
  return 0;
}
