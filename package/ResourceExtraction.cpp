#include "package/uSystem.h"

#include "package/EntryNames.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/Stream.h"

namespace {

// The unpacked path of a resource entry below temp; empty for kinds that are not unpacked.
// A kind-3 entry gets its DestFolder rewritten to its unpacked component folder.
std::string ResourceTarget(TCompileFileData& entry, const std::string& temp) {
  switch (entry.EntryKind) {
    case kEntryRegFile:
      return temp + "Reg\\" + SafeEntryFileName(entry.SourcePath);
    case kEntryResource:
      return temp + "Info\\" + SafeEntryFileName(entry.SourcePath);
    case kEntryComponentFile: {
      // The rest keeps its leading separator, so two separators meet; Windows accepts that.
      std::string rest = entry.SourcePath.size() > entry.DestFolder.size()
                             ? entry.SourcePath.substr(entry.DestFolder.size())
                             : std::string();
      CheckRelativeEntryPath(rest);
      entry.DestFolder = temp + "Comp\\" + SafeFolderName(entry.EntryName);
      return entry.DestFolder + "\\" + rest;
    }
    default:
      return {};
  }
}

}  // namespace

void TCompile::ExtractResources(sys::Stream& source, const TExtractProgress& progress) {
  const std::string temp = platform().TempDirectory();
  const int count = static_cast<int>(FileList.size());
  for (int i = 0; i < count; ++i) {
    if (progress) progress(i + 1, count);
    TCompileFileData& entry = *FileList[i];
    std::string target = ResourceTarget(entry, temp);
    if (target.empty()) continue;
    if (entry.EntryKind == kEntryResource) {
      for (const auto& item : InfoList)
        if (sys::SameText(item->Value, entry.SourcePath)) item->Value = target;
    }
    entry.SourcePath = target;
    std::string folder = target.substr(0, LastSeparator(target));
    if (!platform().DirectoryExists(folder)) platform().ForceDirectories(folder);
    std::unique_ptr<sys::Stream> file = platform().CreateForWrite(target);
    TempFiles.push_back(target);
    CopyEntryData(source, *file, entry.DataStart, entry.DataEnd);
  }
}

void TCompile::ClearTempFiles() {
  for (const std::string& path : TempFiles)
    if (platform().FileExists(path)) platform().RemoveFile(path);
}
