#include "undo/JournallingPlatform.h"

#include <utility>

#include "package/uCommon.h"
#include "system/Error.h"
#include "system/Gbk.h"

namespace undo {

namespace {

// Passes a registry key's calls on, telling the run before each value it changes.
class JournallingKey : public sys::RegistryKey {
 public:
  JournallingKey(JournallingPlatform& run, std::unique_ptr<sys::RegistryKey> key, sys::RegRoot root,
                 std::string subkey)
      : run_(run), key_(std::move(key)), root_(root), subkey_(std::move(subkey)) {}

  void WriteString(const std::string& name, const std::string& value) override {
    run_.BeforeValueChange(root_, subkey_, name, *key_);
    key_->WriteString(name, value);
  }
  void WriteInteger(const std::string& name, uint32_t value) override {
    run_.BeforeValueChange(root_, subkey_, name, *key_);
    key_->WriteInteger(name, value);
  }
  void WriteBinary(const std::string& name, const std::string& bytes) override {
    run_.BeforeValueChange(root_, subkey_, name, *key_);
    key_->WriteBinary(name, bytes);
  }
  std::optional<sys::RegValue> QueryValue(const std::string& name) const override {
    return key_->QueryValue(name);
  }
  bool DeleteValue(const std::string& name) override {
    if (!key_->QueryValue(name)) return false;
    run_.BeforeValueChange(root_, subkey_, name, *key_);
    return key_->DeleteValue(name);
  }

 private:
  JournallingPlatform& run_;
  std::unique_ptr<sys::RegistryKey> key_;
  sys::RegRoot root_;
  std::string subkey_;
};

JournalRecord Rec(JournalKind kind, const std::string& path, sys::RegRoot root = 0) {
  JournalRecord record;
  record.kind = kind;
  record.path = path;
  record.root = root;
  return record;
}

// A name beside the file that nothing uses yet.
std::string FreeKeptName(const sys::Platform& platform, const std::string& path) {
  for (int n = 0;; ++n) {
    std::string candidate = path + ".~keep" + std::to_string(n);
    if (!platform.FileExists(candidate) && !platform.DirectoryExists(candidate)) return candidate;
  }
}

// The levels of a path from the first below the drive (or share) to the whole path.
std::vector<std::string> Levels(const std::string& path, size_t skip) {
  TStringList parts;
  SplitText(path, "\\", parts);
  std::vector<std::string> levels;
  std::string current = path.starts_with("\\\\") ? "\\\\" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    current += (i == 0 ? "" : "\\") + parts[i];
    if (i >= skip) levels.push_back(current);
  }
  return levels;
}

std::string TrimmedFolder(const std::string& file) {
  std::string folder = sys::ExtractFilePath(file);
  if (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

JournallingPlatform::JournallingPlatform(sys::Platform& real, const std::string& logFile)
    : ForwardingPlatform(real),
      logFolder_(TrimmedFolder(logFile)),
      journal_(real, JournalPathFor(logFile)) {}

JournallingPlatform::~JournallingPlatform() = default;

bool JournallingPlatform::MadeByThisRun(const std::string& path) const {
  return made_.contains(sys::AsciiLower(path));
}

void JournallingPlatform::NoteMade(const std::string& path) { made_.insert(sys::AsciiLower(path)); }

void JournallingPlatform::Record(JournalRecord record) {
  records_.push_back(record);
  if (closed_) return;
  if (journal_.IsOpen()) {
    journal_.Append(record);
  } else if (logFolder_.empty() || inner().DirectoryExists(logFolder_)) {
    journal_.Open(records_);
  }
}

bool JournallingPlatform::PrepareFileTarget(const std::string& path) {
  if (MadeByThisRun(path)) return true;
  NoteMade(path);
  if (!inner().FileExists(path)) {
    Record(Rec(JournalKind::FileCreated, path));
    return true;
  }
  const std::string kept = FreeKeptName(inner(), path);
  JournalRecord record = Rec(JournalKind::FileKept, path);
  record.kept = kept;
  Record(std::move(record));
  return inner().MoveReplacing(path, kept);
}

std::vector<std::string> JournallingPlatform::Rollback() {
  closed_ = true;
  return UndoRun(inner(), records_, [this] { return journal_.Remove(); }, journal_.path()).notUndone;
}

void JournallingPlatform::Commit() {
  if (!journal_.IsOpen() && !logFolder_.empty() && inner().DirectoryExists(logFolder_)) {
    journal_.Open(records_);
  }
  if (journal_.IsOpen()) journal_.Append(Rec(JournalKind::Commit, ""));
  closed_ = true;
}

void JournallingPlatform::DeleteKeptCopies() {
  if (undo::DeleteKeptCopies(inner(), records_)) journal_.Remove();
}

void JournallingPlatform::BeforeValueChange(sys::RegRoot root, const std::string& subkey,
                                            const std::string& name, const sys::RegistryKey& key) {
  JournalRecord record = Rec(JournalKind::ValueSet, subkey);
  record.name = name;
  record.root = root;
  if (auto earlier = key.QueryValue(name)) {
    record.existed = true;
    record.type = earlier->type;
    record.data = earlier->data;
  }
  Record(std::move(record));
}

bool JournallingPlatform::ForceDirectories(const std::string& path) {
  for (const std::string& level : Levels(path, 1)) {
    if (inner().DirectoryExists(level) || MadeByThisRun(level)) continue;
    NoteMade(level);
    Record(Rec(JournalKind::FolderCreated, level));
  }
  const bool made = inner().ForceDirectories(path);
  // The journal opens the moment its folder is there.
  if (made && !closed_ && !journal_.IsOpen() && inner().DirectoryExists(logFolder_)) {
    journal_.Open(records_);
  }
  return made;
}

std::unique_ptr<sys::Stream> JournallingPlatform::CreateForWrite(const std::string& path) {
  if (!PrepareFileTarget(path)) throw sys::Error(sys::Format(sys::kCannotCreateFile, path));
  return inner().CreateForWrite(path);
}

std::unique_ptr<sys::Stream> JournallingPlatform::CreateIfNoFile(const std::string& path,
                                                                 const std::function<void()>& beforeCreate) {
  return inner().CreateIfNoFile(path, [&] {
    if (!MadeByThisRun(path)) {
      NoteMade(path);
      Record(Rec(JournalKind::FileCreated, path));
    }
    beforeCreate();
  });
}

std::unique_ptr<sys::Stream> JournallingPlatform::CreateProtectedFile(const std::string& path) {
  if (!PrepareFileTarget(path)) throw sys::Error(sys::Format(sys::kCannotCreateFile, path));
  return inner().CreateProtectedFile(path);
}

bool JournallingPlatform::RemoveFile(const std::string& path) {
  if (MadeByThisRun(path) || !inner().FileExists(path)) return inner().RemoveFile(path);
  // An earlier file is only moved aside, so that a rollback can bring it back.
  return PrepareFileTarget(path);
}

bool JournallingPlatform::CopyNewFile(const std::string& source, const std::string& target) {
  if (inner().FileExists(target)) return false;
  if (!PrepareFileTarget(target)) return false;
  return inner().CopyNewFile(source, target);
}

bool JournallingPlatform::MoveReplacing(const std::string& source, const std::string& target) {
  if (!PrepareFileTarget(target)) return false;
  return inner().MoveReplacing(source, target);
}

bool JournallingPlatform::SetLastWriteTime(const std::string& path, sys::FileTime utc) {
  if (!MadeByThisRun(path)) {
    auto earlier = inner().LastWriteTime(path);
    if (!earlier) return false;
    JournalRecord record = Rec(JournalKind::TimeSet, path);
    record.time = *earlier;
    Record(std::move(record));
  }
  return inner().SetLastWriteTime(path, utc);
}

sys::Removal JournallingPlatform::RemoveEmptyFolder(const std::string& path) {
  if (!MadeByThisRun(path) && inner().DirectoryExists(path)) {
    Record(Rec(JournalKind::FolderRemoved, path));
  }
  return inner().RemoveEmptyFolder(path);
}

bool JournallingPlatform::RemoveAtRestart(const std::string& path) {
  Record(Rec(JournalKind::NotUndoable, "已标记在重新启动时删除“" + path + "”"));
  return inner().RemoveAtRestart(path);
}

void JournallingPlatform::RecordMissingKeyLevels(sys::RegRoot root, const std::string& subkey) {
  for (const std::string& level : Levels(subkey, 0)) {
    if (inner().KeyExists(root, level)) continue;
    Record(Rec(JournalKind::KeyCreated, level, root));
  }
}

void JournallingPlatform::CreateKey(sys::RegRoot root, const std::string& subkey) {
  RecordMissingKeyLevels(root, subkey);
  inner().CreateKey(root, subkey);
}

std::unique_ptr<sys::RegistryKey> JournallingPlatform::OpenKey(sys::RegRoot root,
                                                               const std::string& subkey,
                                                               bool canCreate) {
  if (canCreate) RecordMissingKeyLevels(root, subkey);
  auto key = inner().OpenKey(root, subkey, canCreate);
  if (!key) return nullptr;
  return std::make_unique<JournallingKey>(*this, std::move(key), root, subkey);
}

sys::Removal JournallingPlatform::RemoveEmptyKey(sys::RegRoot root, const std::string& subkey) {
  if (inner().KeyExists(root, subkey)) {
    Record(Rec(JournalKind::KeyRemoved, subkey, root));
  }
  return inner().RemoveEmptyKey(root, subkey);
}

bool JournallingPlatform::RunCommandLine(const std::string& commandLine, int showCommand) {
  Record(Rec(JournalKind::NotUndoable, "已运行“" + commandLine + "”"));
  return inner().RunCommandLine(commandLine, showCommand);
}

bool JournallingPlatform::ShellRun(const sys::ShellRequest& request) {
  Record(Rec(JournalKind::NotUndoable, "已打开“" + request.file + "”"));
  return inner().ShellRun(request);
}

sys::ShellOutcome JournallingPlatform::ShellRunAndWait(const sys::ShellRequest& request) {
  Record(Rec(JournalKind::NotUndoable, "已运行“" + request.file + "”"));
  return inner().ShellRunAndWait(request);
}

bool JournallingPlatform::WriteShellLink(const std::string& path, const sys::ShellLink& link) {
  if (!PrepareFileTarget(path)) return false;
  return inner().WriteShellLink(path, link);
}

bool JournallingPlatform::CreateProtectedFolder(const std::string& path) {
  if (!inner().DirectoryExists(path) && !MadeByThisRun(path)) {
    NoteMade(path);
    Record(Rec(JournalKind::FolderCreated, path));
  }
  return inner().CreateProtectedFolder(path);
}

bool JournallingPlatform::CreateFoldersBelow(const std::string& anchor, const std::string& path) {
  for (const std::string& level : Levels(path, 1)) {
    if (inner().DirectoryExists(level) || MadeByThisRun(level)) continue;
    NoteMade(level);
    Record(Rec(JournalKind::FolderCreated, level));
  }
  return inner().CreateFoldersBelow(anchor, path);
}

bool JournallingPlatform::WriteNewFileBelow(const std::string& anchor, const std::string& path,
                                            const std::string& bytes) {
  if (!PrepareFileTarget(path)) return false;
  return inner().WriteNewFileBelow(anchor, path, bytes);
}

void JournallingPlatform::ForEachShellVerb(
    const std::string& path, const std::function<bool(const std::string& name)>& invoke) {
  inner().ForEachShellVerb(path, [&](const std::string& name) {
    if (!invoke(name)) return false;
    Record(Rec(JournalKind::NotUndoable, "已对“" + path + "”执行“" + name + "”"));
    return true;
  });
}

}  // namespace undo
