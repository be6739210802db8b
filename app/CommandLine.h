// The administrator's switches on the setup program's command line, recognised in any letter
// case and in any order:
//
//   /S               silent: no window at all, every page as its default or the answers file
//                    says, no restart unless the answers ask for one
//   /D=<folder>      the install folder; takes the rest of the line, so it may hold blanks
//                    (quotes around the whole folder are dropped)
//   /ANSWERS=<file>  the answers file of setup-tool simulate (needs /S)
//   /LOG=<file>      a UTF-8 log of the run
//   /NORESTART       never restart, even when the answers say yes
//   /?               the usage, in a box
//
// A command line without any of them is the old one: any parameter at all means "no
// relaunch, run the wizard", and the elevated copy's marker "-1" keeps that meaning. Once one
// of them is given, every word must be one of them, "-1" or the relaunch's /HANDBACK=
// channel (the platform reads that one); anything else is an error (exit code 87). Pure text work: nothing here touches the machine.
#pragma once

#include <optional>
#include <string>

namespace app {

struct SetupSwitches {
  bool given = false;  // at least one of the switches above
  bool silent = false;
  bool help = false;
  bool noRestart = false;
  bool elevatedCopy = false;  // "-1": this is the relaunched copy
  std::optional<std::string> installDir;
  std::optional<std::string> answersFile;
  std::optional<std::string> logFile;
  std::string error;  // why the line is malformed (GBK); empty when it is not
};

inline constexpr int kExitBadSwitches = 87;

SetupSwitches ParseSetupSwitches(const std::string& arguments);

// The elevated copy's command line: the marker first, then the parent's hand-back channel
// when there is one (both before /D=, whose folder takes the rest of the line), then the
// switches as given.
std::string ElevatedCopyArguments(const std::string& handBack, const std::string& arguments);

// The usage, in Chinese, for the /? box and after a malformed line.
std::string SetupUsageText();

}  // namespace app
