// The person in front of a simulated setup run. Whenever the top window waits, the person does
// the next thing a script asks for, and prints it: on each wizard page, the first time it
// shows, the page's scripted controls are brought to their state (typing into edits, clicking
// check boxes); then Next, or Finish on the last page; Cancel once on the page named by
// cancelOn (after a "no" to the question the walk goes on); after a failed install, the close
// box. Loading and install windows are left to their timers.
#pragma once

#include <ostream>
#include <set>
#include <string>

#include "tools/simulation/SimulationScript.h"

class TfrmParent;

namespace ui {
class Form;
}

namespace tool {

class SimulatedPerson {
 public:
  SimulatedPerson(const SimulationScript& script, std::ostream& out) : script_(script), out_(out) {}

  // False when there is nothing to do but wait for the window's timers.
  bool Act(ui::Form& top);
  // Whether the script's cancelOn page showed and Cancel was pressed there.
  bool CancelledAsScripted() const { return cancelPressed_.count(script_.cancelOn) > 0; }
  // Whether that page class showed at all.
  bool Saw(const std::string& pageClass) const { return pagesSet_.count(pageClass) > 0; }

 private:
  bool ActOnFrame(TfrmParent& frame);
  void Press(ui::Form& form, const std::string& button);

  const SimulationScript& script_;
  std::ostream& out_;
  std::set<std::string> pagesSet_;  // pages shown so far
  // Where Cancel was pressed already (page class; "" without a page): pressed once only.
  std::set<std::string> cancelPressed_;
};

}  // namespace tool
