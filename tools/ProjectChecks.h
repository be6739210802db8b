// What the runtime needs of the project's texts to give them a meaning, checked before a package
// is written: destination folders in target notation, registry keys with a known root,
// shortcut folders at a known location, a serial in GUID form. Each check returns an empty
// string when the text is fine, else what is wrong with it (UTF-8). Texts are GBK.
#pragma once

#include <string>

namespace tool {

std::string CheckDestFolder(const std::string& folder);
std::string CheckRegistryKey(const std::string& key);
std::string CheckShortcutFolder(const std::string& folder);
std::string CheckSerial(const std::string& serial);
// Hex digits for REG_DWORD (at most 8) and REG_BINARY data.
std::string CheckDwordData(const std::string& data);
std::string CheckBinaryData(const std::string& data);

}  // namespace tool
