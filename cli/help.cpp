#include "cli/help.h"

#include "cli/settings.h"

namespace vorn::cli {

namespace {

struct CommandText {
  std::string_view name;
  std::string_view synopsis;
  std::string_view summary;
  std::string_view details;
};

const CommandText kCommands[] = {
    {"list", "list", "the cameras found: number, product, firmware, vid/pid",
     "Lists every usable camera: its number (1-based, as in the window's device box, and as\n"
     "--device takes it), product name, firmware version and vendor/product ids. No camera\n"
     "is not an error: the list is empty.\n"},
    {"info", "info", "product, firmware, vid/pid, preview resolutions, flash type",
     "Shows the chosen camera's product name, firmware version, vendor/product ids, its\n"
     "preview resolutions in the camera's order and its serial flash type.\n"},
    {"get", "get [NAME...]", "current values (all when no name), each with its range",
     "Reads the named settings, or all that the camera's firmware offers, each with the\n"
     "range a value must lie in. Switches show on or off.\n"},
    {"set", "set NAME=VALUE...", "applied in the order given; stops at the first failure",
     "Sets each setting in the order given. Every NAME=VALUE is checked for its form first,\n"
     "so a typo applies nothing; a value out of the camera's range or a setting the camera\n"
     "refuses stops the list, and what came before it stays applied. Switches take on/off,\n"
     "true/false or 1/0. The colour gains can be set only while auto-white-balance is off,\n"
     "the exposure only while auto-exposure is off: the camera would override them.\n"},
    {"reset", "reset [NAME...]", "back to the camera's own default values",
     "Sets brightness, contrast, saturation, sharpness, gamma and aec-target to the\n"
     "defaults the camera reports, switches auto-exposure and auto-white-balance on and\n"
     "rotate off (where the firmware has it); only the named ones when names are given,\n"
     "always in that order. A step that fails does not stop the others.\n"},
    {"save", "save FILE.csv [--force]", "the current settings as a configuration file",
     "Writes the camera's current settings as a configuration file that the window's Load\n"
     "Config and 'apply' read. An existing file is kept unless --force is given.\n"},
    {"apply", "apply FILE.csv", "a configuration file, with the same rules and messages as Load Config",
     "Applies a configuration file row by row, with the rules and status lines of the\n"
     "window's Load Config, and reports each row: applied, unchanged, ignored or failed.\n"
     "It stops at the first row that fails; the rows before it stay applied.\n"},
    {"remember", "remember show|save|apply|forget", "the settings kept for this camera, as the window keeps them",
     "Works on the settings the window's Tools > Remember Settings per Camera keeps for each\n"
     "camera, one configuration file per camera identifier (the eight hex digits of the\n"
     "vid/pid; two cameras with the same identifier share one file):\n"
     "  show    the file's path and rows (nothing remembered is not an error)\n"
     "  save    the camera's current settings, written whole over the old file\n"
     "  apply   every row with the rules and messages of Load Config; exit 1 when the\n"
     "          camera refuses a row (the others are still applied) or the file can't be read\n"
     "  forget  removes the file\n"
     "The window's switch does not govern these: each acts when asked.\n"},
    {"snapshot", "snapshot FILE [--resolution WxH]", "one picture; .jpg as delivered, .png and .bmp decoded",
     "Starts the camera at the resolution given (default the camera's first), waits up to\n"
     "10 seconds for a whole picture, stops the camera and writes the file: .jpg is the\n"
     "frame as the camera delivered it, .png and .bmp are decoded. An existing file is\n"
     "never replaced.\n"},
    {"burn", "burn FILE.src [--verify]", "firmware update, with the firmware dialog's checks",
     "Checks the firmware source file as the Update Firmware dialog does, prints the\n"
     "firmware version, burns the image with a progress bar on standard error (--verify\n"
     "reads every page back), restarts the camera and prints the version it reports now.\n"},
};

std::string SettingNames() {
  std::string text = "Settings:";
  size_t column = text.size();
  for (const Setting& s : Settings()) {
    const std::string name = std::string(" ") + s.name;
    if (column + name.size() > 78) {
      text += "\n         ";
      column = 9;
    }
    text += name;
    column += name.size();
  }
  return text + "\n";
}

const char kOptions[] =
    "Options:\n"
    "  --device N   the N-th usable camera (default 1)\n"
    "  --json       one JSON document on standard output\n"
    "  --verbose    the camera library's log lines on standard error\n"
    "  --help       this text; COMMAND --help describes the command\n"
    "  --version    the version of vorn_ctl\n";

const char kUserFolder[] =
    "Remembered settings: %APPDATA%\\Vorn Controls\\cameras on Windows; elsewhere\n"
    "$APPDATA/Vorn Controls/cameras when APPDATA is set, else\n"
    "$XDG_CONFIG_HOME/Vorn Controls/cameras, else ~/.config/Vorn Controls/cameras.\n";

const char kExitCodes[] =
    "Exit codes: 0 success, 1 the camera or an operation failed, 2 usage or input error.\n";

}  // namespace

std::string Usage() {
  std::string text = "Usage: vorn_ctl [--device N] [--json] [--verbose] COMMAND [ARGS]\n\nCommands:\n";
  for (const CommandText& c : kCommands) {
    std::string line = "  " + std::string(c.synopsis);
    line.append(line.size() < 37 ? 37 - line.size() : 1, ' ');
    text += line + std::string(c.summary) + "\n";
  }
  return text + "\n" + kOptions + "\n" + SettingNames() + "\n" + kUserFolder + "\n" + kExitCodes;
}

std::string CommandHelp(std::string_view command) {
  for (const CommandText& c : kCommands) {
    if (c.name != command) continue;
    std::string text = "Usage: vorn_ctl [--device N] [--json] [--verbose] " + std::string(c.synopsis) + "\n\n" +
                       std::string(c.details);
    if (command == "get" || command == "set" || command == "reset") {
      text += "\n";
      text += SettingNames();
    }
    if (command == "remember") text += std::string("\n") + kUserFolder;
    return text + "\n" + kExitCodes;
  }
  return Usage();
}

}  // namespace vorn::cli
