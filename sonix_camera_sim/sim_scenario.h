// What a scenario describes: the simulated cameras, their settings, register
// contents and the failures to inject. Parsed from the key = value text of a
// scenario file; nothing here touches the running simulator.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sonix_sim {

constexpr int kMaxCameras = 5;
constexpr int kRegisterSpace = 0x10000;

struct Setting {
    int value = 0;
    int min = 0;
    int max = 0;
    int step = 1;
    int def = 0;
    int flags = 0;
};

struct Resolution {
    int width = 0;
    int height = 0;
};

struct CameraSetup {
    std::string product = "Vorn UC-20 Camera";
    std::string interfaceText = "USB 2.0 High Speed";
    std::string firmware = "Vorn-Corvanith-211015K-1.3";
    std::vector<uint8_t> vidPid = {0x56, 0x4f, 0x52, 0x4e, 0x01, 0x00};
    int flashType = 2;
    bool selectable = true;
    bool productQuery = true;
    // Keyed by the vendor numbers: properties 0 1 3 4 5 7 8, controls 0 1 2 4 6.
    std::map<int, Setting> properties;
    std::map<int, Setting> controls;
    std::vector<Resolution> resolutions;
    // Raw vendor count; unset means twice the number of resolutions.
    std::optional<int> resolutionCount;
    // Gains the camera settles on while automatic white balance runs.
    std::array<int, 3> awbGains = {310, 256, 420};
    // Register contents written after the settings have been applied.
    std::vector<std::pair<int, std::vector<uint8_t>>> registers;
    // Cable pulled / plugged back, in milliseconds after the scenario load.
    // A camera with a replug time and no unplug time starts unplugged.
    std::optional<int> unplugAfterMs;
    std::optional<int> replugAfterMs;

    CameraSetup();
};

// A failure rule: fail every matching call, or the n-th ones (1-based).
struct FaultRule {
    std::string function;        // e.g. "SonixCam_PropertySet", "frame.drop"
    std::optional<long> firstArg;  // only calls with this first argument
    bool always = false;
    std::vector<long> nth;       // matching-call numbers that fail
};

struct Scenario {
    std::string tracePath;
    int burnMs = 0;
    double fps = 30.0;
    std::vector<CameraSetup> cameras;
    std::vector<FaultRule> faults;
};

// The built-in scenario: one healthy camera.
Scenario DefaultScenario();

// Parses a scenario. On failure returns false and sets error to
// "<source>:<line>: <what>"; out is untouched then.
bool ParseScenario(const std::string& text, const std::string& source, Scenario& out, std::string& error);

// Parses lines of the [faults] section (the header may be left out); any
// other section is refused.
bool ParseFaultRules(const std::string& text, const std::string& source, std::vector<FaultRule>& out,
                     std::string& error);

// Vendor functions a [faults] key may name, with whether the first argument
// is an integer (so that the ".<first argument>" form makes sense).
bool IsVendorFunction(const std::string& name, bool* intFirstArg = nullptr);

}  // namespace sonix_sim
