// A platform that refuses every operation, for the commands that only read a package file
// (inspect, verify, extract): the project object wants a platform, and these commands must
// never touch a machine, real or simulated. Any call is a tool fault and throws tool::Failure.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "system/Platform.h"

namespace tool {

class InertPlatform : public sys::Platform {
 public:
  using Stream = sys::Stream;
  using FileTime = sys::FileTime;
  using VersionInfo = sys::VersionInfo;
  using RegRoot = sys::RegRoot;
  using RegistryKey = sys::RegistryKey;
  using ShellRequest = sys::ShellRequest;
  using ShellOutcome = sys::ShellOutcome;
  using ShellLink = sys::ShellLink;

  bool FileExists(const std::string&) const override { Refuse(); }
  bool DirectoryExists(const std::string&) const override { Refuse(); }
  bool ForceDirectories(const std::string&) override { Refuse(); }
  std::unique_ptr<Stream> OpenForRead(const std::string&) override { Refuse(); }
  std::unique_ptr<Stream> CreateForWrite(const std::string&) override { Refuse(); }
  bool RemoveFile(const std::string&) override { Refuse(); }
  bool CopyNewFile(const std::string&, const std::string&) override { Refuse(); }
  bool MoveReplacing(const std::string&, const std::string&) override { Refuse(); }
  bool SetLastWriteTime(const std::string&, FileTime) override { Refuse(); }
  std::optional<FileTime> LastWriteTime(const std::string&) const override { Refuse(); }
  FileTime LocalToUtc(FileTime) const override { Refuse(); }
  int64_t FreeDiskSpace(const std::string&) const override { Refuse(); }
  sys::Removal RemoveEmptyFolder(const std::string&) override { Refuse(); }
  bool RemoveAtRestart(const std::string&) override { Refuse(); }
  std::vector<std::string> ListFolders(const std::string&) const override { Refuse(); }
  std::unique_ptr<Stream> HoldOwnImage() override { Refuse(); }
  std::string CreatePrivateFolder(const std::string&) override { Refuse(); }
  std::unique_ptr<Stream> CreateNewFile(const std::string&) override { Refuse(); }
  std::unique_ptr<Stream> HoldForRead(const std::string&) override { Refuse(); }
  bool CreateProtectedFolder(const std::string&) override { Refuse(); }
  std::unique_ptr<Stream> CreateProtectedFile(const std::string&) override { Refuse(); }
  bool OnlyAdministratorsCanChange(const Stream&) const override { Refuse(); }
  std::string CreateHandBack() override { Refuse(); }
  std::vector<std::string> TakeHandBack() override { Refuse(); }
  bool HandBack(const std::vector<std::string>&) override { Refuse(); }
  bool CreateFoldersBelow(const std::string&, const std::string&) override { Refuse(); }
  bool WriteNewFileBelow(const std::string&, const std::string&, const std::string&) override {
    Refuse();
  }
  sys::Removal RemoveBelow(const std::string&, const std::string&) override { Refuse(); }
  std::optional<VersionInfo> Version() const override { Refuse(); }
  std::string WindowsDirectory() const override { Refuse(); }
  std::string TempDirectory() const override { Refuse(); }
  std::string SpecialFolder(int) const override { Refuse(); }
  std::string ExePath() const override { Refuse(); }
  int ParamCount() const override { Refuse(); }
  bool KeyExists(RegRoot, const std::string&) const override { Refuse(); }
  void CreateKey(RegRoot, const std::string&) override { Refuse(); }
  std::unique_ptr<RegistryKey> OpenKey(RegRoot, const std::string&, bool) override { Refuse(); }
  sys::Removal RemoveEmptyKey(RegRoot, const std::string&) override { Refuse(); }
  std::unique_ptr<RegistryKey> OpenKeyToRead(RegRoot, const std::string&) override { Refuse(); }
  bool RunCommandLine(const std::string&, int) override { Refuse(); }
  bool ShellRun(const ShellRequest&) override { Refuse(); }
  ShellOutcome ShellRunAndWait(const ShellRequest&) override { Refuse(); }
  void ProcessMessages() override { Refuse(); }
  std::string ProfileString(const std::string&, const std::string&, const std::string&,
                            const std::string&) const override {
    Refuse();
  }
  std::vector<std::string> ProfileKeys(const std::string&, const std::string&) const override {
    Refuse();
  }
  bool WriteShellLink(const std::string&, const ShellLink&) override { Refuse(); }
  std::optional<std::string> ShellLinkBytes(const ShellLink&) override { Refuse(); }
  void ForEachShellVerb(const std::string&,
                        const std::function<bool(const std::string&)>&) override {
    Refuse();
  }
  void SetOwnerWindow(uintptr_t) override { Refuse(); }
  int ShowMessageBox(const std::string&, const std::string&, uint32_t) override { Refuse(); }
  bool EnableShutdownPrivilege() override { Refuse(); }
  bool RestartSystem(uint32_t) override { Refuse(); }
  std::string Arguments() const override { Refuse(); }
  bool IsElevated() const override { Refuse(); }
  std::unique_ptr<sys::RunClaim> ClaimRun(const std::string&) override { Refuse(); }
  std::string ToUtf8(const std::string&) const override { Refuse(); }
  std::string FromUtf8(const std::string&) const override { Refuse(); }

 private:
  [[noreturn]] static void Refuse();
};

}  // namespace tool
