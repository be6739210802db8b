#include "system/sandbox/FaultInjection.h"

#include "system/Gbk.h"

namespace sys::sandbox {

std::optional<FaultRule> FaultInjection::Match(unsigned op, const std::string& windowsPath) const {
  for (const FaultRule& rule : rules_)
    if ((rule.ops & op) != 0 && ContainsText(windowsPath, rule.pathContains)) return rule;
  return std::nullopt;
}

}  // namespace sys::sandbox
