#include <string>

#include "engine/DestinationRules.h"
#include "engine/InstallContext.h"
#include "engine/InstallSteps.h"
#include "package/uSystem.h"
#include "system/Platform.h"
#include "uninstall/uUnInstall.h"

namespace {

// Resolves the folder text and creates what each root rule leads to, recording the levels.
void CreateDestFolder(InstallContext& ctx, const DestinationRoots& roots, const std::string& text) {
  ResolveDestFolder(text, roots, [&](const std::string& folder) {
    if (!ctx.platform.DirectoryExists(folder)) ctx.log.ForceDir(folder);
  });
}

}  // namespace

void RunFolderStep(InstallContext& ctx) {
  const DestinationRoots roots{ctx.compile.Options.InstallDir, ctx.platform.WindowsDirectory()};
  if (!ctx.platform.DirectoryExists(roots.installDir)) ctx.log.ForceDir(roots.installDir);
  for (const std::string& text : ctx.compile.FileFolderList) CreateDestFolder(ctx, roots, text);
  for (const auto& entry : ctx.compile.FileList) {
    if (entry->EntryKind != kEntryFolder) continue;
    CreateDestFolder(ctx, roots, entry->DestFolder + "\\" + entry->EntryName);
  }
}
