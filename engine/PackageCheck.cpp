#include "engine/PackageCheck.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/InstallContext.h"
#include "package/ChunkCodec.h"
#include "package/EntryNames.h"
#include "package/LittleEndian.h"
#include "package/uSystem.h"
#include "system/Error.h"
#include "system/Stream.h"

namespace engine {

// The record lengths are read through a window of the package, one read per window: a seek and
// a 4-byte read per 8 KB record cost a large file more than inflating it (under Wine each read
// is a call to the server).
constexpr int64_t kLengthWindow = 64 * 1024;

void VerifyChunkRun(sys::Stream& package, int64_t start, int64_t end) {
  const int64_t size = package.Size();
  if (start < 0 || end < start || end > size) throw sys::Error(package::kDamagedPackage);
  const auto maxChunk = static_cast<int64_t>(package::ChunkInflater::MaxChunkInput());
  std::vector<unsigned char> window(static_cast<size_t>(std::min(kLengthWindow, end - start)));
  int64_t windowStart = start;
  int64_t windowEnd = start;  // what the window holds: [windowStart, windowEnd)
  for (int64_t at = start; at < end;) {
    if (end - at < 4) throw sys::Error(package::kDamagedPackage);
    if (at + 4 > windowEnd) {
      package.Seek(at);
      const auto want = static_cast<size_t>(std::min<int64_t>(kLengthWindow, end - at));
      windowStart = at;
      windowEnd = at + static_cast<int64_t>(package.Read(window.data(), want));
      if (windowEnd - at < 4) throw sys::Error(package::kDamagedPackage);  // shorter than it said
    }
    const int64_t length = le::LoadU32(window.data() + (at - windowStart));
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
