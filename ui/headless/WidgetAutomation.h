// The scripted person's actions on the check-list box, the folder tree and the browser pane,
// and the keys a form sees first. Each fails loudly (AutomationError, as in Automation.h) when
// the control is missing, of another kind, hidden or disabled.
#pragma once

#include <string>

namespace ui {

class Control;
class Form;

// A click on the mark of item index (AutomationError when there is no such item).
void ClickCheckItem(Form& form, const std::string& name, int index);
// Clicks the mark only when its state differs from checked.
void SetItemCheck(Form& form, const std::string& name, int index, bool checked);
// Opens the tree from its root down to path, one level at a time as a person would, and
// selects that folder; AutomationError when path is not the root or a folder below it. A tree
// rooted at the desktop reaches every drive's folders as well (through the computer).
void SelectFolder(Form& form, const std::string& treeName, const std::string& path);
// A key pressed on the active form (virtual-key code); AutomationError when it is not shown.
void PressKey(Form& form, int key);
// PgDn in the browser pane.
void PageDown(Form& form, const std::string& paneName);

// The rendering of those three kinds: marks and captions, the document's location, format and
// first visible line, the tree's root and selection.
std::string DescribeChoice(const Control& control);

}  // namespace ui
