#include <string>

#include "engine/DestinationRules.h"
#include "engine/InstallContext.h"
#include "engine/InstallSteps.h"
#include "package/uCommon.h"
#include "package/uSystem.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "undo/uUnInstall.h"

namespace engine {

namespace {

// The first level of folder that does not exist yet ("C:\Apps" of "C:\Apps\Tool" on a machine
// without C:\Apps), walked as TUnInstall::ForceDir walks it; empty when all exist.
std::string FirstMissingLevel(sys::Platform& platform, const std::string& folder) {
  TStringList parts;
  SplitText(folder, "\\", parts);
  if (parts.empty()) return {};
  std::string current = folder.starts_with("\\\\") ? "\\\\" + parts[0] : parts[0];
  for (size_t i = 1; i < parts.size(); ++i) {
    current += "\\" + parts[i];
    if (!platform.DirectoryExists(current)) return current;
  }
  return {};
}

bool IsBelow(const std::string& folder, const std::string& parent) {
  return !parent.empty() && sys::StartsWithText(folder, parent + "\\");
}

// Inherited from "C:\", a new install folder would let every user replace the uninstaller, a
// service program or Ins.log that the next elevated run trusts. The first level this run creates
// outside Program Files (which protects what it holds) gets Program Files' protection; folders
// that exist keep theirs.
void CreateInstallFolder(InstallContext& ctx, const std::string& installDir) {
  const std::string first = FirstMissingLevel(ctx.platform, installDir);
  if (!first.empty() && !IsBelow(first, ctx.platform.SpecialFolder(sys::kCsidlProgramFiles)) &&
      ctx.platform.CreateProtectedFolder(first)) {
    ctx.log.AddDir(first);
  }
  ctx.log.ForceDir(installDir);
}

// Resolves the folder text and creates what each root rule leads to, recording the levels.
void CreateDestFolder(InstallContext& ctx, const DestinationRoots& roots, const std::string& text) {
  ResolveDestFolder(text, roots, [&](const std::string& folder) {
    if (!ctx.platform.DirectoryExists(folder)) ctx.log.ForceDir(folder);
  });
}

}  // namespace

void RunFolderStep(InstallContext& ctx) {
  const DestinationRoots roots{ctx.compile.Options.InstallDir, ctx.platform.WindowsDirectory()};
  if (!ctx.platform.DirectoryExists(roots.installDir)) CreateInstallFolder(ctx, roots.installDir);
  for (const std::string& text : ctx.compile.FileFolderList) CreateDestFolder(ctx, roots, text);
  for (const auto& entry : ctx.compile.FileList) {
    if (entry->EntryKind != package::kEntryFolder) continue;
    CreateDestFolder(ctx, roots, entry->DestFolder + "\\" + entry->EntryName);
  }
}

}  // namespace engine
