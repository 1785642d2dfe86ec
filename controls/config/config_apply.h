// Applying a configuration file to the camera, row by row: which library
// call each row makes, when a row is skipped or accepted without a call, and
// the status line of every outcome. The window and the command-line tool
// share these rules; each keeps its own idea of the current settings behind
// ConfigTarget.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/config_rows.h"

namespace vorn::config {

// Where a load lands. Status lines are UTF-8 and end in "\r\n".
class ConfigTarget {
public:
  virtual ~ConfigTarget() = default;

  // The value last applied for an integer property; a row with that value
  // is skipped. Nothing when it isn't known, so the row is always sent.
  virtual std::optional<int> LastApplied(int number) = 0;
  // After the library took the value.
  virtual void IntApplied(int number, int value) = 0;

  // Automatic exposure as the target sees it; a row asking for that state
  // makes no call. Nothing when unknown.
  virtual std::optional<bool> AecOn() = 0;
  virtual void AecSwitched(bool on) = 0;
  virtual void AwbSwitched(bool on) = 0;

  // Rotation and illumination rows do nothing where these are false.
  virtual bool RotateSupported() = 0;
  virtual void RotateSwitched(bool on) = 0;
  virtual bool IlluminationAvailable() = 0;
  virtual void IlluminationSwitched(bool on) = 0;

  virtual void Status(const std::string& line) = 0;
};

enum class RowResult {
  Applied,    // the library took it
  Unchanged,  // the target already had it: no call
  Ignored,    // nothing to do for this row here (type, number or camera)
  Failed,     // refused by the library, or a name not in the table
};

// One integer property by its configuration number; Ignored for a number
// without an integer operation.
RowResult ApplyIntProperty(ConfigTarget& target, int number, int value);

// One row of a loaded file.
RowResult ApplyConfigRow(ConfigTarget& target, const ConfigRow& row);

// Called after each row with its index (0 for the first data row) and result.
using RowObserver = std::function<void(std::size_t index, const ConfigRow& row, RowResult result)>;

// The data rows of a configuration file (UTF-8 name) as a load reads them;
// nullopt for a file that can't be opened or is malformed, with the reason
// ("Unable to open file <name>" or the table's own message) in `error`.
std::optional<std::vector<ConfigRow>> ReadConfigRows(const std::string& fileName, std::string& error);

struct RowsSummary {
  std::size_t failed = 0;  // rows that failed, at most one when stopping at the first
};

// Applies rows in order, each taking effect before the next. With
// stopAtFailure the first failing row ends the run (a load); otherwise every
// row is tried (the settings remembered for a camera).
RowsSummary ApplyConfigRows(ConfigTarget& target, const std::vector<ConfigRow>& rows, bool stopAtFailure,
                            const RowObserver& observer = {});

// Reads the file (UTF-8 name) and applies its rows in order, stopping at the
// first that fails. False for that, and for a file that can't be opened or
// is malformed (a status line says which).
bool LoadConfigFile(ConfigTarget& target, const std::string& fileName, const RowObserver& observer = {});

}  // namespace vorn::config
