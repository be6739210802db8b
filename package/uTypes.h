// The fixed vocabulary of settings: the captions by which InfoList items are found, the
// basic-settings table of caption and key pairs, the page-switch names and, per wizard page, its
// captions in index order (the pages address them by index). Settings are always found by
// caption; the keys exist only in the basic-settings table.
#pragma once

#include <cstddef>
#include <cstdint>

namespace package {

// InfoList groups.
inline constexpr uint8_t kGroupBasic = 0;
inline constexpr uint8_t kGroupPages = 1;
inline constexpr uint8_t kGroupWelcome = 2;
inline constexpr uint8_t kGroupLicense = 3;
inline constexpr uint8_t kGroupReadme = 5;
inline constexpr uint8_t kGroupStartMenu = 6;
inline constexpr uint8_t kGroupComponents = 7;
inline constexpr uint8_t kGroupInstallDir = 8;
inline constexpr uint8_t kGroupTasks = 9;
inline constexpr uint8_t kGroupReady = 10;
inline constexpr uint8_t kGroupProgress = 11;
inline constexpr uint8_t kGroupFinish = 12;

// Basic settings (group 0) and the other captions the reader and the options look at.
inline constexpr const char* kCaptionItemName = "项目名称";
inline constexpr const char* kCaptionAuthor = "作者名称";
inline constexpr const char* kCaptionVersion = "版本号";
inline constexpr const char* kCaptionUrl = "作者网址";
inline constexpr const char* kCaptionCompressKind = "压缩类型";
inline constexpr const char* kCaptionSetupIcon = "安装程序图标";
inline constexpr const char* kCaptionUninstallIcon = "卸载程序图标";
inline constexpr const char* kCaptionShowWizard = "显示安装界面";
inline constexpr const char* kCaptionShowLoading = "显示加载进度";
inline constexpr const char* kCaptionShowBackground = "显示安装背景窗口";
inline constexpr const char* kCaptionBackPicture = "安装背景图片";
inline constexpr const char* kCaptionBackMusic = "背景音乐";
inline constexpr const char* kCaptionRebootOs = "安装完成后，重启操作系统";
inline constexpr const char* kCaptionFinishHint = "安装完成后弹出信息提示";
inline constexpr const char* kCaptionPatch = "Patch";

// The value of a switch that is on; anything else is off.
inline constexpr const char* kSwitchOn = "启用";
inline constexpr const char* kSwitchOff = "禁用";

// Caption and key pairs, flat: caption of pair i at 2i, its key at 2i + 1.
inline constexpr size_t kBasicSettingCount = 14;
extern const char* const BasicSettings[2 * kBasicSettingCount];
// Index of "安装背景图片" in the flat table (the background window reads it from there).
inline constexpr size_t kBackPictureEntry = 20;

// Page switches (group 1) in page order.
inline constexpr size_t kPageCount = 10;
extern const char* const PageNames[kPageCount];

// Page attributes, by index.
extern const char* const WelcomeCaptions[3];     // group 2
extern const char* const LicenseCaptions[2];     // group 3
extern const char* const ReadmeCaptions[2];      // group 5
extern const char* const StartMenuCaptions[4];   // group 6
extern const char* const ComponentCaptions[1];   // group 7
extern const char* const InstallDirCaptions[3];  // group 8
extern const char* const TaskCaptions[3];        // group 9
extern const char* const ReadyCaptions[1];       // group 10
extern const char* const ProgressCaptions[2];    // group 11
extern const char* const FinishCaptions[3];      // group 12

}  // namespace package
