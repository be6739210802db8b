#include "undo/Rollback.h"

#include <cstring>
#include <memory>

#include "system/Gbk.h"

namespace {

std::string KeyText(sys::RegRoot root, const std::string& path) {
  return std::to_string(root) + "\\" + path;
}

// The failure report names each leftover in Chinese, with the object it concerns.
bool Note(UndoOutcome& outcome, const std::string& what) {
  outcome.notUndone.push_back(what);
  outcome.complete = false;
  return false;
}

void RestoreValue(sys::Platform& platform, const JournalRecord& r, UndoOutcome& outcome) {
  std::unique_ptr<sys::RegistryKey> key = platform.OpenKey(r.root, r.path, false);
  if (!key) {
    if (r.existed) Note(outcome, "无法恢复注册表值“" + KeyText(r.root, r.path) + "\\" + r.name + "”");
    return;
  }
  try {
    if (!r.existed) {
      if (key->QueryValue(r.name) && !key->DeleteValue(r.name)) {
        Note(outcome, "无法删除注册表值“" + KeyText(r.root, r.path) + "\\" + r.name + "”");
      }
    } else if (r.type == sys::kRegSz) {
      key->WriteString(r.name, r.data);
    } else if (r.type == sys::kRegDword && r.data.size() == 4) {
      uint32_t v = 0;
      for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(r.data[static_cast<size_t>(i)]);
      key->WriteInteger(r.name, v);
    } else if (r.type == sys::kRegBinary) {
      key->WriteBinary(r.name, r.data);
    } else {
      // The platform writes only the three types a package can hold.
      Note(outcome, "无法恢复注册表值“" + KeyText(r.root, r.path) + "\\" + r.name + "”");
    }
  } catch (const sys::Error&) {
    Note(outcome, "无法恢复注册表值“" + KeyText(r.root, r.path) + "\\" + r.name + "”");
  }
}

void Undo(sys::Platform& platform, const JournalRecord& r, UndoOutcome& outcome) {
  switch (r.kind) {
    case JournalKind::FileCreated:
      if (platform.FileExists(r.path) && !platform.RemoveFile(r.path)) {
        Note(outcome, "无法删除文件“" + r.path + "”");
      }
      break;
    case JournalKind::FileKept:
      // Without the kept copy the earlier file was never moved, and is still in its place.
      if (platform.FileExists(r.kept) && !platform.MoveReplacing(r.kept, r.path)) {
        Note(outcome, "无法恢复文件“" + r.path + "”（原文件保存在“" + r.kept + "”）");
      }
      break;
    case JournalKind::TimeSet:
      if (platform.FileExists(r.path)) platform.SetLastWriteTime(r.path, r.time);
      break;
    case JournalKind::FolderCreated:
      if (platform.DirectoryExists(r.path) &&
          platform.RemoveEmptyFolder(r.path) != sys::Removal::Removed) {
        Note(outcome, "无法删除文件夹“" + r.path + "”");
      }
      break;
    case JournalKind::FolderRemoved:
      if (!platform.DirectoryExists(r.path) && !platform.ForceDirectories(r.path)) {
        Note(outcome, "无法恢复文件夹“" + r.path + "”");
      }
      break;
    case JournalKind::KeyCreated:
      if (platform.KeyExists(r.root, r.path) &&
          platform.RemoveEmptyKey(r.root, r.path) != sys::Removal::Removed) {
        Note(outcome, "无法删除注册表项“" + KeyText(r.root, r.path) + "”");
      }
      break;
    case JournalKind::KeyRemoved:
      try {
        if (!platform.KeyExists(r.root, r.path)) platform.CreateKey(r.root, r.path);
      } catch (const sys::Error&) {
        Note(outcome, "无法恢复注册表项“" + KeyText(r.root, r.path) + "”");
      }
      break;
    case JournalKind::ValueSet: RestoreValue(platform, r, outcome); break;
    case JournalKind::NotUndoable: outcome.notUndone.push_back(r.path); break;
    case JournalKind::Commit: break;
  }
}

bool Committed(const std::vector<JournalRecord>& records) {
  return !records.empty() && records.back().kind == JournalKind::Commit;
}

}  // namespace

UndoOutcome UndoRecords(sys::Platform& platform, const std::vector<JournalRecord>& records) {
  UndoOutcome outcome;
  for (auto it = records.rbegin(); it != records.rend(); ++it) Undo(platform, *it, outcome);
  return outcome;
}

UndoOutcome UndoRun(sys::Platform& platform, const std::vector<JournalRecord>& records,
                    const std::function<bool()>& removeJournal, const std::string& journal) {
  const std::string journalFolder = sys::AsciiLower(sys::ExtractFilePath(journal));
  std::vector<JournalRecord> rest;
  std::vector<JournalRecord> holding;
  for (const JournalRecord& r : records) {
    const bool holds = r.kind == JournalKind::FolderCreated &&
                       journalFolder.starts_with(sys::AsciiLower(r.path) + "\\");
    (holds ? holding : rest).push_back(r);
  }
  UndoOutcome outcome = UndoRecords(platform, rest);
  if (!outcome.complete || !removeJournal()) return outcome;
  UndoOutcome folders = UndoRecords(platform, holding);
  outcome.notUndone.insert(outcome.notUndone.end(), folders.notUndone.begin(), folders.notUndone.end());
  outcome.complete = folders.complete;
  return outcome;
}

bool DeleteKeptCopies(sys::Platform& platform, const std::vector<JournalRecord>& records) {
  bool all = true;
  for (const JournalRecord& r : records) {
    if (r.kind != JournalKind::FileKept || !platform.FileExists(r.kept)) continue;
    // A kept copy in use (the earlier program still running) goes when Windows next starts.
    if (!platform.RemoveFile(r.kept) && !platform.RemoveAtRestart(r.kept)) all = false;
  }
  return all;
}

bool FinishInterruptedRun(sys::Platform& platform, const std::string& logFile) {
  const std::string journal = JournalPathFor(logFile);
  const FoundJournal found = ReadRunJournal(platform, journal);
  // Not one only the administrators could have written: planted, or left by a run without their
  // rights. A question would tell the person nothing they could act on, and would let anyone who
  // may write the folder put one to them; so it is only passed over.
  if (!found.present || !found.trusted) return false;
  const std::vector<JournalRecord>& records = found.records;
  auto removeJournal = [&] { return platform.RemoveFile(journal); };
  // What could not be put back now is tried again by the next run.
  if (Committed(records)) {
    if (DeleteKeptCopies(platform, records)) removeJournal();
  } else {
    UndoRun(platform, records, removeJournal, journal);
  }
  return true;
}
