// The uninstaller's reading of Ins.log. The log is hostile input: the recorder's reader checks
// every length and count against the bytes before allocating, and this layer refuses, before
// anything is removed, a log holding an item the removal could not act on safely: an unknown
// kind or remove flag, a file or folder path that is not absolute or names a drive itself, a
// registry item outside the five predefined roots or naming a root itself, or fields a kind
// never carries. A log is used whole or not at all.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "system/Platform.h"

class TUnInstall;

namespace uninst {

inline constexpr const char* kLogMissing = "找不到卸载信息文件“%s”，无法卸载。";
inline constexpr const char* kLogUnreadable = "无法读取卸载信息文件“%s”，无法卸载。";
inline constexpr const char* kLogDamaged = "卸载信息文件“%s”已损坏，无法卸载。";

// Ins.log beside the uninstaller program.
std::string LogPathBeside(const std::string& program);

// Throws sys::Error(Format(kLogMissing / kLogUnreadable / kLogDamaged, path)), carrying the OS
// code of a failed open.
std::unique_ptr<TUnInstall> LoadUninstallLog(sys::Platform& platform, const std::string& path);

// "X:\name..." or "\\server\share\name...": absolute, and not a drive or share itself.
bool IsAbsoluteBelowRoot(const std::string& path);

// Whether a key path names a key below its root: at least one level between the backslashes.
bool NamesAKey(const std::string& keyPath);

// The predefined root a stored root text names ("2147483650"); nullopt for any other text.
std::optional<sys::RegRoot> ParseRootKey(const std::string& text);
// "HKEY_LOCAL_MACHINE" and so on; empty for any other root.
std::string RootName(sys::RegRoot root);

}  // namespace uninst
