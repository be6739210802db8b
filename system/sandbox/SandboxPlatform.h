// A simulated Windows machine rooted in a host folder ROOT, for tests and for setup-tool's
// simulate command. Nothing here touches the host outside ROOT and nothing is ever run.
//
//   ROOT/drive_c/, ROOT/drive_d/ ...  the drives (PathMapper.h has the path rules)
//   ROOT/machine.json                 the machine description (MachineConfig.h), created with
//                                     defaults when missing
//   ROOT/registry.json                the registry (SandboxRegistry.h), loaded at construction,
//                                     saved by Flush() and by the destructor when changed
//   ROOT/journal.jsonl                started programs, shell executes, message boxes, shell
//                                     verbs, restarts, removals at restart (Journal.h has the
//                                     line shapes)
//   ROOT/protected/                   marks of the files only administrators can change
//                                     (ProtectedFiles.h)
//
// Where it differs from Windows on purpose: programs and shell executes are journalled and
// "succeed" with the machine's exit code (the file is not checked; "runas" fails with 1223 when
// the machine refuses elevation); message boxes are answered from the machine's script; file
// sharing and attributes are not simulated; shell links are written by ShellLinkFile, not COM;
// host symbolic links below ROOT stand for junctions and other reparse points.
// The setters change the machine for the rest of the run and also save machine.json.
#pragma once

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "system/Platform.h"
#include "system/sandbox/FaultInjection.h"
#include "system/sandbox/Journal.h"
#include "system/sandbox/MachineConfig.h"
#include "system/sandbox/PathMapper.h"
#include "system/sandbox/ProtectedFiles.h"
#include "system/sandbox/SandboxRegistry.h"

namespace sys::sandbox {

class SandboxPlatform : public Platform {
 public:
  // Creates ROOT and the machine's standard folders (Windows, temp, Program Files, the shell
  // folders, the working folder) when missing. Throws sys::Error for a damaged machine.json or
  // registry.json.
  explicit SandboxPlatform(std::filesystem::path root);
  ~SandboxPlatform() override;
  SandboxPlatform(const SandboxPlatform&) = delete;
  SandboxPlatform& operator=(const SandboxPlatform&) = delete;

  // --- Files and folders
  bool FileExists(const std::string& path) const override;
  bool DirectoryExists(const std::string& path) const override;
  bool ForceDirectories(const std::string& path) override;
  std::unique_ptr<Stream> OpenForRead(const std::string& path) override;
  std::unique_ptr<Stream> CreateForWrite(const std::string& path) override;
  std::unique_ptr<Stream> CreateIfNoFile(const std::string& path,
                                         const std::function<void()>& beforeCreate) override;
  bool RemoveFile(const std::string& path) override;
  bool CopyNewFile(const std::string& source, const std::string& target) override;
  bool MoveReplacing(const std::string& source, const std::string& target) override;
  bool SetLastWriteTime(const std::string& path, FileTime utc) override;
  std::optional<FileTime> LastWriteTime(const std::string& path) const override;
  FileTime LocalToUtc(FileTime local) const override;
  int64_t FreeDiskSpace(const std::string& root) const override;
  Removal RemoveEmptyFolder(const std::string& path) override;
  // Journalled; nothing is ever removed, as no restart of the simulated machine comes.
  bool RemoveAtRestart(const std::string& path) override;
  std::vector<std::string> ListFolders(const std::string& path) const override;
  bool CreateFoldersBelow(const std::string& anchor, const std::string& path) override;
  bool WriteNewFileBelow(const std::string& anchor, const std::string& path,
                         const std::string& bytes) override;
  Removal RemoveBelow(const std::string& anchor, const std::string& path) override;

  // --- The run's own files (no sharing simulated: a held file is open, nothing more)
  std::unique_ptr<Stream> HoldOwnImage() override;
  // Refuses a parent below which a host symbolic link stands for a junction.
  std::string CreatePrivateFolder(const std::string& parent) override;
  std::unique_ptr<Stream> CreateNewFile(const std::string& path) override;
  std::unique_ptr<Stream> HoldForRead(const std::string& path) override;
  // Journalled as {"op":"protectedFolder","path":..}; the folder is an ordinary host folder.
  bool CreateProtectedFolder(const std::string& path) override;
  // In an elevated run the file is marked in ROOT/protected/ (ProtectedFiles.h has the model).
  std::unique_ptr<Stream> CreateProtectedFile(const std::string& path) override;
  bool OnlyAdministratorsCanChange(const Stream& file) const override;

  // --- The elevated relaunch's hand-back: one channel inside this platform, so a test plays
  // parent and copy on the same machine; journalled as {"op":"handBack","paths":[..]}.
  std::string CreateHandBack() override;
  std::vector<std::string> TakeHandBack() override;
  bool HandBack(const std::vector<std::string>& paths) override;

  // --- Machine facts
  std::optional<VersionInfo> Version() const override;
  std::string WindowsDirectory() const override;
  std::string TempDirectory() const override;
  std::string SpecialFolder(int csidl) const override;
  std::string ExePath() const override;
  int ParamCount() const override;

  // --- Registry
  bool KeyExists(RegRoot root, const std::string& subkey) const override;
  void CreateKey(RegRoot root, const std::string& subkey) override;
  std::unique_ptr<RegistryKey> OpenKey(RegRoot root, const std::string& subkey,
                                       bool canCreate) override;
  Removal RemoveEmptyKey(RegRoot root, const std::string& subkey) override;
  std::unique_ptr<RegistryKey> OpenKeyToRead(RegRoot root,
                                             const std::string& subkey) override;

  // --- Programs and the shell (journalled, never run)
  bool RunCommandLine(const std::string& commandLine, int showCommand) override;
  bool ShellRun(const ShellRequest& request) override;
  ShellOutcome ShellRunAndWait(const ShellRequest& request) override;
  void ProcessMessages() override {}

  // --- Profile files, links, dialogs, session
  std::string ProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& fallback) const override;
  std::vector<std::string> ProfileKeys(const std::string& file,
                                       const std::string& section) const override;
  bool WriteShellLink(const std::string& path, const ShellLink& link) override;
  std::optional<std::string> ShellLinkBytes(const ShellLink& link) override;
  void ForEachShellVerb(const std::string& path,
                        const std::function<bool(const std::string& name)>& invoke) override;
  // The journalled boxes have no window to be owned by.
  void SetOwnerWindow(uintptr_t) override {}
  int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t style) override;
  bool EnableShutdownPrivilege() override;
  bool RestartSystem(uint32_t flags) override;

  // --- Unattended runs (SandboxUnattended.cpp): what SetArguments and SetElevated gave the
  // machine (not kept in machine.json: each run is started with its own).
  std::string Arguments() const override;
  bool IsElevated() const override;
  std::unique_ptr<RunClaim> ClaimRun(const std::string& name) override;
  std::string ToUtf8(const std::string& gbk) const override;
  std::string FromUtf8(const std::string& utf8) const override;

  // --- For tests and tools
  const std::filesystem::path& root() const { return mapper_.root(); }
  // The host file or folder a Windows path names (existing names matched ignoring case);
  // nullopt for a path the sandbox cannot hold.
  std::optional<std::filesystem::path> HostPath(const std::string& windowsPath) const;
  // Call after changing files below ROOT without the platform (SandboxHost does).
  void ForgetHostListings() const { mapper_.ForgetListings(); }
  // Absolute normalised Windows form ("c:/a/../b" -> "C:\b").
  std::optional<std::string> NormalizePath(const std::string& windowsPath) const;
  // Saves registry.json now.
  void Flush();
  std::vector<nlohmann::json> ReadJournal() const { return sys::sandbox::ReadJournal(root()); }

  const MachineConfig& machine() const { return config_; }
  void SetMachine(const MachineConfig& config);
  void SetVersionText(const std::string& versionText);
  // Answers of the next question boxes in order (kIdYes, kIdNo), then defaultAnswer.
  void SetAnswers(std::vector<int> answers, int defaultAnswer = kIdNo);
  void SetElevation(bool accept);
  void SetExitCode(uint32_t exitCode);
  void SetExePath(const std::string& exePath, int paramCount = 0);
  // The command line after the program's name; ParamCount follows it.
  void SetArguments(const std::string& arguments);
  // Whether the running program holds full rights (true unless told otherwise).
  void SetElevated(bool elevated) { elevated_ = elevated; }
  // A drive with that much free space; creates its drive folder. -1 removes the figure.
  void SetFreeSpace(char drive, int64_t bytes);
  void SetShellVerbs(std::vector<std::string> verbs);
  void SetSpecialFolder(int csidl, const std::string& folder);
  void SetWindowsDirectory(const std::string& folder);
  void SetTempDirectory(const std::string& folder);
  void SetUtcOffsetMinutes(int minutes);
  void SetWorkingDirectory(const std::string& folder);

  void InjectFault(FaultRule rule) { faults_.Add(std::move(rule)); }
  void ClearFaults() { faults_.Clear(); }
  void InjectRegistryFault(RegRoot root, const std::string& subkey, RegistryFault fault) {
    registry_.InjectFault(root, subkey, fault);
  }
  SandboxRegistry& registry() { return registry_; }
  // The step counter of fault-at-every-step campaigns (counting only, until told otherwise).
  StepFaults& steps() { return *steps_; }

 private:
  struct Target {
    std::string windows;  // normalised
    std::filesystem::path host;
    HostEntry seen = HostEntry::Unknown;  // as mapping found it
  };
  std::optional<Target> Map(const std::string& path) const;
  // CreateForWrite of the mapped path.
  std::unique_ptr<Stream> CreateWritable(const std::string& path, const std::optional<Target>& target);
  // The whole content of a file, or nullopt when it cannot be read.
  std::optional<std::string> ReadAll(const std::string& path) const;
  // The normalised levels of path below anchor, path last; nullopt when it is not below anchor.
  std::optional<std::vector<std::string>> LevelsBelow(const std::string& anchor,
                                                      const std::string& path) const;
  // Whether the level is a host symbolic link, the sandbox's junction (or cannot be mapped).
  bool IsLink(const std::string& level) const;
  void ApplyMachine();
  void SaveMachine() const;

  MachineConfig config_;
  PathMapper mapper_;
  SandboxRegistry registry_;
  Journal journal_;
  ProtectedFiles protectedFiles_;
  FaultInjection faults_;
  std::shared_ptr<StepFaults> steps_ = std::make_shared<StepFaults>();
  size_t answersUsed_ = 0;
  std::string arguments_;
  bool elevated_ = true;
  std::optional<std::vector<std::string>> handBack_;  // the channel, once made
};

}  // namespace sys::sandbox
