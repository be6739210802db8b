#include "system/RunLog.h"

#include "system/Platform.h"
#include "system/Stream.h"

namespace sys {

RunLog::RunLog(Platform& platform, const std::optional<std::string>& file)
    : platform_(platform) {
  if (file) file_ = platform.CreateForWrite(*file);
}

RunLog::~RunLog() = default;

void RunLog::Line(const std::string& text) {
  if (OnLine) OnLine(text);
  if (!file_) return;
  std::string line;
  try {
    line = platform_.ToUtf8(text);
  } catch (const std::exception&) {
    line = "(a line that is not GBK)";
  }
  line += "\r\n";
  file_->Write(line.data(), line.size());
}

}  // namespace sys
