#include "uninstaller/UninstallReport.h"

namespace uninst {

std::vector<std::string> UninstallReport::With(ItemOutcome outcome) const {
  std::vector<std::string> found;
  for (const ReportItem& item : items) {
    if (item.outcome == outcome) found.push_back(item.what);
  }
  return found;
}

std::vector<std::string> UninstallReport::With(ItemOutcome outcome, uint8_t kind) const {
  std::vector<std::string> found;
  for (const ReportItem& item : items) {
    if (item.outcome == outcome && item.kind == kind) found.push_back(item.what);
  }
  return found;
}

}  // namespace uninst
