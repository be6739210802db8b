// The wizard pages an answers file can name and, on each, the controls a simulated person can
// set: check boxes (true/false), edits (a text) and check lists (a list of true/false). Taken
// from the program's own page classes, so the list cannot drift from the pages.
#pragma once

#include <string>
#include <vector>

namespace tool {

enum class ScriptableKind { CheckBox, Edit, CheckList };

struct ScriptableControl {
  std::string name;
  ScriptableKind kind;
};

struct ScriptablePage {
  std::string className;
  std::string caption;  // UTF-8
  std::vector<ScriptableControl> controls;
};

// In page order.
const std::vector<ScriptablePage>& ScriptablePages();

// "true or false (a check box)", ... for messages.
const char* DescribeScriptableKind(ScriptableKind kind);

}  // namespace tool
