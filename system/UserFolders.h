// The folders a non-administrator can change and the elevated run still writes into or deletes
// from: the user's Start-menu programs, desktop and application data (Quick Launch) folders,
// and any folder below the folder of all profiles (the parent of the user's profile; an
// uninstall elevated with another account's password finds the installing user's links there).
// Below one of these, the helpers go through the platform's link-refusing calls (see the
// "Below a folder a non-administrator can change" part of Platform.h); elsewhere they are the
// plain calls. The known folder itself is taken as it is: only levels below it are checked.
//
// Not here: the shell's own walk of a link's verbs (pinning), which the shell does by name.
#pragma once

#include <optional>
#include <string>

#include "system/Platform.h"

namespace sys {

// The deepest user folder that holds path below it (never path itself); nullopt for a path in
// none of them.
std::optional<std::string> UserFolderAbove(Platform& platform, const std::string& path);

// ForceDirectories; true when path is a folder afterwards.
bool CreateFolders(Platform& platform, const std::string& path);
// A new file of bytes; throws Error(kCannotCreateFile) when it exists or cannot be written.
void WriteNewFile(Platform& platform, const std::string& path, const std::string& bytes);
// WriteShellLink; false when the link could not be saved.
bool WriteLinkFile(Platform& platform, const std::string& path, const ShellLink& link);
// A file, or a folder only when empty (RemoveFile, RemoveEmptyFolder).
Removal RemoveFileOrFolder(Platform& platform, const std::string& path, bool folder);
// Whether a removal at the next restart may be scheduled for path: never in the user folders,
// where the user could make the name point elsewhere before the system acts on it as SYSTEM.
bool MayRemoveAtRestart(Platform& platform, const std::string& path);

}  // namespace sys
