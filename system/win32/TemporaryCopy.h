// The Windows side of a program that must delete its own file (the uninstaller): a copy of it
// runs from a new folder of its own under the temporary folder, and that copy, at its end,
// removes its file and folder, or marks them for removal at the next restart where Windows
// will not delete a running program's file.
//
// StartTemporaryCopy creates the folder fresh (a private folder: an unpredictable name that must
// not exist, for SYSTEM and the Administrators only when elevated, refused behind a link), copies
// the running program into it, holds the copy against writers, renames and deletes and checks its
// bytes until it has started, and starts the copy there (its working folder too, so the copy holds nothing of the install folder open), letting
// it inherit a handle to this process and whatever else was made inheritable. On any failure it
// removes what it made and returns false; the caller then does the work itself.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sys::win32 {

// The program's arguments, GBK, without the program itself (CommandLineToArgvW's rules).
std::vector<std::string> CommandLineArguments();

// folderName(number) names the folder for one try (number: a clock reading plus the try);
// tries stops after that many names that exist. arguments(processHandle) gives the copy's
// command line after its own path.
bool StartTemporaryCopy(const std::string& exePath,
                        const std::function<std::string(uint32_t number)>& folderName, uint32_t tries,
                        const std::function<std::string(uint64_t processHandle)>& arguments);

// Whether the process an inherited handle names was started from program (full paths compared
// ignoring case): the copy accepts the original of its command line only when it is the
// program that started it. False for a handle that names no process; true where the system
// cannot tell (before Vista, where no elevation separates the two).
bool IsProcessImage(uint64_t processHandle, const std::string& program);

// Waits, at most timeoutMs, for the process an inherited handle names, then closes the handle.
void WaitForProcessHandle(uint64_t handle, uint32_t timeoutMs);

// The running program's own file and its folder: deleted now where the system allows it (Wine
// does), else marked for deletion at the next restart (MoveFileEx, which needs administrator
// rights; Windows keeps a running program's file).
void RemoveRunningProgram(const std::string& exePath);

}  // namespace sys::win32
