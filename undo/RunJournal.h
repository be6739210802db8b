// The crash-surviving record of one install run: every change the run is about to make to the
// machine, appended to a file beside Ins.log ("Ins.log.journal") before the change is made, so
// that a run killed at any point leaves enough for the next setup run or the uninstaller to put
// the machine back (Rollback.h). The file is ours alone: Ins.log keeps its format, and the
// journal is removed when the run ends normally.
//
// Layout: the magic line "SETUPJOURNAL1\n", then records, each a 32-bit little-endian payload
// length and the payload: a kind byte and the kind's fields (strings as a 32-bit length and GBK
// bytes, times as 64-bit, roots and types as 32-bit). Each record goes out in one write, so a
// killed process leaves at most a torn last record, which the reader drops.
//
// A journal is read as hostile input: lengths are checked against what remains before anything
// is allocated, and reading stops at the first record that does not fit.
//
// Its records move files, delete files and folders and write registry values anywhere, and the
// folder it lies in may be one a person without administrator rights can write (an earlier
// per-user install, a folder they chose or made). So a run with administrator rights writes its
// journal so that only the administrators can change it, and obeys only a journal that, as
// opened, only they can change; any other is neither obeyed nor deleted. A run without those
// rights obeys the same person's file, as nothing is gained by planting one for it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "system/Platform.h"

enum class JournalKind : uint8_t {
  FolderCreated = 1,  // path: a folder level that did not exist
  FileCreated = 2,    // path: a file that did not exist
  FileKept = 3,       // path, kept: the earlier file is (about to be) moved to kept, beside it
  TimeSet = 4,        // path, time: the last-write time the file had
  KeyCreated = 5,     // root, path: a key level that did not exist
  ValueSet = 6,       // root, path, name, existed, type, data: the value as it was
  FolderRemoved = 7,  // path: an empty folder that was there
  KeyRemoved = 8,     // root, path: an empty key that was there
  NotUndoable = 9,    // path: what was started or handed to the shell, for the failure report
  Commit = 10,        // the run succeeded: only the kept copies remain to be deleted
};

struct JournalRecord {
  JournalKind kind = JournalKind::FileCreated;
  std::string path;
  std::string kept;        // FileKept
  std::string name;        // ValueSet
  sys::RegRoot root = 0;   // KeyCreated, ValueSet, KeyRemoved
  bool existed = false;    // ValueSet
  uint32_t type = 0;       // ValueSet
  std::string data;        // ValueSet
  sys::FileTime time = 0;  // TimeSet
};

// "Ins.log.journal" beside the log file.
std::string JournalPathFor(const std::string& logFile);

// What lies at a journal's name, for the run that finds it.
struct FoundJournal {
  bool present = false;  // a file lies there
  bool trusted = false;  // and this run may act on it
  std::vector<JournalRecord> records;  // when trusted, in order; empty for a file that is no journal
};

// Reads the journal at path, judging whether to trust it on the file as opened (held against
// writers meanwhile).
FoundJournal ReadRunJournal(sys::Platform& platform, const std::string& path);

// Appends records to a journal file through the platform it is given (the real one, so that
// writing the journal is never itself journalled).
class JournalWriter {
 public:
  JournalWriter(sys::Platform& platform, std::string path);
  ~JournalWriter();
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  const std::string& path() const { return path_; }
  bool IsOpen() const { return stream_ != nullptr; }
  // Creates the file anew (Platform::CreateProtectedFile: in place of whatever lay at its name)
  // and writes the magic line and every record given; throws sys::Error.
  void Open(const std::vector<JournalRecord>& pending);
  // One record in one write; throws sys::Error naming the journal when it cannot be written.
  void Append(const JournalRecord& record);
  // Closes and deletes the file; false when it stays.
  bool Remove();

 private:
  sys::Platform& platform_;
  std::string path_;
  std::unique_ptr<sys::Stream> stream_;
};
