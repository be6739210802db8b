// The binary shell link (.lnk) format, written and read without the shell: a 0x4C-byte header
// (LinkCLSID 00021401-0000-0000-C000-000000000046, show command at 0x3C), a LinkInfo block
// holding the target as a local base path (GBK and UTF-16), and Unicode StringData for the
// description, working folder and arguments, closed by an empty extra-data block. There is no
// item-ID list, icon or hot key; Explorer resolves such links through the LinkInfo path.
// The reader accepts what the writer produces and the common layouts of other writers, and
// refuses (nullopt) anything whose sizes do not fit the bytes.
#pragma once

#include <optional>
#include <string>

#include "system/Platform.h"

namespace sys::sandbox {

inline constexpr size_t kShellLinkHeaderSize = 0x4C;
inline constexpr size_t kShellLinkShowCommandOffset = 0x3C;

// nullopt when a text is longer than the format's 16-bit character counts can hold or is not
// valid GBK. link.target should be an absolute path.
std::optional<std::string> EncodeShellLink(const ShellLink& link);
std::optional<ShellLink> DecodeShellLink(const std::string& bytes);

}  // namespace sys::sandbox
