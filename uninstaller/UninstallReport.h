// The result of one uninstall: every item of the log with what became of it, in the order the
// uninstall handled them, followed by the registration, the log and the log's folder. Plain data
// for the outcome box, the tool's printout and the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace uninst {

enum class ItemOutcome {
  Removed,
  Absent,     // no longer on the machine before the uninstall came to it
  Kept,       // recorded to stay (Remove = 0)
  NotEmpty,   // a folder or key that holds something else; it stays
  Failed,     // in use, read-only or denied; it stays
  AtRestart,  // could not go now; marked for removal when Windows next starts
};

struct ReportItem {
  std::string what;  // a path, or root + "\" + key, with " [value]" for a registry value
  uint8_t kind = 0;  // the log's kinds: 0 file or shortcut, 1 folder, 2 registry
  ItemOutcome outcome = ItemOutcome::Removed;
};

struct UninstallReport {
  std::string productName;    // ItemName of the log
  std::string error;          // why the log could not be used; nothing was removed then
  bool confirmed = false;     // the user agreed; false also when the log could not be used
  // Something failed: the log of what stays and the registration were kept for another run.
  bool logKept = false;
  std::vector<ReportItem> items;

  bool Completed() const { return error.empty() && confirmed; }
  std::vector<std::string> With(ItemOutcome outcome) const;
  // The same, of one kind only: the folders that stayed because they hold other files.
  std::vector<std::string> With(ItemOutcome outcome, uint8_t kind) const;
};

}  // namespace uninst
