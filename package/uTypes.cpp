#include "package/uTypes.h"

namespace package {

const char* const BasicSettings[2 * kBasicSettingCount] = {
    kCaptionItemName,       "Name",
    kCaptionAuthor,         "Author",
    kCaptionVersion,        "Version",
    kCaptionUrl,            "Address",
    kCaptionCompressKind,   "Kind",
    kCaptionSetupIcon,      "InsIco",
    kCaptionUninstallIcon,  "unInsIco",
    kCaptionShowWizard,     "Displayed",
    kCaptionShowLoading,    "Loaded",
    kCaptionShowBackground, "BackPictureflag",
    kCaptionBackPicture,    "BackPicture",
    kCaptionBackMusic,      "BakMusic",
    kCaptionRebootOs,       "RebootOs",
    kCaptionFinishHint,     "HintMsg",
};

const char* const PageNames[kPageCount] = {
    "欢迎",     "安装协议", "软件使用说明", "选择开始菜单文件夹", "选择安装组件包",
    "选择安装文件夹", "附加任务", "确认安装",     "安装进程",           "安装完毕",
};

const char* const WelcomeCaptions[3] = {"背景图片", "公司名称", "网址"};
const char* const LicenseCaptions[2] = {"标题图片", "协议文件"};
const char* const ReadmeCaptions[2] = {"标题图片", "说明文件"};
const char* const StartMenuCaptions[4] = {"标题图片", "默认文件夹名称", "允许用户修改文件夹名称",
                                          "显示用户选择选项"};
const char* const ComponentCaptions[1] = {"标题图片"};
const char* const InstallDirCaptions[3] = {"标题图片", "默认安装路径", "允许用户修改安装路径"};
const char* const TaskCaptions[3] = {"标题图片", "创建桌面快捷方式", "创建快速启栏快捷方式"};
const char* const ReadyCaptions[1] = {"标题图片"};
const char* const ProgressCaptions[2] = {"标题图片", "安装详细信息"};
const char* const FinishCaptions[3] = {"背景图片", "应用程序文件", "Readme文件"};

}  // namespace package
