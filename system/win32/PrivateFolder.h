// A folder that only this run may use, for files an elevated process will start or read: made
// new under a name nobody can predict (so nothing can be planted in it first), and, when the
// process runs with administrator rights, with an access list for SYSTEM and the Administrators
// only. Its final path must be the path meant, so a parent swapped for a link (a reparse point)
// is refused. Where access lists are not enforced (Wine) the name and the checks still stand.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "system/win32/ScopedWin.h"

namespace sys::win32 {

// A number nobody can predict (RtlGenRandom); a tick count where that fails.
uint32_t UnpredictableNumber();

struct PrivateFolder {
  std::wstring path;    // without a trailing backslash; empty when none could be made
  ScopedHandle hold;    // the folder, held so that it cannot be renamed or deleted meanwhile
};

// Creates parent\folderName(number) for unpredictable numbers, at most tries names that exist.
PrivateFolder MakePrivateFolder(const std::wstring& parent,
                                  const std::function<std::string(uint32_t number)>& folderName,
                                  uint32_t tries);

}  // namespace sys::win32
