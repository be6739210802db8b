// A platform that passes every call on to another one. Wrappers that change a few calls (the
// silent run answers the message boxes itself and keeps the log) derive from it and override
// only those, so a method added to Platform needs one line here and nothing in them.
// CreateIfNoFile is not passed on: its default goes through this wrapper's FileExists and
// CreateForWrite, which a derived class may have overridden.
#pragma once

#include "system/Platform.h"

namespace sys {

class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

  Platform& inner() const { return inner_; }

  bool FileExists(const std::string& path) const override { return inner_.FileExists(path); }
  bool DirectoryExists(const std::string& path) const override {
    return inner_.DirectoryExists(path);
  }
  bool ForceDirectories(const std::string& path) override { return inner_.ForceDirectories(path); }
  std::unique_ptr<Stream> OpenForRead(const std::string& path) override {
    return inner_.OpenForRead(path);
  }
  std::unique_ptr<Stream> CreateForWrite(const std::string& path) override {
    return inner_.CreateForWrite(path);
  }
  bool RemoveFile(const std::string& path) override { return inner_.RemoveFile(path); }
  bool CopyNewFile(const std::string& source, const std::string& target) override {
    return inner_.CopyNewFile(source, target);
  }
  bool MoveReplacing(const std::string& source, const std::string& target) override {
    return inner_.MoveReplacing(source, target);
  }
  bool SetLastWriteTime(const std::string& path, FileTime utc) override {
    return inner_.SetLastWriteTime(path, utc);
  }
  std::optional<FileTime> LastWriteTime(const std::string& path) const override {
    return inner_.LastWriteTime(path);
  }
  FileTime LocalToUtc(FileTime local) const override { return inner_.LocalToUtc(local); }
  Removal RemoveEmptyFolder(const std::string& path) override {
    return inner_.RemoveEmptyFolder(path);
  }
  bool RemoveAtRestart(const std::string& path) override { return inner_.RemoveAtRestart(path); }
  int64_t FreeDiskSpace(const std::string& root) const override {
    return inner_.FreeDiskSpace(root);
  }
  std::vector<std::string> ListFolders(const std::string& path) const override {
    return inner_.ListFolders(path);
  }
  std::unique_ptr<Stream> HoldOwnImage() override { return inner_.HoldOwnImage(); }
  std::string CreatePrivateFolder(const std::string& parent) override {
    return inner_.CreatePrivateFolder(parent);
  }
  std::unique_ptr<Stream> CreateNewFile(const std::string& path) override {
    return inner_.CreateNewFile(path);
  }
  std::unique_ptr<Stream> HoldForRead(const std::string& path) override {
    return inner_.HoldForRead(path);
  }
  bool CreateProtectedFolder(const std::string& path) override {
    return inner_.CreateProtectedFolder(path);
  }
  std::unique_ptr<Stream> CreateProtectedFile(const std::string& path) override {
    return inner_.CreateProtectedFile(path);
  }
  bool OnlyAdministratorsCanChange(const Stream& file) const override {
    return inner_.OnlyAdministratorsCanChange(file);
  }
  std::string CreateHandBack() override { return inner_.CreateHandBack(); }
  std::vector<std::string> TakeHandBack() override { return inner_.TakeHandBack(); }
  bool HandBack(const std::vector<std::string>& paths) override { return inner_.HandBack(paths); }
  bool CreateFoldersBelow(const std::string& anchor, const std::string& path) override {
    return inner_.CreateFoldersBelow(anchor, path);
  }
  bool WriteNewFileBelow(const std::string& anchor, const std::string& path,
                         const std::string& bytes) override {
    return inner_.WriteNewFileBelow(anchor, path, bytes);
  }
  Removal RemoveBelow(const std::string& anchor, const std::string& path) override {
    return inner_.RemoveBelow(anchor, path);
  }
  std::optional<VersionInfo> Version() const override { return inner_.Version(); }
  std::string WindowsDirectory() const override { return inner_.WindowsDirectory(); }
  std::string TempDirectory() const override { return inner_.TempDirectory(); }
  std::string SpecialFolder(int csidl) const override { return inner_.SpecialFolder(csidl); }
  std::string ExePath() const override { return inner_.ExePath(); }
  int ParamCount() const override { return inner_.ParamCount(); }
  bool KeyExists(RegRoot root, const std::string& subkey) const override {
    return inner_.KeyExists(root, subkey);
  }
  void CreateKey(RegRoot root, const std::string& subkey) override {
    inner_.CreateKey(root, subkey);
  }
  std::unique_ptr<RegistryKey> OpenKey(RegRoot root, const std::string& subkey,
                                       bool canCreate) override {
    return inner_.OpenKey(root, subkey, canCreate);
  }
  Removal RemoveEmptyKey(RegRoot root, const std::string& subkey) override {
    return inner_.RemoveEmptyKey(root, subkey);
  }
  std::unique_ptr<RegistryKey> OpenKeyToRead(RegRoot root, const std::string& subkey) override {
    return inner_.OpenKeyToRead(root, subkey);
  }
  bool RunCommandLine(const std::string& commandLine, int showCommand) override {
    return inner_.RunCommandLine(commandLine, showCommand);
  }
  bool ShellRun(const ShellRequest& request) override { return inner_.ShellRun(request); }
  ShellOutcome ShellRunAndWait(const ShellRequest& request) override {
    return inner_.ShellRunAndWait(request);
  }
  void ProcessMessages() override { inner_.ProcessMessages(); }
  std::string ProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& fallback) const override {
    return inner_.ProfileString(file, section, key, fallback);
  }
  std::vector<std::string> ProfileKeys(const std::string& file,
                                       const std::string& section) const override {
    return inner_.ProfileKeys(file, section);
  }
  bool WriteShellLink(const std::string& path, const ShellLink& link) override {
    return inner_.WriteShellLink(path, link);
  }
  std::optional<std::string> ShellLinkBytes(const ShellLink& link) override {
    return inner_.ShellLinkBytes(link);
  }
  void ForEachShellVerb(const std::string& path,
                        const std::function<bool(const std::string& name)>& invoke) override {
    inner_.ForEachShellVerb(path, invoke);
  }
  void SetOwnerWindow(uintptr_t window) override { inner_.SetOwnerWindow(window); }
  int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t style) override {
    return inner_.ShowMessageBox(text, caption, style);
  }
  bool EnableShutdownPrivilege() override { return inner_.EnableShutdownPrivilege(); }
  bool RestartSystem(uint32_t flags) override { return inner_.RestartSystem(flags); }
  std::string Arguments() const override { return inner_.Arguments(); }
  bool IsElevated() const override { return inner_.IsElevated(); }
  std::unique_ptr<RunClaim> ClaimRun(const std::string& name) override {
    return inner_.ClaimRun(name);
  }
  std::string ToUtf8(const std::string& gbk) const override { return inner_.ToUtf8(gbk); }
  std::string FromUtf8(const std::string& utf8) const override { return inner_.FromUtf8(utf8); }

 private:
  Platform& inner_;
};

}  // namespace sys
