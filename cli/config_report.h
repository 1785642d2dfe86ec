// What apply and remember apply share: a configuration applied straight onto
// the camera with the window's rules, and the report of each row.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/output.h"
#include "cli/settings.h"
#include "config/config_apply.h"

namespace vorn::cli {

// A load straight onto the camera: what it holds now is what it was last
// given, and the status lines of each row are kept for its report.
class CameraConfigTarget : public vorn::config::ConfigTarget {
public:
  explicit CameraConfigTarget(const Gates& gates) : gates_(gates) {}

  std::optional<int> LastApplied(int number) override;
  void IntApplied(int, int) override {}
  std::optional<bool> AecOn() override;
  void AecSwitched(bool) override {}
  void AwbSwitched(bool) override {}
  bool RotateSupported() override { return gates_.rotate; }
  void RotateSwitched(bool) override {}
  bool IlluminationAvailable() override { return gates_.illumination; }
  void IlluminationSwitched(bool) override {}
  void Status(const std::string& line) override { lines_.push_back(WithoutLineEnd(line)); }

  std::vector<std::string> TakeLines();

private:
  Gates gates_;
  std::vector<std::string> lines_;
};

// The camera's firmware gates, as the session's camera reports its version.
Gates GatesOf(const CameraSession& session);

// One entry per row as it is applied (the RowObserver of a load): JSON rows,
// text rows, the count applied and the first failure.
class RowReport {
public:
  explicit RowReport(CameraConfigTarget& target) : target_(target) {}

  void Add(std::size_t index, const vorn::config::ConfigRow& row, vorn::config::RowResult result);

  Json rows = Json::array();
  std::vector<std::vector<std::string>> table;
  std::size_t applied = 0;
  std::size_t failed = 0;
  // The first failing row: its exit code (an unknown name is the file's
  // fault, a refusal the camera's), its line and its messages.
  std::optional<Failure> firstFailure;
  Json firstFailureJson = nullptr;

private:
  CameraConfigTarget& target_;
};

// "int", "bool" or "other".
const char* TypeWord(vorn::config::RowType type);

// Status lines joined for one cell: "a; b".
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace vorn::cli
