// What kind of path a text is, by its letters alone, for paths that come from files a
// non-administrator may have written (a package, Ins.log). Windows gives some texts meanings
// beyond a file on a local drive: "\\?\" and "\\.\" reach devices and skip the name rules, a
// UNC path makes the process authenticate to a remote server, and a name such as CON, NUL or
// COM1.txt opens a device in any folder. Pure text rules: nothing here touches the machine.
#pragma once

#include <string>
#include <string_view>

namespace sys {

// Whether Windows takes a file or folder name as a device: CON, PRN, AUX, NUL, COM1..COM9,
// LPT1..LPT9, CONIN$, CONOUT$, ignoring ASCII case, with or without an extension and with any
// trailing dots or spaces (Windows drops those: "nul .txt" and "CON." are devices too).
bool IsDeviceName(std::string_view name);

// "X:\name\name...": a drive letter, a backslash and at least one name, every name a plain one:
// not empty, not "." or "..", no device name, no character Windows forbids in names (<>:"/|?*
// and control characters, which also rules out alternate data streams). Anything else (UNC,
// "\\?\", "\\.\", relative, drive-relative, "/" separators) is not a plain local path.
bool IsPlainLocalPath(std::string_view path);

}  // namespace sys
