#include "engine/PackageCheck.h"

#include <cstdint>

#include "engine/InstallContext.h"
#include "package/ChunkCodec.h"
#include "package/EntryNames.h"
#include "package/LittleEndian.h"
#include "package/uSystem.h"
#include "system/Error.h"
#include "system/Stream.h"

namespace engine {

void VerifyChunkRun(sys::Stream& package, int64_t start, int64_t end) {
  const int64_t size = package.Size();
  if (start < 0 || end < start || end > size) throw sys::Error(package::kDamagedPackage);
  const auto maxChunk = static_cast<int64_t>(package::ChunkInflater::MaxChunkInput());
  for (int64_t at = start; at < end;) {
    if (end - at < 4) throw sys::Error(package::kDamagedPackage);
    package.Seek(at);
    const int64_t length = le::ReadU32(package);
    if (length == 0 || length > maxChunk || length > end - at - 4) {
      throw sys::Error(package::kDamagedPackage);
    }
    at += 4 + length;
  }
}

void VerifyPackage(const TCompile& compile, sys::Stream& package, const std::string& osVersion) {
  for (const std::string& folder : compile.FileFolderList) package::CheckFolderHasNoDevice(folder);
  for (const auto& entry : compile.FileList) {
    if (entry->EntryKind == package::kEntryFolder) {
      package::CheckFolderHasNoDevice(entry->DestFolder + "\\" + entry->EntryName);
      continue;
    }
    const bool installed =
        entry->EntryKind == package::kEntryFile && MatchesTargetOs(entry->TargetOs, osVersion);
    const bool uninstaller = entry->EntryKind == package::kEntryUninstaller && !compile.Patched;
    if (!installed && !uninstaller) continue;
    package::SafeEntryFileName(entry->SourcePath);
    package::CheckFolderHasNoDevice(entry->DestFolder);
    VerifyChunkRun(package, entry->DataStart, entry->DataEnd);
  }
}

}  // namespace engine
