#include "package/uSystem.h"

#include <cstdint>

#include "system/Error.h"
#include "system/Platform.h"
#include "system/Stream.h"

void TCustomCompile::ClearLists() {
  InfoList.clear();
  FileFolderList.clear();
  FileList.clear();
  RegFolderList.clear();
  RegList.clear();
  CompList.clear();
  ShotCutFolderList.clear();
  ShotCutList.clear();
}

TCompile::TCompile(sys::Platform& platform, package::InstallRunner installRunner)
    : platform_(&platform), installRunner_(installRunner) {}

TCompile::~TCompile() = default;

void TCompile::Install(const std::string& ExeFile) {
  if (!installRunner_) throw sys::MessageError("TCompile::Install without an install runner");
  installRunner_(*this, ExeFile);
}

void TCompile::GetGroupItems(uint8_t group, std::vector<TCompileData*>& list) const {
  list.clear();
  for (const auto& item : InfoList)
    if (item->Group == group) list.push_back(item.get());
}

namespace {

// Sizes come from the package; absurd ones must not overflow, so the sum stops at the limits.
int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? INT64_MAX : INT64_MIN;
}

}  // namespace

void TCompile::ComputeTotalSize() {
  Options.TotalSize = 0;
  for (const auto& comp : CompList) Options.TotalSize = SaturatingAdd(Options.TotalSize, comp->CompSize);
  Options.TotalSize = SaturatingAdd(Options.TotalSize, Size);
}

void TCompile::ReportStatus(const std::string& HintMsg) const {
  if (OnCompile) OnCompile(std::string(), HintMsg, -1, -1);
  if (OnReportLogged) OnReportLogged(std::string(), HintMsg, -1, -1);
}

void TCompile::ReportProgress(const std::string& FileName, const std::string& HintMsg,
                              int64_t Position, int64_t Max) const {
  if (OnCompile) OnCompile(FileName, HintMsg, Position, Max);
  if (OnReportLogged) OnReportLogged(FileName, HintMsg, Position, Max);
}
