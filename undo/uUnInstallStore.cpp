// Saving the log stored, apart from the compressed save so that uninst.exe links no compressor.
#include "package/uCommon.h"
#include "undo/uUnInstall.h"

void TUnInstall::SaveUncompressedToFile(const std::string& fileName) {
  Save(fileName, package::StoreStream);
}
