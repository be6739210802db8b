#include "engine/ShortcutStep.h"

#include <string_view>

#include "engine/InstallContext.h"
#include "engine/InstallSteps.h"
#include "package/uCommon.h"
#include "package/uSystem.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"
#include "undo/uUnInstall.h"

namespace {

constexpr std::string_view kStartMenu = "开始菜单";
constexpr std::string_view kDesktop = "桌面";
constexpr std::string_view kQuickLaunch = "快速启动栏";

bool BeginsWith(const std::string& text, std::string_view word) {
  return text.compare(0, word.size(), word) == 0;
}

void CreateFolderOnce(engine::InstallContext& ctx, const std::string& folder) {
  if (!ctx.platform.DirectoryExists(folder)) ctx.log.ForceDir(folder);
}

void CreateShortcut(engine::InstallContext& ctx, TShotCutData& shortcut,
                    const std::string& folder) {
  if (shortcut.LinkKind == 0) {
    shortcut.LinkName = engine::FreeShortcutName(ctx.platform, folder, shortcut.LinkName, ".lnk");
    const std::string file = shortcut.LinkName + ".lnk";
    CreateShellLink(folder, file, shortcut.LinkTarget, shortcut.LinkArguments,
                    shortcut.LinkDescription);
    ctx.log.AddFile(folder + "\\" + file, 1);
    if (sys::VersionNumber(ctx.osVersion) >= 6.0 &&
        folder.find(engine::kQuickLaunchTail) != std::string::npos) {
      sys::PinToTaskbar(folder + "\\" + file);
    }
  } else if (shortcut.LinkKind == 1) {
    shortcut.LinkName = engine::FreeShortcutName(ctx.platform, folder, shortcut.LinkName, ".url");
    CreateInternetShortcut(shortcut.LinkName, shortcut.LinkTarget, folder);
    ctx.log.AddFile(folder + "\\" + shortcut.LinkName + ".url", 1);
  }
}

}  // namespace

std::optional<std::string> ResolveShortcutFolder(sys::Platform& platform, const std::string& text,
                                                 const std::string& startMenuFolder) {
  TStringList parts;
  SplitText(text, "\\", parts);
  if (parts.empty()) return std::nullopt;
  std::string base;
  std::string tail;
  if (sys::SameText(parts[0], kStartMenu)) {
    base = platform.SpecialFolder(sys::kCsidlPrograms);
    tail = "\\" + startMenuFolder;
  } else if (sys::SameText(parts[0], kDesktop)) {
    base = platform.SpecialFolder(sys::kCsidlDesktop);
  } else if (sys::SameText(parts[0], kQuickLaunch)) {
    base = platform.SpecialFolder(sys::kCsidlAppData);
    tail = engine::kQuickLaunchTail;
  } else {
    return std::nullopt;
  }
  if (base.empty()) return std::nullopt;
  std::string folder = base + tail;
  for (size_t i = 1; i < parts.size(); ++i) folder += "\\" + parts[i];
  return folder;
}

namespace engine {

bool IsShortcutLocationAllowed(const std::string& text, const TInstallData& options) {
  if (BeginsWith(text, kDesktop)) return options.DesktopIcon != 0;
  if (BeginsWith(text, kQuickLaunch)) return options.QuickLaunchIcon != 0;
  if (BeginsWith(text, kStartMenu)) return options.CreateStartMenu != 0;
  return true;
}

std::string FreeShortcutName(sys::Platform& platform, const std::string& folder,
                             const std::string& name, const std::string& extension) {
  std::string free = name;
  for (int counter = 1; platform.FileExists(folder + "\\" + free + extension); ++counter) {
    free.append("(").append(std::to_string(counter)).append(")");
  }
  return free;
}

void RunShortcutStep(InstallContext& ctx) {
  TCompile& compile = ctx.compile;
  const TInstallData& options = compile.Options;
  if (!compile.ShotCutFolderList.empty() || !compile.ShotCutList.empty()) {
    compile.ReportStatus("正在创建快捷方式，请稍候...");
  }
  if (options.CreateStartMenu && !options.StartMenuFolder.empty()) {
    if (auto folder = ResolveShortcutFolder(ctx.platform, std::string(kStartMenu) + "\\",
                                            options.StartMenuFolder)) {
      CreateFolderOnce(ctx, *folder);
    }
  }
  // Texts naming no known location have no folder to go to and are passed over.
  for (const std::string& text : compile.ShotCutFolderList) {
    if (!IsShortcutLocationAllowed(text, options)) continue;
    if (auto folder = ResolveShortcutFolder(ctx.platform, text, options.StartMenuFolder)) {
      CreateFolderOnce(ctx, *folder);
    }
  }
  for (const auto& shortcut : compile.ShotCutList) {
    if (!IsShortcutLocationAllowed(shortcut->LinkFolder, options)) continue;
    if (auto folder = ResolveShortcutFolder(ctx.platform, shortcut->LinkFolder,
                                            options.StartMenuFolder)) {
      CreateShortcut(ctx, *shortcut, *folder);
    }
  }
}

}  // namespace engine
