// The thirteen settings vorn_ctl reads and writes by name, over the camera
// library's exports.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "cli/camera.h"
#include "config/config_rows.h"

namespace vorn::cli {

enum class Kind { Int, Switch };
enum class Gate { None, Rotate, Illumination };

struct Setting {
  const char* name;   // as typed: "aec-target"
  const char* label;  // as in messages: "AEC Target"
  Kind kind;
  int(VORN_CDECL* getInt)(int*);
  int(VORN_CDECL* setInt)(int);
  int(VORN_CDECL* range)(int*, int*);  // null: the library's fixed range
  int fixedMin, fixedMax;
  int(VORN_CDECL* getSwitch)(bool*);
  int(VORN_CDECL* setSwitch)(bool);
  Gate gate;
  // A value the camera overwrites while this switch is on (the gains under
  // automatic white balance, the exposure under automatic exposure).
  const Setting* (*heldBy)();
};

// In the order get lists them.
std::span<const Setting> Settings();
const Setting* FindSetting(std::string_view name);

struct Range {
  int min = 0;
  int max = 0;
};

using Value = std::variant<int, bool>;

// Does the camera's firmware offer the setting?
struct Gates {
  bool rotate = false;
  bool illumination = false;
  bool Allows(const Setting& s) const;
};

std::optional<Value> ReadValue(const Setting& s);
// The inclusive range a value must lie in; nothing for switches and when the
// camera can't report it.
std::optional<Range> ReadRange(const Setting& s);
bool WriteValue(const Setting& s, const Value& v);

std::string FormatValue(const Value& v);

// A NAME=VALUE operand, checked for its form only (the range needs the
// camera). The failure is a usage error.
struct Assignment {
  const Setting* setting = nullptr;
  Value value;
};
std::variant<Assignment, Failure> ParseAssignment(std::string_view text);

// Applies one assignment: the firmware gate, the range, the switch that
// would overwrite it, then the library call.
std::optional<Failure> Apply(const Assignment& a, const Gates& gates);

// Everything a saved configuration holds, read from the camera.
std::variant<vorn::config::SavedSettings, Failure> ReadSavedSettings(const Gates& gates);

}  // namespace vorn::cli
