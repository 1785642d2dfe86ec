#include "config/config_apply.h"

#include <cstdio>

#include "vorn_uvc.h"

namespace vorn::config {

namespace {

// One integer property a load can set: the library call and its three
// status texts (one %d in the last two).
struct IntProperty {
  int number;
  int(VORN_CDECL* set)(int);
  const char* skip;
  const char* success;
  const char* failure;
};

const IntProperty kIntProperties[] = {
    {kBrightness, &vorn_uvc_setBrightness, "Skip setting Brighness\r\n", "Set Brightness to %d successfully\r\n",
     "Failed to set Brightness to %d\r\n"},
    {kContrast, &vorn_uvc_setContrast, "Skip setting Contrast\r\n", "Set Contrast to %d successfully\r\n",
     "Failed to set Contrast to %d\r\n"},
    {kSaturation, &vorn_uvc_setSaturation, "Skip setting Saturation\r\n", "Set Saturation to %d successfully\r\n",
     "Failed to set Saturation to %d\r\n"},
    {kSharpness, &vorn_uvc_setSharpness, "Skip setting Sharpness\r\n", "Set Sharpness to %d successfully\r\n",
     "Failed to set Sharpness to %d\r\n"},
    {kGamma, &vorn_uvc_setGamma, "Skip setting Gamma\r\n", "Set Gamma to %d successfully\r\n",
     "Failed to set Gamma to %d\r\n"},
    {kAecTarget, &vorn_uvc_setAEC_Target, "Skip setting AEC Target\r\n", "Set AEC Target to %d successfully\r\n",
     "Failed to set AEC Target to %d\r\n"},
    {kGainBlue, &vorn_uvc_set_AWB_Gain_Blue, "Skip setting Color Gain Blue\r\n",
     "Set Color Gain Blue to %d successfully\r\n", "Failed to set Color Gain Blue to %d\r\n"},
    {kGainRed, &vorn_uvc_set_AWB_Gain_Red, "Skip setting Color Gain Red\r\n",
     "Set Color Gain Red to %d successfully\r\n", "Failed to set Color Gain Red to %d\r\n"},
    {kExposure, &vorn_uvc_setManualExposureValue, "Skip setting Manual Exposure\r\n",
     "Set Manual Exposure to %d successfully\r\n", "Failed to set Manual Exposure to %d\r\n"},
};

std::string FormatWithValue(const char* format, int value) {
  char text[128] = {};
  std::snprintf(text, sizeof text, format, value);
  return text;
}

RowResult ApplySwitch(ConfigTarget& target, int number, bool on) {
  switch (number) {
    case kExposure: {
      const std::optional<bool> current = target.AecOn();
      if (current && *current == on) return RowResult::Unchanged;
      if (vorn_uvc_setAEC_Mode(on) != 0) {
        target.Status("Set AEC Mode failed!\r\n");
        return RowResult::Failed;
      }
      target.AecSwitched(on);
      return RowResult::Applied;
    }
    case kWhiteBalance:
      // Sent even when the mode already matches: switching white balance
      // on again restarts the camera's own gain search.
      if (vorn_uvc_setAWB_Mode(on) != 0) {
        target.Status("Set AWB Mode failed!\r\n");
        return RowResult::Failed;
      }
      target.AwbSwitched(on);
      return RowResult::Applied;
    case kRotate180:
      if (!target.RotateSupported()) return RowResult::Ignored;
      if (vorn_uvc_rotate180(on) != 0) {
        target.Status("Rotation failed!\r\n");
        return RowResult::Failed;
      }
      target.RotateSwitched(on);
      return RowResult::Applied;
    case kIlluminate:
      if (!target.IlluminationAvailable()) return RowResult::Ignored;
      if (vorn_uvc_setIllumination(on) != 0) {
        target.Status("Illumination failed!\r\n");
        return RowResult::Failed;
      }
      target.IlluminationSwitched(on);
      return RowResult::Applied;
    default:
      return RowResult::Ignored;
  }
}

}  // namespace

RowResult ApplyIntProperty(ConfigTarget& target, int number, int value) {
  for (const IntProperty& p : kIntProperties) {
    if (p.number != number) continue;
    const std::optional<int> last = target.LastApplied(number);
    if (last && *last == value) {
      target.Status(p.skip);
      return RowResult::Unchanged;
    }
    if (p.set(value) != 0) {
      target.Status(FormatWithValue(p.failure, value));
      return RowResult::Failed;
    }
    target.Status(FormatWithValue(p.success, value));
    target.IntApplied(number, value);
    return RowResult::Applied;
  }
  return RowResult::Ignored;
}

RowResult ApplyConfigRow(ConfigTarget& target, const ConfigRow& row) {
  if (!row.number) {
    target.Status("Cannot find property " + row.name + "\r\n");
    return RowResult::Failed;
  }
  switch (row.type) {
    case RowType::Int: return ApplyIntProperty(target, *row.number, row.intValue);
    case RowType::Bool: return ApplySwitch(target, *row.number, row.boolValue);
    case RowType::Other: break;
  }
  return RowResult::Ignored;
}

std::optional<std::vector<ConfigRow>> ReadConfigRows(const std::string& fileName, std::string& error) {
  try {
    CSV_reader table;
    table.read_file(fileName);
    if (!table.initialized()) {
      error = "Unable to open file " + fileName;
      return std::nullopt;
    }
    // A header without data rows has no stored first column: the lookup
    // raises, and the file is refused like any other malformed table.
    if (!table.column_names().empty()) table.column(table.column_names().front());
    return ConfigRows(table);
  } catch (const CsvError& e) {
    error = e.what();
    return std::nullopt;
  }
}

RowsSummary ApplyConfigRows(ConfigTarget& target, const std::vector<ConfigRow>& rows, bool stopAtFailure,
                            const RowObserver& observer) {
  // Each row takes effect before the next; a failing row leaves the earlier
  // ones applied.
  RowsSummary summary;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const RowResult result = ApplyConfigRow(target, rows[i]);
    if (observer) observer(i, rows[i], result);
    if (result != RowResult::Failed) continue;
    ++summary.failed;
    if (stopAtFailure) break;
  }
  return summary;
}

bool LoadConfigFile(ConfigTarget& target, const std::string& fileName, const RowObserver& observer) {
  std::string error;
  const std::optional<std::vector<ConfigRow>> rows = ReadConfigRows(fileName, error);
  if (!rows) {
    target.Status(error + "\r\n");
    return false;
  }
  return ApplyConfigRows(target, *rows, true, observer).failed == 0;
}

}  // namespace vorn::config
