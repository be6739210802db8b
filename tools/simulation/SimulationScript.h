// The person of a simulated setup run, as the answers file of simulate scripts it:
//
//   {"pages": {"TfrmAddonsTask": {"CheckBox1": false}, "TfrmEndIns": {"CheckBox2": false}},
//    "cancelOn": "TfrmReadyIns", "answers": ["no", "yes"], "default": "no"}
//
// or the older plain list of answers (["yes", "no"]). Every field is optional. Pages and
// controls are checked against the program's own pages (ScriptablePages.h): a misspelt name is
// an error, as is a value of the wrong kind for its control. A page's
// controls take true/false (a check box), a text (typed into an edit) or a list of true/false
// (the marks of a check list in item order, clicked where they differ); the answers go to the
// question boxes in order, then the default ("no" unless given).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tools/project/JsonFields.h"

namespace tool {

struct ControlSetting {
  std::string control;  // the control's name (ASCII)
  Json value;           // a boolean, a text (UTF-8) or a list of booleans
};

struct SimulationScript {
  // By page class name, in file order.
  std::map<std::string, std::vector<ControlSetting>> pages;
  std::string cancelOn;
  std::vector<int> answers;  // sys::kIdYes / sys::kIdNo
  int defaultAnswer;
};

SimulationScript DefaultSimulationScript();
// The one reader of answers files (simulate and uninstall); path "-" reads standard input.
// Throws Failure naming the file, the line and column and what is wrong.
SimulationScript LoadSimulationScript(const std::filesystem::path& file);

}  // namespace tool
