#include <optional>
#include <string>
#include <unordered_set>

#include "engine/DestinationRules.h"
#include "engine/FileTimes.h"
#include "engine/InstallContext.h"
#include "engine/InstallSteps.h"
#include "package/ChunkCodec.h"
#include "package/EntryNames.h"
#include "package/uSystem.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "undo/ReplacingFile.h"
#include "undo/uUnInstall.h"

namespace engine {

namespace {

constexpr const char* kInstallingFile = "正在安装文件";

// Settings that named the entry by its packaging-machine path now name the installed file.
void RewriteReferences(TCompile& compile, const std::string& sourcePath, const std::string& target) {
  for (const auto& shortcut : compile.ShotCutList) {
    if (sys::SameText(shortcut->LinkTarget, sourcePath)) shortcut->LinkTarget = target;
  }
  if (sys::SameText(compile.Options.AppFile, sourcePath)) compile.Options.AppFile = target;
  if (sys::SameText(compile.Options.ReadmeFile, sourcePath)) compile.Options.ReadmeFile = target;
}

// Unpacked beside the target and moved over it once complete: a package that turns out damaged
// inside this entry leaves an earlier file of that name as it was.
// A new file is written under its own name: the run's journal removes it if the run fails or is
// killed while writing.
void WriteEntry(InstallContext& ctx, package::ChunkInflater& inflater,
                const TCompileFileData& entry, const std::string& target) {
  undo::ReplacingFile file(ctx.platform, target, undo::ReplacingFile::NewTarget::InPlace);
  inflater.CopyRun(ctx.package, entry.DataStart, entry.DataEnd, file.Open());
  std::optional<sys::FileTime> utc;
  if (auto local = DosLocalFileTime(entry.FileTime)) utc = ctx.platform.LocalToUtc(*local);
  file.Commit(utc);
  ctx.log.AddFile(target, entry.KeepOnUninstall ? 0 : 1);
}

}  // namespace

void RunFileStep(InstallContext& ctx) {
  TCompile& compile = ctx.compile;
  const DestinationRoots roots{compile.Options.InstallDir, ctx.platform.WindowsDirectory()};
  const auto count = static_cast<int64_t>(compile.FileList.size());
  // Folders this step has made sure of: entries come folder by folder, so asking the file
  // system again for every file would cost a lookup per file for nothing.
  std::unordered_set<std::string> ensured;
  // One inflater for every entry: its buffers, sized once, would otherwise be allocated and
  // freed per file, and a heap that gives freed pages back (Wine's does) faults them in afresh.
  package::ChunkInflater inflater;
  for (int64_t i = 0; i < count; ++i) {
    TCompileFileData& entry = *compile.FileList[static_cast<size_t>(i)];
    if (entry.EntryKind != package::kEntryFile || !MatchesTargetOs(entry.TargetOs, ctx.osVersion))
      continue;
    // The file name goes on once, after the last rule: appended after every rule, a second rule
    // would make a folder named like the file and put the file inside it.
    const std::string folder = ResolveDestFolder(entry.DestFolder, roots, [&](const std::string& f) {
      if (!ensured.insert(sys::AsciiLower(f)).second) return;
      if (!ctx.platform.DirectoryExists(f)) ctx.log.ForceDir(f);
    });
    const std::string target = folder + "\\" + package::SafeEntryFileName(entry.SourcePath);
    RewriteReferences(compile, entry.SourcePath, target);
    entry.SourcePath = target;
    if (entry.NoOverwrite == 0 || !ctx.platform.FileExists(target))
      WriteEntry(ctx, inflater, entry, target);
    compile.ReportProgress(target, kInstallingFile, i + 1, count);
  }
}

}  // namespace engine
