// The one door from the install logic to the operating system. Two implementations sit side by
// side: sys::win32 (the real Windows API; W functions, GBK converted with code page 936) and
// sys::sandbox (a simulated Windows rooted in a host folder). The same contract tests run against
// both, so what is written here is what both do.
//
// Every path and text is GBK std::string. Paths take Windows form ("C:\Dir\File"); both
// implementations accept "\" and "/", doubled separators and ASCII-case-insensitive names, and
// resolve relative paths against the process's working folder.
//
// Errors: operations whose failure the callers must see throw sys::Error with the texts of
// system/Error.h and the Windows error code in osCode(); operations whose callers ignore failure
// return false / empty / -1 instead, as noted on each.
//
// On purpose the sandbox differs in what it cannot be: started programs and shell executes are
// journalled instead of run (their exit code comes from the machine description), message boxes
// are answered from the machine description, a restart and a removal at restart are journalled.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "system/Stream.h"

namespace sys {

// Predefined registry roots, as the unsigned values of their handles (stored data uses these).
using RegRoot = uint32_t;
inline constexpr RegRoot kHkeyClassesRoot = 2147483648u;
inline constexpr RegRoot kHkeyCurrentUser = 2147483649u;
inline constexpr RegRoot kHkeyLocalMachine = 2147483650u;
inline constexpr RegRoot kHkeyUsers = 2147483651u;
inline constexpr RegRoot kHkeyCurrentConfig = 2147483653u;

// Registry value types.
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

// Shell folder numbers (CSIDL) the runtime uses.
inline constexpr int kCsidlDesktop = 0;
inline constexpr int kCsidlPrograms = 2;
inline constexpr int kCsidlCommonPrograms = 23;
inline constexpr int kCsidlAppData = 26;
inline constexpr int kCsidlProgramFiles = 38;
inline constexpr int kCsidlProfile = 40;

// Message box styles and answers (the Windows values).
inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbYesNo = 0x4;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

inline constexpr int kSwShowNormal = 1;

// Last-write times are Windows FILETIME values: 100-ns intervals since 1601-01-01 UTC.
using FileTime = uint64_t;

struct VersionInfo {
  uint32_t platformId = 0;  // 0 Win32s, 1 Windows 95/98/Me, 2 NT
  uint32_t major = 0;
  uint32_t minor = 0;
};

// What a removal that takes nothing but the item it names did.
enum class Removal {
  Removed,
  NotEmpty,  // the folder holds files or folders, the key values or subkeys; it stays
  Failed,    // missing, in use, read-only, denied
};

struct RegValue {
  uint32_t type = 0;  // kRegSz, kRegDword, kRegBinary, ...
  std::string data;   // raw bytes; REG_SZ without its terminating NUL, REG_DWORD as 4 LE bytes
};

// An open registry key. Closing is the destructor.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Each throws Error(Format(kFailedToSetData, name)) when the value cannot be written.
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  virtual void WriteInteger(const std::string& name, uint32_t value) = 0;
  virtual void WriteBinary(const std::string& name, const std::string& bytes) = 0;
  // nullopt when the value does not exist.
  virtual std::optional<RegValue> QueryValue(const std::string& name) const = 0;
  // false when there was no such value or it could not be deleted.
  virtual bool DeleteValue(const std::string& name) = 0;
};

struct ShellLink {
  std::string target;
  std::string arguments;
  std::string description;
  std::string workingDirectory;
  int showCommand = kSwShowNormal;
};

// A held claim of ClaimRun; destroying it releases the name.
class RunClaim {
 public:
  virtual ~RunClaim() = default;
};

struct ShellRequest {
  std::string verb;        // empty: the default verb
  std::string file;
  std::string parameters;
  std::string directory;
  int showCommand = kSwShowNormal;
  // Quiet launch for the elevated relaunch: no error UI, no zone checks, synchronous start.
  bool quiet = false;
};

struct ShellOutcome {
  bool started = false;
  uint32_t error = 0;      // the Windows error code when not started (kErrorCancelled: refused)
  // When started, waited for and its exit code could be read (a program handed to one that
  // was already running gives no process to wait for).
  std::optional<uint32_t> exitCode;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Files and folders -----------------------------------------------------------------
  virtual bool FileExists(const std::string& path) const = 0;
  virtual bool DirectoryExists(const std::string& path) const = 0;
  // Creates the folder with every missing parent; false when it does not exist afterwards.
  virtual bool ForceDirectories(const std::string& path) = 0;
  // Read access, sharing allowed for readers and writers. Throws Error(kCannotOpenFile).
  virtual std::unique_ptr<Stream> OpenForRead(const std::string& path) = 0;
  // Creates or truncates the file for writing. Throws Error(kCannotCreateFile).
  virtual std::unique_ptr<Stream> CreateForWrite(const std::string& path) = 0;
  // CreateForWrite when no file is there; nullptr, with nothing done, when one is. beforeCreate
  // runs between the look and the create (the run's journal writes its record there) and may
  // throw. Made of FileExists and CreateForWrite, so that a wrapper overriding those keeps them;
  // the sandbox answers with one lookup of the name where those two take one each.
  virtual std::unique_ptr<Stream> CreateIfNoFile(const std::string& path,
                                                 const std::function<void()>& beforeCreate) {
    if (FileExists(path)) return nullptr;
    beforeCreate();
    return CreateForWrite(path);
  }
  // Deletes a file; false when it could not.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Copies a file, failing (false) when the target exists.
  virtual bool CopyNewFile(const std::string& source, const std::string& target) = 0;
  // Moves a file over another one, replacing it; false when it could not. On Windows a target
  // that is read-only, hidden or system is replaced all the same, and one in use (a running
  // program, a loaded library) is renamed aside in its folder and deleted now or at the next
  // restart; the sandbox simulates neither attributes nor sharing.
  virtual bool MoveReplacing(const std::string& source, const std::string& target) = 0;
  // Last-write time only (creation and access times stay); false when the file cannot be opened.
  virtual bool SetLastWriteTime(const std::string& path, FileTime utc) = 0;
  virtual std::optional<FileTime> LastWriteTime(const std::string& path) const = 0;
  // Local time to UTC by the machine's time zone (LocalFileTimeToFileTime).
  virtual FileTime LocalToUtc(FileTime local) const = 0;
  // Removes the folder only when it is empty (RemoveDirectory), never anything in it; a drive
  // root is never removed.
  virtual Removal RemoveEmptyFolder(const std::string& path) = 0;
  // Marks a file, or a folder that will then be empty, for deletion when Windows next starts
  // (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT); false when the mark could not be made.
  // Windows deletes a marked folder only if it is empty by then.
  virtual bool RemoveAtRestart(const std::string& path) = 0;
  // Bytes free for the current user on the volume of root ("C:\"); -1 when it cannot answer.
  virtual int64_t FreeDiskSpace(const std::string& root) const = 0;
  // The names of the folders directly inside path (no "." or ".."), sorted ignoring ASCII
  // case; empty when path is no folder or cannot be listed. Hidden folders are left out.
  virtual std::vector<std::string> ListFolders(const std::string& path) const = 0;

  // --- The run's own files ---------------------------------------------------------------
  // What the elevated run reads after the person consented must not be changeable by anyone
  // without administrator rights; these hold files so that it is not, even where access lists
  // are not enforced.
  //
  // The running program's own file, opened once for reading and shared for reading only (no
  // one can write, rename or delete it while the stream lives), after checking that the file
  // opened is the very file the process was started from. Throws Error(kSetupProgramReplaced)
  // when it is not, Error(kCannotOpenFile) when it cannot be opened.
  virtual std::unique_ptr<Stream> HoldOwnImage() = 0;
  // Creates a new folder with an unpredictable name inside parent and returns its path (no
  // trailing backslash); never takes a folder that exists. When the process runs with
  // administrator rights, only SYSTEM and the Administrators may use it. Throws
  // Error(kUnsafeFolder) when parent or any folder above it is a link (a reparse point).
  virtual std::string CreatePrivateFolder(const std::string& parent) = 0;
  // Creates a file that does not exist yet (a link or file in its place is refused, never
  // followed), for writing, shared for reading only. Throws Error(kCannotCreateFile).
  virtual std::unique_ptr<Stream> CreateNewFile(const std::string& path) = 0;
  // Opens a file for reading, shared for reading only: while the stream lives, others may read
  // the file but not write, rename or delete it. Throws Error(kCannotOpenFile).
  virtual std::unique_ptr<Stream> HoldForRead(const std::string& path) = 0;
  // Creates the one folder path (its parent exists) with the protection of Program Files:
  // SYSTEM and the Administrators may do anything, the Users read and run, and nothing is
  // inherited from the parent. Without administrator rights it is an ordinary folder (the
  // person could not use one they may not write). false when it could not be created.
  virtual bool CreateProtectedFolder(const std::string& path) = 0;
  // Creates path anew for writing, shared for reading only: whatever is at path first (a file,
  // a link) is removed, never written through or followed. When the process runs with
  // administrator rights, only SYSTEM and the Administrators may change the new file (they own
  // it; an explicit access list, nothing inherited from a folder the person may own; the Users
  // may read it). Without those rights it is an ordinary file. Throws Error(kCannotCreateFile).
  virtual std::unique_ptr<Stream> CreateProtectedFile(const std::string& path) = 0;
  // True when the file the stream is open on (a stream of this platform's OpenForRead,
  // HoldForRead or CreateProtectedFile) is owned by SYSTEM, the Administrators or
  // TrustedInstaller and no one else may write, append to or delete it, change its access list
  // or take it over; judged on the open file, never by its name again. False for any other
  // stream, and wherever files keep no owner and access list of their own (a FAT volume; Wine,
  // which reports the user as every file's owner).
  virtual bool OnlyAdministratorsCanChange(const Stream& file) const = 0;

  // --- The elevated relaunch's hand-back ---------------------------------------------------
  // The elevated copy must not open the files the person chose to see at the end (the
  // application, the readme): opened by an administrator's process through the user's file
  // associations, they would run elevated. It hands them back to the unelevated parent that
  // waits for it, through a channel only the parent makes.
  //
  // The parent's side, before starting the copy: makes the channel and returns the parameter
  // that names it on the copy's command line; empty when none can be made.
  virtual std::string CreateHandBack() = 0;
  // The parent's side, after the copy has ended: the paths it handed back, in order.
  virtual std::vector<std::string> TakeHandBack() = 0;
  // The copy's side: hands paths to the parent named on its own command line; false when no
  // parent waits (no such parameter, or its channel cannot be reached).
  virtual bool HandBack(const std::vector<std::string>& paths) = 0;

  // --- Below a folder a non-administrator can change ------------------------------------
  // The user's Start menu, desktop and profile: the elevated run writes links there and the
  // uninstaller deletes them, so the user could have swapped any folder on the way for a link
  // (a junction, a symbolic link, a mount point) to make those writes and deletes land
  // elsewhere. These take anchor, the known folder (accepted as it is, links included), and a
  // path below it, and refuse (false, Removal::Failed) when any level of path below the anchor
  // is a link or the item opened is not at the path meant; the levels are held open against
  // renaming meanwhile, and a removal goes through the handle that was checked. The sandbox
  // models links by host symbolic links.
  // Creates the missing folders of path below anchor; true when path is then a real folder.
  virtual bool CreateFoldersBelow(const std::string& anchor, const std::string& path) = 0;
  // Creates a new file holding bytes; false when it exists or cannot be written (nothing stays).
  virtual bool WriteNewFileBelow(const std::string& anchor, const std::string& path,
                                 const std::string& bytes) = 0;
  // Removes a file, or a folder only when it is empty (Removal::NotEmpty otherwise).
  virtual Removal RemoveBelow(const std::string& anchor, const std::string& path) = 0;

  // --- Machine facts ---------------------------------------------------------------------
  // nullopt when the version query fails.
  virtual std::optional<VersionInfo> Version() const = 0;
  // The folders and the program's path below are never a GBK look-alike of the real one: a path
  // GBK cannot spell comes in its short (8.3) form, else they throw Error(kPathOutsideGbk).
  // Without a trailing backslash.
  virtual std::string WindowsDirectory() const = 0;
  // With its trailing backslash, as GetTempPath gives it.
  virtual std::string TempDirectory() const = 0;
  // Without a trailing backslash; empty when the shell cannot resolve the number (callers skip
  // what would go there rather than build a path at the root of a drive).
  virtual std::string SpecialFolder(int csidl) const = 0;
  // Full path of the running program's file and the number of its command-line parameters.
  virtual std::string ExePath() const = 0;
  virtual int ParamCount() const = 0;

  // --- Registry --------------------------------------------------------------------------
  // Subkey paths may start with "\" (taken from the root) and use "\" between levels.
  virtual bool KeyExists(RegRoot root, const std::string& subkey) const = 0;
  // Creates the key with its missing levels; throws Error(Format(kFailedToCreateKey, subkey)).
  virtual void CreateKey(RegRoot root, const std::string& subkey) = 0;
  // For reading and writing values; nullptr when it cannot be opened (or created, with canCreate).
  virtual std::unique_ptr<RegistryKey> OpenKey(RegRoot root, const std::string& subkey,
                                               bool canCreate) = 0;
  // Deletes the key only when it holds no values (the unnamed one included) and no subkeys. A
  // root itself is never deleted. Keys of it that are open must be closed first.
  virtual Removal RemoveEmptyKey(RegRoot root, const std::string& subkey) = 0;
  // For reading values only, which works where the key may not be written (HKEY_LOCAL_MACHINE
  // in a run without raised rights); its writes throw Error(kFailedToSetData). nullptr when it
  // cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenKeyToRead(RegRoot root,
                                                     const std::string& subkey) = 0;

  // --- Programs and the shell ------------------------------------------------------------
  // WinExec semantics: starts a command line and returns at once; false when it did not start.
  // A program named without a folder ("regsvr32.exe", "Regedit") is taken from the system
  // folder or the Windows folder only, never from the setup program's own folder, where a
  // planted copy would run with the run's rights. The program is the line's first token (quoted,
  // or up to the first blank) and is started by exactly that name: an unquoted path with
  // blanks fails rather than start a shorter one ("C:\My.exe" for "C:\My Apps\app.exe").
  virtual bool RunCommandLine(const std::string& commandLine, int showCommand) = 0;
  // ShellExecute: starts and returns once the launch is complete (so it survives the end of the
  // process), showing no error box of its own.
  virtual bool ShellRun(const ShellRequest& request) = 0;
  // ShellExecuteEx and wait for the process while window messages keep being processed.
  virtual ShellOutcome ShellRunAndWait(const ShellRequest& request) = 0;
  // Processes the pending window messages of the GUI thread (nothing where there is none).
  virtual void ProcessMessages() = 0;

  // --- Profile (.ini) files --------------------------------------------------------------
  virtual std::string ProfileString(const std::string& file, const std::string& section,
                                    const std::string& key, const std::string& fallback) const = 0;
  // The key names of a section, in file order; empty when file or section is missing.
  virtual std::vector<std::string> ProfileKeys(const std::string& file,
                                               const std::string& section) const = 0;

  // --- Shell links -----------------------------------------------------------------------
  // Writes a shell link file. Throws Error only when the link object cannot be created; a
  // failure to save is the false result (callers ignore it).
  virtual bool WriteShellLink(const std::string& path, const ShellLink& link) = 0;
  // The bytes WriteShellLink would save, for writing through WriteNewFileBelow; nullopt when
  // the link cannot be made.
  virtual std::optional<std::string> ShellLinkBytes(const ShellLink& link) = 0;
  // Walks the shell verbs of the item at path (Shell.Application NameSpace / ParseName / Verbs),
  // calling invoke for each verb name and carrying out (DoIt) every verb for which it is true.
  // Does nothing when the shell finds no folder or item.
  virtual void ForEachShellVerb(const std::string& path,
                                const std::function<bool(const std::string& name)>& invoke) = 0;

  // --- Dialogs and the session -----------------------------------------------------------
  // The run's current top window, owner of the message boxes and of the elevation prompt: the
  // window's handle as a number (0: none), so portable code can pass it on unopened.
  virtual void SetOwnerWindow(uintptr_t window) = 0;
  // A message box owned by the owner window, else by the active window and kept in front;
  // returns the button pressed (kIdOk, kIdYes, ...).
  virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                             uint32_t style) = 0;
  // Enables SE_SHUTDOWN_NAME in the process token; false when it could not.
  virtual bool EnableShutdownPrivilege() = 0;
  // ExitWindowsEx with the given flags and a planned-installation reason; false when refused.
  virtual bool RestartSystem(uint32_t flags) = 0;

  // --- Unattended runs (the administrator's switches) -------------------------------------
  // The command line after the program's own name, as given (GBK; a character GBK lacks
  // becomes '?', which no switch or folder the run acts on can hold unnoticed).
  virtual std::string Arguments() const = 0;
  // True when the process holds an administrator's full rights: an elevated token, or a
  // system without elevation (before 6.0). The sandbox says what its machine was told.
  virtual bool IsElevated() const = 0;
  // Claims the machine-wide name for one run of a product's setup or uninstaller, for as long
  // as the returned object lives; nullptr when another process holds it. Windows uses a named
  // mutex (an owner that dies releases it), the sandbox a lock file in its root.
  virtual std::unique_ptr<RunClaim> ClaimRun(const std::string& name) = 0;
  // GBK to and from UTF-8 (the administrator's log and answers file). FromUtf8 throws
  // Error(kNotUtf8Text) for bytes that are not UTF-8 or a character GBK cannot hold.
  virtual std::string ToUtf8(const std::string& gbk) const = 0;
  virtual std::string FromUtf8(const std::string& utf8) const = 0;
};

// The process-wide current platform, for the free helpers whose signatures have no room for
// one. app/, tools/ and the test fixtures set it; nothing else does.
Platform& CurrentPlatform();
void SetCurrentPlatform(Platform* platform);

// Sets the current platform for a scope and restores the previous one after it.
class ScopedCurrentPlatform {
 public:
  explicit ScopedCurrentPlatform(Platform& platform);
  ~ScopedCurrentPlatform();
  ScopedCurrentPlatform(const ScopedCurrentPlatform&) = delete;
  ScopedCurrentPlatform& operator=(const ScopedCurrentPlatform&) = delete;

 private:
  Platform* previous_;
};

}  // namespace sys
