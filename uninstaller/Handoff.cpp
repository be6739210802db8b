#include "uninstaller/Handoff.h"

#include <algorithm>
#include <charconv>

#include "system/Gbk.h"
#include "system/LocalPath.h"
#include "uninstaller/UninstallLog.h"

namespace uninst {
namespace {

constexpr const char* kSwitch = "/handoff";

std::optional<uint64_t> ParseHandle(const std::string& text) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

std::string HandoffArguments(const Handoff& handoff) {
  return std::string(kSwitch) + " " + std::to_string(handoff.originalProcess) + " " +
         std::to_string(handoff.logHold) + " \"" + handoff.original + "\"";
}

std::optional<Handoff> ParseHandoff(const std::vector<std::string>& args) {
  if (args.size() != 4 || args[0] != kSwitch) return std::nullopt;
  std::optional<uint64_t> process = ParseHandle(args[1]);
  std::optional<uint64_t> hold = ParseHandle(args[2]);
  // A path with a quote would have been split differently; Windows paths never hold one.
  if (!process || *process == 0 || !hold || !sys::IsPlainLocalPath(args[3]) ||
      args[3].find('"') != std::string::npos) {
    return std::nullopt;
  }
  return Handoff{args[3], *process, *hold};
}

std::string CopyFolderName(uint32_t number) { return "~uninst-" + std::to_string(number); }

bool IsInCopyFolder(const std::string& program, const std::string& tempDir) {
  const std::string folder = sys::ExtractFilePath(program);
  const std::string prefix = tempDir + "~uninst-";
  if (tempDir.empty() || folder.size() <= prefix.size() + 1 ||
      !sys::StartsWithText(folder, prefix)) {
    return false;
  }
  const std::string number = folder.substr(prefix.size(), folder.size() - prefix.size() - 1);
  return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string LogPathFor(const std::string& program, const std::optional<Handoff>& handoff) {
  return LogPathBeside(handoff ? handoff->original : program);
}

}  // namespace uninst
