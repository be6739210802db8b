// What the runtime needs of the project's texts to give them a meaning, checked before a package
// is written: destination folders in target notation, registry keys with a known root,
// shortcut folders at a known location, a serial in GUID form. Each check returns an empty
// string when the text is fine, else what is wrong with it (UTF-8). Texts are GBK.
#pragma once

#include <string>

namespace tool {

// A destination: one of the three roots, then a relative path (an absolute path after
// 指定目录\); no "." or ".." part and no device name (CON, NUL, COM1, ...) anywhere, so a file
// can never land outside the folder the root names.
std::string CheckDestFolder(const std::string& folder);
// The name an installed file or folder gets: not a device name, no ":".
std::string CheckInstalledName(const std::string& pathOrName);
std::string CheckRegistryKey(const std::string& key);
std::string CheckShortcutFolder(const std::string& folder);
std::string CheckSerial(const std::string& serial);
// Hex digits for REG_DWORD (at most 8) and REG_BINARY data.
std::string CheckDwordData(const std::string& data);
std::string CheckBinaryData(const std::string& data);

}  // namespace tool
