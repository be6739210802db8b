// The real Windows platform: every operation is the W function of the Windows API, with GBK
// text converted through code page 936 at the call (system/win32/WideText.h), so results do
// not depend on the system's ANSI code page.
//
// Threading: construct it on the GUI thread and use it there. The constructor initialises COM
// (apartment-threaded) for that thread, which the shell link and Shell.Application calls need;
// the destructor undoes it. Exactly one instance lives for the program's run. It also turns off
// the system's critical-error boxes (SEM_FAILCRITICALERRORS) while it lives, so asking an empty
// card reader for its free space shows no "insert a disk" dialog.
//
// Differences from the sandbox are the ones the interface names: programs really start, message
// boxes really show, RestartSystem really ends the session. RunCommandLine, like WinExec, gives
// the started program up to 30 seconds to come up (or end) before it returns. A COM call that
// fails where the interface lets failure through (the shell link object, the Shell.Application
// walk) raises sys::Error("OLE error XXXXXXXX") with the HRESULT as the code. Registry roots
// other than the five predefined ones are refused rather than passed on as handle values.
#pragma once

#include <map>
#include <string>

#include "system/Platform.h"
#include "system/win32/ScopedWin.h"

namespace sys::win32 {

class Win32Platform : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Files and folders (Win32Files.cpp)
  bool FileExists(const std::string& path) const override;
  bool DirectoryExists(const std::string& path) const override;
  bool ForceDirectories(const std::string& path) override;
  std::unique_ptr<Stream> OpenForRead(const std::string& path) override;
  std::unique_ptr<Stream> CreateForWrite(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool CopyNewFile(const std::string& source, const std::string& target) override;
  bool MoveReplacing(const std::string& source, const std::string& target) override;
  bool SetLastWriteTime(const std::string& path, FileTime utc) override;
  std::optional<FileTime> LastWriteTime(const std::string& path) const override;
  FileTime LocalToUtc(FileTime local) const override;
  int64_t FreeDiskSpace(const std::string& root) const override;
  Removal RemoveEmptyFolder(const std::string& path) override;
  bool RemoveAtRestart(const std::string& path) override;
  std::vector<std::string> ListFolders(const std::string& path) const override;

  // The run's own files (Win32RunFiles.cpp)
  std::unique_ptr<Stream> HoldOwnImage() override;
  std::string CreatePrivateFolder(const std::string& parent) override;
  std::unique_ptr<Stream> CreateNewFile(const std::string& path) override;
  std::unique_ptr<Stream> HoldForRead(const std::string& path) override;
  bool CreateProtectedFolder(const std::string& path) override;
  std::unique_ptr<Stream> CreateProtectedFile(const std::string& path) override;
  bool OnlyAdministratorsCanChange(const Stream& file) const override;

  // The elevated relaunch's hand-back (Win32HandBack.cpp)
  std::string CreateHandBack() override;
  std::vector<std::string> TakeHandBack() override;
  bool HandBack(const std::vector<std::string>& paths) override;

  // Below a folder the user can change (Win32UserFolders.cpp)
  bool CreateFoldersBelow(const std::string& anchor, const std::string& path) override;
  bool WriteNewFileBelow(const std::string& anchor, const std::string& path,
                         const std::string& bytes) override;
  Removal RemoveBelow(const std::string& anchor, const std::string& path) override;

  // Machine facts (Win32Machine.cpp)
  std::optional<VersionInfo> Version() const override;
  std::string WindowsDirectory() const override;
  std::string TempDirectory() const override;
  std::string SpecialFolder(int csidl) const override;
  std::string ExePath() const override;
  int ParamCount() const override;

  // Registry (Win32Registry.cpp)
  bool KeyExists(RegRoot root, const std::string& subkey) const override;
  void CreateKey(RegRoot root, const std::string& subkey) override;
  std::unique_ptr<RegistryKey> OpenKey(RegRoot root, const std::string& subkey,
                                       bool canCreate) override;
  Removal RemoveEmptyKey(RegRoot root, const std::string& subkey) override;
  std::unique_ptr<RegistryKey> OpenKeyToRead(RegRoot root,
                                             const std::string& subkey) override;

  // Programs and the shell (Win32Processes.cpp)
  bool RunCommandLine(const std::string& commandLine, int showCommand) override;
  bool ShellRun(const ShellRequest& request) override;
  ShellOutcome ShellRunAndWait(const ShellRequest& request) override;
  void ProcessMessages() override;

  // Profile files (Win32Profile.cpp)
  std::string ProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& fallback) const override;
  std::vector<std::string> ProfileKeys(const std::string& file,
                                       const std::string& section) const override;

  // Shell links and verbs (Win32ShellLink.cpp, Win32ShellVerbs.cpp)
  bool WriteShellLink(const std::string& path, const ShellLink& link) override;
  std::optional<std::string> ShellLinkBytes(const ShellLink& link) override;
  void ForEachShellVerb(const std::string& path,
                        const std::function<bool(const std::string& name)>& invoke) override;

  // Dialogs and the session (Win32Session.cpp)
  void SetOwnerWindow(uintptr_t window) override { ownerWindow_ = window; }
  int ShowMessageBox(const std::string& text, const std::string& caption,
                     uint32_t style) override;
  bool EnableShutdownPrivilege() override;
  bool RestartSystem(uint32_t flags) override;

  // Unattended runs (Win32Unattended.cpp)
  std::string Arguments() const override;
  bool IsElevated() const override;
  std::unique_ptr<RunClaim> ClaimRun(const std::string& name) override;
  std::string ToUtf8(const std::string& gbk) const override;
  std::string FromUtf8(const std::string& utf8) const override;

 private:
  // Dispatches the queued messages; stops at WM_QUIT, which it takes from the queue, and
  // returns its exit code then, so the caller can post it again once it no longer loops on the
  // queue (posting it at once would wake the loop for ever).
  std::optional<int> DispatchPending();

  // The owner window while it still exists; null otherwise.
  void* OwnerWindow() const;

  bool comInitialised_ = false;
  unsigned previousErrorMode_ = 0;
  // SpecialFolder's answers: the shell's lookup takes milliseconds (more under Wine), and the
  // user-folder checks ask for four folders at every folder made and every file removed.
  mutable std::map<int, std::string> specialFolders_;
  uintptr_t ownerWindow_ = 0;
  ScopedHandle handBack_;  // the parent's channel section, once made
};

}  // namespace sys::win32
