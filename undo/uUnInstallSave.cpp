// Saving the log, in a file of its own so that programs which only read logs (uninst.exe) link
// no compressor.
#include <limits>

#include "package/LittleEndian.h"
#include "package/uCommon.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/Stream.h"
#include "undo/ReplacingFile.h"
#include "undo/uUnInstall.h"

void TUnInstall::SaveToFile(const std::string& fileName) {
  sys::MemoryStream body;
  WriteString(itemName_, body);
  WriteString(serial_, body);
  if (items_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw sys::Error(sys::Format(sys::kCannotCreateFile, fileName));
  }
  le::WriteI32(body, static_cast<int32_t>(items_.size()));
  for (const auto& item : items_) {
    WriteString(item->RootKey, body);
    WriteString(item->Path, body);
    WriteString(item->ValueName, body);
    body.Write(&item->Remove, 1);
    body.Write(&item->Kind, 1);
  }

  // The new log goes to a file beside the old one and replaces it only when complete, so a
  // full disk or a crash while saving never costs the log of the earlier installation.
  ReplacingFile log(*platform_, fileName);
  CompressStream(body, log.Open(), cplPress);
  log.Commit();
}
