// The uninstaller's reading of Ins.log. The log is hostile input: the recorder's reader checks
// every length and count against the bytes before allocating, and this layer refuses, before
// anything is removed, a log holding an item the removal could not act on safely: an unknown
// kind or remove flag, a file or folder path that is not a plain local one (relative, a drive
// itself, UNC, "\\?\", "\\.\", a device name, ".."; see sys::IsPlainLocalPath: an install run
// writes only on local drives, and a UNC path would make the elevated process authenticate to a
// server of the log's choosing), a registry item outside the five predefined roots or naming a
// root itself, or fields a kind never carries. A log is used whole or not at all.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "system/Platform.h"

class TUnInstall;

namespace uninst {

inline constexpr const char* kLogMissing = "找不到卸载信息文件“%s”，无法卸载。";
inline constexpr const char* kLogUnreadable = "无法读取卸载信息文件“%s”，无法卸载。";
inline constexpr const char* kLogDamaged = "卸载信息文件“%s”已损坏，无法卸载。";
inline constexpr const char* kLogNotRegistered = "卸载信息文件“%s”不属于已安装的程序，无法卸载。";

// Ins.log beside the uninstaller program.
std::string LogPathBeside(const std::string& program);

// Where the log's bytes come from when not from its name: a stream of the whole log. The Windows
// program reads through its hold on the log, so a file put under the log's name once the hold
// was taken (its folder renamed away and another put in its place) is never the one read.
using LogSource = std::function<std::unique_ptr<sys::Stream>()>;

// Reads the log at path, or from source when one is given (path then only names it in the
// messages). Throws sys::Error(Format(kLogMissing / kLogUnreadable / kLogDamaged, path)),
// carrying the OS code of a failed open.
std::unique_ptr<TUnInstall> LoadUninstallLog(sys::Platform& platform, const std::string& path,
                                             const LogSource& source = {});

// For a log handed over on a command line, which anyone could have written: throws
// Error(Format(kLogNotRegistered, logPath)) unless the log's product is registered under
// HKEY_LOCAL_MACHINE's Uninstall key (by its Serial; only administrators write there) with an
// "Install Dir" that is the folder of logPath.
void CheckRegisteredFolder(sys::Platform& platform, const TUnInstall& log,
                           const std::string& logPath);

// Whether a key path names a key below its root: at least one level between the backslashes.
bool NamesAKey(const std::string& keyPath);

// The predefined root a stored root text names ("2147483650"); nullopt for any other text.
std::optional<sys::RegRoot> ParseRootKey(const std::string& text);
// "HKEY_LOCAL_MACHINE" and so on; empty for any other root.
std::string RootName(sys::RegRoot root);

}  // namespace uninst
