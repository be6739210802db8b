// Programs, the shell, dialogs, profile files and shell links of SandboxPlatform. Nothing runs:
// each request becomes one journal line.
#include <cstdio>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/Encoding.h"
#include "system/ProfileFile.h"
#include "system/sandbox/SandboxPlatform.h"
#include "system/sandbox/ShellLinkFile.h"

namespace sys::sandbox {
namespace {

using nlohmann::ordered_json;

// Journal text in UTF-8; bytes that are not GBK (a damaged package) are kept as \xNN so the
// line is still written.
std::string JournalText(const std::string& gbk) {
  try {
    return GbkToUtf8(gbk);
  } catch (const Error&) {
    std::string escaped;
    char hex[5];
    for (unsigned char b : gbk) {
      if (b < 0x80) {
        escaped += static_cast<char>(b);
      } else {
        std::snprintf(hex, sizeof hex, "\\x%02X", b);
        escaped += hex;
      }
    }
    return escaped;
  }
}

ordered_json RequestLine(const char* op, const ShellRequest& request) {
  ordered_json line;
  line["op"] = op;
  line["verb"] = JournalText(request.verb);
  line["file"] = JournalText(request.file);
  line["parameters"] = JournalText(request.parameters);
  line["directory"] = JournalText(request.directory);
  line["show"] = request.showCommand;
  line["quiet"] = request.quiet;
  return line;
}

}  // namespace

bool SandboxPlatform::RunCommandLine(const std::string& commandLine, int showCommand) {
  if (steps_->Next("run " + commandLine)) return false;
  ordered_json line;
  line["op"] = "run";
  line["commandLine"] = JournalText(commandLine);
  line["show"] = showCommand;
  journal_.Append(line);
  return true;
}

bool SandboxPlatform::ShellRun(const ShellRequest& request) {
  if (steps_->Next("open " + request.file)) return false;
  journal_.Append(RequestLine("shellRun", request));
  return true;
}

ShellOutcome SandboxPlatform::ShellRunAndWait(const ShellRequest& request) {
  ShellOutcome outcome;
  if (auto code = steps_->Next("run " + request.file)) {
    outcome.error = *code;
    return outcome;
  }
  if (SameText(request.verb, "runas") && !config_.elevationAccepted) {
    outcome.error = kErrorCancelled;
  } else {
    outcome.started = true;
    outcome.exitCode = config_.exitCode;
  }
  ordered_json line = RequestLine("shellRunAndWait", request);
  line["started"] = outcome.started;
  line["error"] = outcome.error;
  line["exitCode"] = outcome.exitCode ? ordered_json(*outcome.exitCode) : ordered_json(nullptr);
  journal_.Append(line);
  return outcome;
}

int SandboxPlatform::ShowMessageBox(const std::string& text, const std::string& caption, uint32_t style) {
  int answer = kIdOk;
  // Only boxes with a choice take a scripted answer; an OK box has one button.
  if ((style & 0xF) != kMbOk) {
    answer = answersUsed_ < config_.answers.size() ? config_.answers[answersUsed_++] : config_.defaultAnswer;
  }
  ordered_json line;
  line["op"] = "messageBox";
  line["text"] = JournalText(text);
  line["caption"] = JournalText(caption);
  line["style"] = style;
  line["answer"] = answer;
  journal_.Append(line);
  return answer;
}

bool SandboxPlatform::EnableShutdownPrivilege() {
  journal_.Append(ordered_json{{"op", "shutdownPrivilege"}});
  return true;
}

bool SandboxPlatform::RestartSystem(uint32_t flags) {
  ordered_json line;
  line["op"] = "restart";
  line["flags"] = flags;
  journal_.Append(line);
  return true;
}

void SandboxPlatform::ForEachShellVerb(const std::string& path,
                                       const std::function<bool(const std::string& name)>& invoke) {
  auto target = Map(path);
  std::error_code ec;
  if (!target || !std::filesystem::exists(target->host, ec)) return;
  for (const std::string& verb : config_.shellVerbs) {
    if (!invoke(verb) || steps_->Next("verb " + verb + " " + target->windows)) continue;
    ordered_json line;
    line["op"] = "shellVerb";
    line["path"] = JournalText(target->windows);
    line["verb"] = JournalText(verb);
    journal_.Append(line);
  }
}

std::string SandboxPlatform::ProfileString(const std::string& file, const std::string& section,
                                           const std::string& key, const std::string& fallback) const {
  auto content = ReadAll(file);
  if (!content) return fallback;
  auto value = ProfileFile(*content).Value(section, key);
  return value ? *value : fallback;
}

std::vector<std::string> SandboxPlatform::ProfileKeys(const std::string& file, const std::string& section) const {
  auto content = ReadAll(file);
  return content ? ProfileFile(*content).Keys(section) : std::vector<std::string>();
}

std::optional<std::string> SandboxPlatform::ShellLinkBytes(const ShellLink& link) {
  ShellLink stored = link;
  // The shell stores the target as a full path.
  if (!link.target.empty())
    if (auto full = mapper_.Normalize(link.target)) stored.target = *full;
  return EncodeShellLink(stored);
}

bool SandboxPlatform::WriteShellLink(const std::string& path, const ShellLink& link) {
  auto bytes = ShellLinkBytes(link);
  if (!bytes) return false;
  try {
    auto stream = CreateForWrite(path);
    stream->Write(bytes->data(), bytes->size());
    return true;
  } catch (const Error&) {
    RemoveFile(path);
    return false;
  }
}

}  // namespace sys::sandbox
