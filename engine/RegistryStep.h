// Registry writing: the package's registry scripts are handed to Regedit, the listed keys are
// created, then the values are written, with the two path macros expanded in string values.
// Created key levels and written values are recorded for uninstall; keys that exist already,
// and keys that only came into being because a value was written below them, are not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "system/Platform.h"

namespace engine {

struct RegKeyPath {
  sys::RegRoot root = 0;
  std::string subkey;  // below the root, levels joined by "\", no leading "\"
};

}  // namespace engine

// Key text in the authoring tool's notation: tree label, root name (any ASCII case), subkey
// (目标计算机\HKEY_LOCAL_MACHINE\Software\A). nullopt when the second component names no
// root; such texts are not produced by the authoring tool and are left alone.
std::optional<engine::RegKeyPath> ParseRegKey(const std::string& keyText);

// "[Windows]" (any ASCII case) and "[安装目录]" at the very start, with the character after
// them, become the Windows folder or the install folder and a backslash.
std::string ExpandRegMacros(const std::string& text, const std::string& windowsDir,
                            const std::string& installDir);

// Hexadecimal text; a character that is no hex digit counts as 0 ("1g" is 16). Wraps modulo
// 2^64 rather than overflowing on long texts.
int64_t HexToInt(const std::string& text);
// Pairs of hex characters, the last one padded with "0" when the count is odd ("ABC" -> AB C0).
std::string HexToBytes(const std::string& text);

// Imports a registry script silently (Regedit /s "path") without waiting for it.
void RunRegFile(sys::Platform& platform, const std::string& path);
