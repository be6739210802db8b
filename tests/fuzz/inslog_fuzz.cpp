// Ins.log, both readers: the install side (TUnInstall::LoadFromFile, which an upgrade reads and
// writes back) and the uninstaller's (LoadUninstallLog, which also refuses unsafe items).
// A log the install side reads must write back and read again to the same items.
//
// The first byte chooses how the rest is read. Even: the rest is the log file as stored, chunk
// records and zlib streams included. Odd: the rest is the unpacked log body, packed here the
// way the recorder packs it (in stored zlib blocks), so that mutations reach the body past zlib's checksums.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "system/Stream.h"
#include "tests/fuzz/FuzzSupport.h"
#include "undo/uUnInstall.h"
#include "uninstaller/UninstallLog.h"

namespace {

constexpr const char* kLogPath = "C:\\Program Files\\App\\Ins.log";
constexpr const char* kCopyPath = "C:\\Program Files\\App\\Copy.log";

bool SameItems(const TUnInstall& a, const TUnInstall& b) {
  if (a.ItemName() != b.ItemName() || a.Serial() != b.Serial()) return false;
  if (a.Items().size() != b.Items().size()) return false;
  for (size_t i = 0; i < a.Items().size(); ++i) {
    const TUnInsData& x = *a.Items()[i];
    const TUnInsData& y = *b.Items()[i];
    if (x.RootKey != y.RootKey || x.Path != y.Path || x.ValueName != y.ValueName ||
        x.Remove != y.Remove || x.Kind != y.Kind)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The log and its copy live in memory: the readers are what is tested, not the host's files.
  static fuzz::MemoryFiles files(fuzz::Machine::Get().platform());
  const std::string rest = fuzz::Bytes(data + 1, size - 1);
  files.Put(kLogPath, (data[0] & 1) ? fuzz::StoredChunkRun(rest) : rest);

  TUnInstall log(files);
  if (fuzz::Survives([&] { log.LoadFromFile(kLogPath); })) {
    log.SaveToFile(kCopyPath);
    TUnInstall again(files);
    again.LoadFromFile(kCopyPath);
    if (!SameItems(log, again)) std::abort();
  }
  fuzz::Survives([&] { uninst::LoadUninstallLog(files, kLogPath); });
  return 0;
}
