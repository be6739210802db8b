// Where extract puts each entry's content, as a relative host path (UTF-8 components):
//
//   kind 0 file          files/<destFolder components>/<file name of source>
//   kind 2 registry file Reg/<file name>
//   kind 3 component     Comp/<component name>/<source below destFolder>
//   kind 4 resource      Info/<file name>
//   kind 5 uninstaller   Uninstaller/<file name>
//   other kinds          Other/<file name>
//
// The names come from a package, which may be hostile: every component goes through the
// package layer's safe-name checks (no "..", no ":" except a drive letter's, no NUL, never
// empty), so no path can leave the output folder. Kind 1 (folders) has no content.
#pragma once

#include <filesystem>

#include "package/uKernal.h"

namespace tool {

// Throws tool::Failure naming the unsafe part.
std::filesystem::path ExtractPath(const TCompileFileData& entry);

}  // namespace tool
