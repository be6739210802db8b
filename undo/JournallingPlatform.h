// The platform an install run works through: it passes every call on to the real platform, and
// before each call that changes the machine it writes down how to undo it, in memory and in the
// run's journal (RunJournal.h), so that a failed run can be rolled back (Rollback.h) and a
// killed one finished later. An existing file that the run replaces, truncates or deletes is
// first moved aside to a kept copy beside it ("name.~keepN"), which comes back on rollback and
// is deleted on success.
//
// The journal lies beside Ins.log. Until that folder exists (a first install creates it) the
// records wait in memory and go to the journal the moment it can be created; a process killed in
// between leaves only the empty folders of the log's own path unrecorded.
//
// It holds no state of the machine besides what this run created or kept; reads go straight
// through.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "system/ForwardingPlatform.h"
#include "system/Platform.h"
#include "undo/Rollback.h"
#include "undo/RunJournal.h"

namespace undo {

// What it does not override passes through unchanged (ForwardingPlatform): reads, and the calls
// that create nothing an install must take back.
class JournallingPlatform : public sys::ForwardingPlatform {
 public:
  // logFile: the run's Ins.log; the journal is JournalPathFor(logFile).
  JournallingPlatform(sys::Platform& real, const std::string& logFile);
  ~JournallingPlatform() override;

  // Undoes everything recorded, in reverse order, and removes the journal when nothing is left
  // over. The report lines of what stayed changed.
  std::vector<std::string> Rollback();
  // The run succeeded: the journal says so. Throws sys::Error when it cannot, and the run is
  // then to be rolled back like any failed one.
  void Commit();
  // After Commit: the kept copies go, then the journal (both stay for the next run to finish
  // when one cannot be deleted or marked for deletion at restart).
  void DeleteKeptCopies();

  // Called by the wrapped registry keys.
  void BeforeValueChange(sys::RegRoot root, const std::string& subkey, const std::string& name,
                         const sys::RegistryKey& key);

  // The calls that change the machine; everything else passes through.
  bool ForceDirectories(const std::string& path) override;
  std::unique_ptr<sys::Stream> CreateForWrite(const std::string& path) override;
  // The look of the real platform decides, and the record is written between it and the create.
  std::unique_ptr<sys::Stream> CreateIfNoFile(const std::string& path,
                                              const std::function<void()>& beforeCreate) override;
  std::unique_ptr<sys::Stream> CreateProtectedFile(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool CopyNewFile(const std::string& source, const std::string& target) override;
  bool MoveReplacing(const std::string& source, const std::string& target) override;
  bool SetLastWriteTime(const std::string& path, sys::FileTime utc) override;
  sys::Removal RemoveEmptyFolder(const std::string& path) override;
  bool RemoveAtRestart(const std::string& path) override;
  bool CreateProtectedFolder(const std::string& path) override;
  bool CreateFoldersBelow(const std::string& anchor, const std::string& path) override;
  bool WriteNewFileBelow(const std::string& anchor, const std::string& path,
                         const std::string& bytes) override;
  bool WriteShellLink(const std::string& path, const sys::ShellLink& link) override;

  void CreateKey(sys::RegRoot root, const std::string& subkey) override;
  std::unique_ptr<sys::RegistryKey> OpenKey(sys::RegRoot root, const std::string& subkey,
                                            bool canCreate) override;
  sys::Removal RemoveEmptyKey(sys::RegRoot root, const std::string& subkey) override;

  bool RunCommandLine(const std::string& commandLine, int showCommand) override;
  bool ShellRun(const sys::ShellRequest& request) override;
  sys::ShellOutcome ShellRunAndWait(const sys::ShellRequest& request) override;
  void ForEachShellVerb(const std::string& path,
                        const std::function<bool(const std::string& name)>& invoke) override;

 private:
  // Writes the record ahead of the change it describes; throws when the journal cannot take it.
  void Record(JournalRecord record);
  // Before a file at path is created or overwritten: a new file is noted as created, an earlier
  // one not made by this run is moved to a kept copy first. False when that move failed.
  bool PrepareFileTarget(const std::string& path);
  void RecordMissingKeyLevels(sys::RegRoot root, const std::string& subkey);
  bool MadeByThisRun(const std::string& path) const;
  void NoteMade(const std::string& path);

  std::string logFolder_;
  JournalWriter journal_;
  std::vector<JournalRecord> records_;
  std::unordered_set<std::string> made_;  // ASCII-folded paths this run created or kept aside
  bool closed_ = false;
};

}  // namespace undo
