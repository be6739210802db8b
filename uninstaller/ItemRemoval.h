// Removing one item of Ins.log, and nothing else: a file only as a file, a folder only when it
// is empty, a registry value by its name, a key only when it holds nothing. An item that is no
// longer there is Absent, not a failure. The item must have passed LoadUninstallLog's checks.
#pragma once

#include <string>

#include "system/Platform.h"
#include "uninstaller/UninstallReport.h"

struct TUnInsData;

namespace uninst {

ItemOutcome RemoveItem(sys::Platform& platform, const TUnInsData& item);

ItemOutcome OutcomeOf(sys::Removal removal);

// How the report names the item: its path, or root name + "\" + key path [+ " [value]"].
std::string DescribeItem(const TUnInsData& item);

}  // namespace uninst
