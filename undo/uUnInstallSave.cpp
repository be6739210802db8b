// Saving the log compressed, in a file of its own so that programs which only read logs or save
// them stored (uninst.exe) link no compressor.
#include "package/uCommon.h"
#include "undo/uUnInstall.h"

void TUnInstall::SaveToFile(const std::string& fileName) {
  Save(fileName, [](sys::Stream& body, sys::Stream& target) {
    CompressStream(body, target, cplPress);
  });
}
