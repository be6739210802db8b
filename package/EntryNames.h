// Names taken from a package that become parts of paths on the machine. A package is hostile:
// a name must never lead a write outside the folder it is meant for. Every check raises
// sys::Error(kDamagedPackage).
//
// Both "\" and "/" count as separators (the platform accepts both); scanning respects GBK
// double-byte characters, so a trail byte 0x5C is not a separator.
#pragma once

#include <string>
#include <string_view>

namespace package {

// The file-name part of sourcePath (after its last separator). Rejects an empty name, "." and
// "..", a name of dots and blanks only, a device name (CheckFolderHasNoDevice) and a name
// holding ":" or a NUL byte.
std::string SafeEntryFileName(const std::string& sourcePath);

// A single folder name (a component's EntryName): the same rules, and no separator at all.
std::string SafeFolderName(const std::string& name);

// A relative path below a folder (the rest of a component file's SourcePath, which may start
// with a separator): no ".." component, no ":" or NUL anywhere, and a valid file name at its end.
void CheckRelativeEntryPath(const std::string& path);

// A destination folder text: none of its components may name a device (CON, NUL, AUX, PRN,
// COM1-9, LPT1-9, with or without an extension), where a write would go to the device. Other
// components are the destination rules' business: a folder text may name any folder.
void CheckFolderHasNoDevice(const std::string& folder);

// Position of the last "\" or "/" of path, or npos.
size_t LastSeparator(std::string_view path);

}  // namespace package
