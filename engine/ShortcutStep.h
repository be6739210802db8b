// Shortcut folders and shortcuts: shell links (.lnk) and Internet shortcuts (.url) in the
// Start-menu program folder, on the desktop or in the Quick Launch bar, as far as the user's
// choices allow. A shortcut never replaces a file: it takes a free name by numbering. On NT 6.0
// and later a link placed in the Quick Launch bar is pinned to the taskbar as well.
#pragma once

#include <optional>
#include <string>

struct TInstallData;
namespace sys {
class Platform;
}

// The folder of a text such as 开始菜单\Tools (Programs folder\StartMenuFolder\Tools), 桌面 or
// 快速启动栏\Sub; nullopt when the first component names none of the three locations, or when
// the system cannot resolve its shell folder (the shortcuts there are skipped rather than put at
// the root of a drive).
std::optional<std::string> ResolveShortcutFolder(sys::Platform& platform, const std::string& text,
                                                 const std::string& startMenuFolder);

namespace engine {

inline constexpr const char* kQuickLaunchTail = "\\Microsoft\\Internet Explorer\\Quick Launch";

// Whether the user's choices allow the location the text begins with; texts naming none of
// the three are always allowed.
bool IsShortcutLocationAllowed(const std::string& text, const TInstallData& options);

// name, name(1), name(1)(2), ... : the first for which folder\name + extension is no file.
std::string FreeShortcutName(sys::Platform& platform, const std::string& folder,
                             const std::string& name, const std::string& extension);

}  // namespace engine
