#include "engine/UninstallerStep.h"

#include <string>

#include "package/EntryNames.h"
#include "package/uCommon.h"
#include "package/uSystem.h"
#include "system/Platform.h"
#include "undo/ReplacingFile.h"
#include "undo/uUnInstall.h"

namespace {

// "卸载“X”", then 卸载“X”(1), 卸载“X”(1)(2), ... while a shortcut of that name exists.
std::string FreeShortcutName(sys::Platform& platform, const std::string& folder,
                             const std::string& itemName) {
  std::string name = "卸载“";
  name.append(itemName).append("”");
  for (int counter = 1; platform.FileExists(folder + "\\" + name + ".lnk"); ++counter) {
    name.append("(").append(std::to_string(counter)).append(")");
  }
  return name;
}

}  // namespace

std::string InstallUninstaller(TCompile& compile, sys::Stream& package, TUnInstall& log) {
  // A patch leaves the earlier uninstaller and its registration alone, without a word.
  if (compile.Patched) return {};
  compile.ReportStatus("正在写入反安装信息，请稍候...");
  sys::Platform& platform = compile.platform();

  std::string uninstaller;
  for (const auto& entry : compile.FileList) {
    if (entry->EntryKind != package::kEntryUninstaller) continue;
    uninstaller = compile.Options.InstallDir + "\\" + package::SafeEntryFileName(entry->SourcePath);
    // Written beside its place first, so a damaged entry never leaves half a program behind.
    undo::ReplacingFile file(platform, uninstaller);
    TCompile::CopyEntryData(package, file.Open(), entry->DataStart, entry->DataEnd);
    file.Commit();
  }
  if (uninstaller.empty()) return {};

  // Without a Programs folder the shortcut is left out rather than put at the root of a drive.
  std::string programs = platform.SpecialFolder(sys::kCsidlPrograms);
  if (programs.empty()) return uninstaller;
  // Without a Start-menu folder name the shortcut goes into Programs itself: a doubled
  // separator in its path would make the uninstaller refuse the log as damaged.
  std::string folder = programs;
  if (!compile.Options.StartMenuFolder.empty()) folder += "\\" + compile.Options.StartMenuFolder;
  std::string name = FreeShortcutName(platform, folder, compile.ItemName) + ".lnk";
  CreateShellLink(folder, name, uninstaller, "", "");
  log.AddFile(folder + "\\" + name, 1);
  return uninstaller;
}
