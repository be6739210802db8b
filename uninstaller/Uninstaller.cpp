#include "uninstaller/Uninstaller.h"

#include <memory>

#include "package/UninstallRegistration.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/LocalPath.h"
#include "system/UserFolders.h"
#include "undo/Rollback.h"
#include "undo/uUnInstall.h"
#include "uninstaller/ItemRemoval.h"
#include "uninstaller/UninstallLog.h"

namespace uninst {
namespace {

class UninstallRun {
 public:
  UninstallRun(sys::Platform& platform, const std::string& logPath, UninstallDialogs& dialogs,
               const std::function<void()>& beforeLogRemoval, bool logMustBeRegistered,
               const LogSource& logSource)
      : platform_(platform), logPath_(logPath), dialogs_(dialogs),
        beforeLogRemoval_(beforeLogRemoval), logMustBeRegistered_(logMustBeRegistered),
        logSource_(logSource) {}

  UninstallReport Execute() {
    // An install run killed over this product left its journal beside the log: the machine
    // goes back to what the log describes before anything is removed by it.
    undo::FinishInterruptedRun(platform_, logPath_);
    std::unique_ptr<TUnInstall> log;
    try {
      log = LoadUninstallLog(platform_, logPath_, logSource_);
      if (logMustBeRegistered_) CheckRegisteredFolder(platform_, *log, logPath_);
    } catch (const sys::Error& error) {
      report_.error = error.what();
      dialogs_.ShowError("", report_.error);
      return report_;
    }
    report_.productName = log->ItemName();
    if (!dialogs_.ConfirmUninstall(report_.productName)) return report_;
    report_.confirmed = true;
    total_ = log->Items().size() + (HasRegistration(log->Serial()) ? 2 : 1);
    RemoveItems(*log);
    if (SomethingStays()) {
      // The log of what is still installed is never lost, nor the registration that leads to
      // the uninstaller: run again once the file is free, it removes the rest.
      KeepLogOfWhatStays(*log);
    } else {
      RemoveRegistration(log->Serial());
      // A registration that stays still lists the product; only the log's serial can lead the
      // next run to it.
      if (SomethingStays()) KeepLogOfWhatStays(*log);
      else RemoveLogAndItsFolder();
    }
    OfferRemovalAtRestart();
    dialogs_.ShowOutcome(report_);
    return report_;
  }

 private:
  void Step(const std::string& what) { dialogs_.Progress(what, done_++, total_); }

  void Record(const std::string& what, uint8_t kind, ItemOutcome outcome) {
    report_.items.push_back(ReportItem{what, kind, outcome});
  }

  void RemoveItems(const TUnInstall& log) {
    const auto& items = log.Items();
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      const TUnInsData& item = **it;
      const std::string what = DescribeItem(item);
      Step(what);
      Record(what, item.Kind, RemoveItem(platform_, item));
    }
  }

  bool SomethingStays() const {
    for (const ReportItem& item : report_.items) {
      if (item.outcome == ItemOutcome::Failed) return true;
    }
    return false;
  }

  // The log keeps the items that failed and the folders and keys still holding something, in
  // their order; the rest is gone. Saved through a file beside it, so a failure here leaves the
  // whole earlier log; stored, not compressed, so that uninst.exe carries no compressor.
  void KeepLogOfWhatStays(const TUnInstall& log) {
    TUnInstall left(platform_);
    left.SetItemName(log.ItemName());
    left.SetSerial(log.Serial());
    const auto& items = log.Items();
    // The report holds the items in reverse log order.
    for (size_t i = 0; i < items.size(); ++i) {
      const ItemOutcome outcome = report_.items[items.size() - 1 - i].outcome;
      if (outcome != ItemOutcome::Failed && outcome != ItemOutcome::NotEmpty) continue;
      const TUnInsData& item = *items[i];
      if (item.Kind == undo::kUnInsFile) left.AddFile(item.Path, item.Remove);
      if (item.Kind == undo::kUnInsDir) left.AddDir(item.Path);
      if (item.Kind == undo::kUnInsReg) left.AddRegValue(item.RootKey, item.Path, item.ValueName);
    }
    try {
      left.SaveUncompressedToFile(logPath_);
      report_.logKept = true;
    } catch (const sys::Error&) {
      // The earlier log stays whole; it names all that is left and more.
      report_.logKept = true;
    }
  }

  // Without a serial the install run wrote no registration; a serial that names no level
  // ("", "\\") would make the key the shared Uninstall key itself.
  static bool HasRegistration(const std::string& serial) { return NamesAKey(serial); }

  void RemoveRegistration(const std::string& serial) {
    if (!HasRegistration(serial)) return;
    const std::string keyPath = package::UninstallKeyPath(serial);
    const std::string what = "HKEY_LOCAL_MACHINE" + keyPath;
    Step(what);
    if (!platform_.KeyExists(sys::kHkeyLocalMachine, keyPath)) {
      Record(what, undo::kUnInsReg, ItemOutcome::Absent);
      return;
    }
    bool valuesGone = true;
    {
      auto key = platform_.OpenKey(sys::kHkeyLocalMachine, keyPath, false);
      if (!key) valuesGone = false;
      for (const char* name : package::kUninstallRegistrationValues) {
        if (key && key->QueryValue(name) && !key->DeleteValue(name)) valuesGone = false;
      }
    }
    Record(what, undo::kUnInsReg,
           valuesGone ? OutcomeOf(platform_.RemoveEmptyKey(sys::kHkeyLocalMachine, keyPath))
                      : ItemOutcome::Failed);
  }

  void RemoveLogAndItsFolder() {
    Step(logPath_);
    if (beforeLogRemoval_) beforeLogRemoval_();
    Record(logPath_, undo::kUnInsFile,
           OutcomeOf(sys::RemoveFileOrFolder(platform_, logPath_, false)));
    std::string folder = sys::ExtractFilePath(logPath_);
    if (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
    if (!sys::IsPlainLocalPath(folder) || !platform_.DirectoryExists(folder)) return;
    ItemOutcome outcome = OutcomeOf(sys::RemoveFileOrFolder(platform_, folder, true));
    // The install folder is usually a logged item too, left earlier because the log was in it.
    for (ReportItem& item : report_.items) {
      if (item.kind == undo::kUnInsDir && sys::SameText(item.what, folder)) {
        item.outcome = outcome;
        return;
      }
    }
    Record(folder, undo::kUnInsDir, outcome);
  }

  void OfferRemovalAtRestart() {
    std::vector<ReportItem*> files;
    std::vector<std::string> names;
    for (ReportItem& item : report_.items) {
      if (item.kind == undo::kUnInsFile && item.outcome == ItemOutcome::Failed &&
          sys::MayRemoveAtRestart(platform_, item.what)) {
        files.push_back(&item);
        names.push_back(item.what);
      }
    }
    if (files.empty() || !dialogs_.ConfirmRemoveAtRestart(report_.productName, names)) return;
    for (ReportItem* file : files) {
      if (platform_.RemoveAtRestart(file->what)) file->outcome = ItemOutcome::AtRestart;
    }
    // Report order is deepest first, so Windows meets each folder after what is inside it. A
    // folder is marked only when something marked is in it and nothing of the log stays there;
    // Windows removes a marked folder anyway only if that leaves it empty.
    for (ReportItem& item : report_.items) {
      if (item.kind == undo::kUnInsDir && item.outcome == ItemOutcome::NotEmpty &&
          Below(item.what, ItemOutcome::AtRestart) && !Below(item.what, ItemOutcome::Kept) &&
          !Below(item.what, ItemOutcome::Failed) && !Below(item.what, ItemOutcome::NotEmpty) &&
          sys::MayRemoveAtRestart(platform_, item.what) && platform_.RemoveAtRestart(item.what)) {
        item.outcome = ItemOutcome::AtRestart;
      }
    }
  }

  // Whether a file or folder item with that outcome lies inside folder.
  bool Below(const std::string& folder, ItemOutcome outcome) const {
    for (const ReportItem& item : report_.items) {
      if (item.kind == undo::kUnInsReg || item.outcome != outcome) continue;
      if (item.what.size() > folder.size() && sys::StartsWithText(item.what, folder) &&
          item.what[folder.size()] == '\\') {
        return true;
      }
    }
    return false;
  }

  sys::Platform& platform_;
  const std::string logPath_;
  UninstallDialogs& dialogs_;
  const std::function<void()>& beforeLogRemoval_;
  const bool logMustBeRegistered_;
  const LogSource& logSource_;
  UninstallReport report_;
  size_t done_ = 0;
  size_t total_ = 0;
};

}  // namespace

UninstallReport RunUninstall(sys::Platform& platform, const std::string& logPath,
                             UninstallDialogs& dialogs,
                             const std::function<void()>& beforeLogRemoval,
                             bool logMustBeRegistered, const LogSource& logSource) {
  return UninstallRun(platform, logPath, dialogs, beforeLogRemoval, logMustBeRegistered, logSource)
      .Execute();
}

}  // namespace uninst
