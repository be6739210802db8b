// One uninstall driven by Ins.log. The log is read first; a log that cannot be used ends the
// run with its message and nothing removed. After the user agrees, the items recorded to go
// (Remove = 1) are removed in reverse order of the log, then the product's Uninstall
// registration (the values the install run writes, then the key if nothing else is in it), the
// log itself and, when it ends up empty, the log's folder. Whatever cannot be removed stays and
// is reported while the rest goes on, and the log is kept naming it (a registration that stays
// keeps the log too, whose serial leads to it); with the user's consent the files among it, and
// the logged folders holding them, are marked for removal at the next restart, except in the
// user's own folders (sys::MayRemoveAtRestart). There, as in the install folder when it lies
// in a profile, removals refuse links (system/UserFolders.h).
//
// Nothing the log does not name is touched, besides the registration of its Serial and the
// log's own folder. Not here, but in the Windows program: the exclusive hold on the log against a
// second uninstaller, and the removal of the program's own file after it ends.
#pragma once

#include <functional>
#include <string>

#include "system/Platform.h"
#include "uninstaller/UninstallDialogs.h"
#include "uninstaller/UninstallLog.h"
#include "uninstaller/UninstallReport.h"

namespace uninst {

// beforeLogRemoval runs once, right before the log itself is removed: the Windows program lets go
// of its exclusive hold on the log there, which would otherwise keep the log and its folder.
// logMustBeRegistered: the log was named on a command line, so it is used only when it belongs
// to a registered product (CheckRegisteredFolder); otherwise it is refused like a damaged one.
// logSource, when given, is where the log is read from (LoadUninstallLog); logPath still names
// it, decides its registration and is where what stays is written.
UninstallReport RunUninstall(sys::Platform& platform, const std::string& logPath,
                             UninstallDialogs& dialogs,
                             const std::function<void()>& beforeLogRemoval = {},
                             bool logMustBeRegistered = false, const LogSource& logSource = {});

}  // namespace uninst
