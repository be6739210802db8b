// Undoing what an install run did, from its journal records (RunJournal.h): in reverse order,
// created files, folders and keys go (folders and keys only when empty), earlier files come back
// from the copies kept beside them, values get their earlier data back and file times their
// earlier time. Every record is undone only as far as the machine still shows it, so undoing a
// run that was killed half way through a step, or undoing twice, is safe.
//
// What cannot be undone (a started program, a component's own installer, a registry script
// handed to Regedit, a verb carried out by the shell) and what could not be put back (a file in
// use, a denied key) is returned as text for the failure report.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "system/Error.h"
#include "system/Platform.h"
#include "undo/RunJournal.h"

// The error that ends a failed install run once the run has been undone: the message of the
// failure itself, and the lines of what stayed changed.
class RollbackError : public sys::Error {
 public:
  RollbackError(const sys::Error& cause, std::vector<std::string> notUndone)
      : sys::Error(cause.what(), cause.osCode()), notUndone_(std::move(notUndone)) {}
  const std::vector<std::string>& notUndone() const { return notUndone_; }

 private:
  std::vector<std::string> notUndone_;
};

struct UndoOutcome {
  std::vector<std::string> notUndone;  // report lines, in the order met
  bool complete = true;                // everything that could be undone was
};

// Undoes records in reverse order. Each NotUndoable record becomes a line; each change that
// could not be put back becomes a line and clears complete.
UndoOutcome UndoRecords(sys::Platform& platform, const std::vector<JournalRecord>& records);

// Undoes a whole run whose journal is at journal: everything but the folders holding the
// journal, then the journal itself once nothing is left over, then those folders. The journal
// stays, with the folders, when something could not be put back, so that the next run tries again.
UndoOutcome UndoRun(sys::Platform& platform, const std::vector<JournalRecord>& records,
                    const std::function<bool()>& removeJournal, const std::string& journal);

// Deletes the kept copies of a run that succeeded; false when one of them stays.
bool DeleteKeptCopies(sys::Platform& platform, const std::vector<JournalRecord>& records);

// What the next setup run and the uninstaller do first: when a journal lies beside the log, the
// run that wrote it was killed; it is undone (or, when it had succeeded, its kept copies are
// deleted) and the journal goes once nothing of it is left to do. A journal this run may not
// trust (RunJournal.h) is left as it is, and the run goes on as if there were none. True when a
// journal was acted on.
bool FinishInterruptedRun(sys::Platform& platform, const std::string& logFile);
