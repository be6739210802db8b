#include "tools/host/PendingOutput.h"

#include <system_error>

#include "tools/host/HostSystem.h"

namespace tool {

PendingOutput::PendingOutput(std::filesystem::path target)
    : target_(std::move(target)), temporary_(std::filesystem::path(target_) += ".partial") {
  host::RemoveOnInterrupt(temporary_);
}

PendingOutput::~PendingOutput() {
  host::KeepOnInterrupt();
  std::error_code ignored;
  if (!committed_) std::filesystem::remove(temporary_, ignored);
}

void PendingOutput::Commit() {
  std::filesystem::rename(temporary_, target_);
  committed_ = true;
  host::KeepOnInterrupt();
}

}  // namespace tool
