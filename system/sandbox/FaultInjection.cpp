#include "system/sandbox/FaultInjection.h"

#include "system/Gbk.h"

namespace sys::sandbox {

std::optional<FaultRule> FaultInjection::Match(unsigned op, const std::string& windowsPath) const {
  for (const FaultRule& rule : rules_)
    if ((rule.ops & op) != 0 && ContainsText(windowsPath, rule.pathContains)) return rule;
  return std::nullopt;
}

void StepFaults::Reset() { *this = StepFaults(); }

void StepFaults::FailAt(uint64_t step, uint32_t osCode) {
  Reset();
  at_ = step;
  osCode_ = osCode;
}

void StepFaults::StopAt(uint64_t step) {
  Reset();
  at_ = step;
  stop_ = true;
}

std::optional<uint32_t> StepFaults::Next(std::string_view operation, std::string_view subject) {
  // A dead process makes no more steps; 31 is ERROR_GEN_FAILURE.
  if (stopped_) return 31u;
  if (++steps_ != at_) return std::nullopt;
  hit_ = operation;
  if (!subject.empty()) hit_.append(" ").append(subject);
  if (!stop_) return osCode_;
  stopped_ = true;
  throw SimulatedStop();
}

}  // namespace sys::sandbox
