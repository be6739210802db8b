// The command dispatcher: overall usage, per-command --help, exit codes, error reporting.
#include <algorithm>
#include <exception>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "tools/commands/Commands.h"
#include "tools/commands/ProgressMeter.h"
#include "tools/host/ToolText.h"

namespace tool {
namespace {

void PrintOverallUsage(std::ostream& stream) {
  stream << "usage: setup-tool [-q|-v] COMMAND [ARGS...]\n"
            "       setup-tool COMMAND --help\n"
            "       setup-tool --version\n\n"
            "Commands:\n";
  for (const Command* command : Commands()) {
    std::string name = command->name;
    name.resize(std::max<size_t>(name.size(), 10), ' ');
    stream << "  " << name << command->summary << "\n";
  }
  stream << "\n-q shows only results and faults; -v adds detail. A file argument \"-\" is standard\n"
            "input (a project, a stub, a setup program, a log, an answers file; one per run);\n"
            "build, init and extract --entry write standard output for -o -.\n"
            "Exit codes: 0 ok, 1 failure (damaged package, verification failed, bad input),"
            " 2 usage error.\n";
}

void PrintCommandUsage(const Command& command, std::ostream& stream) {
  stream << "usage: setup-tool " << command.name << " " << command.usage;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// Takes the options every command shares out of args.
Verbosity TakeVerbosity(std::vector<std::string>& args) {
  Verbosity verbosity = Verbosity::Normal;
  for (auto it = args.begin(); it != args.end() && *it != "--";) {
    if (*it == "-q" || *it == "--quiet") {
      verbosity = Verbosity::Quiet;
    } else if (*it == "-v" || *it == "--verbose") {
      verbosity = Verbosity::Verbose;
    } else {
      ++it;
      continue;
    }
    it = args.erase(it);
  }
  return verbosity;
}

class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};

}  // namespace

const char* ToolVersion() { return SETUP_TOOL_VERSION; }

const Command* FindCommand(const std::string& name) {
  for (const Command* command : Commands()) {
    if (name == command->name) return command;
  }
  return nullptr;
}

std::ostream& CommandContext::Status() {
  static NullBuffer nothing;
  static std::ostream silent(&nothing);
  return verbosity == Verbosity::Quiet ? silent : out;
}

bool CommandContext::ShowsProgress(const std::ostream& stream) const {
  return verbosity != Verbosity::Quiet && IsTerminal(stream);
}

int RunTool(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err,
            std::function<void(int64_t counted, int64_t total)> progressObserver) {
  std::vector<std::string> args = givenArgs;
  const Verbosity verbosity = TakeVerbosity(args);
  if (!args.empty() && args[0] == "--version") {
    out << "setup-tool " << ToolVersion() << "\n";
    return kExitOk;
  }
  if (args.empty()) {
    PrintOverallUsage(err);
    return kExitUsage;
  }
  if (IsHelp(args[0]) || args[0] == "help") {
    if (args.size() > 1) {
      if (const Command* command = FindCommand(args[1])) {
        PrintCommandUsage(*command, out);
        return kExitOk;
      }
      err << "setup-tool: unknown command '" << args[1] << "'\n";
      return kExitUsage;
    }
    PrintOverallUsage(out);
    return kExitOk;
  }
  const Command* command = FindCommand(args[0]);
  if (!command) {
    err << "setup-tool: unknown command '" << args[0] << "'\n\n";
    PrintOverallUsage(err);
    return kExitUsage;
  }
  CommandContext context{std::vector<std::string>(args.begin() + 1, args.end()), out, err,
                         verbosity, std::move(progressObserver)};
  for (const std::string& arg : context.args) {
    if (IsHelp(arg)) {
      PrintCommandUsage(*command, out);
      return kExitOk;
    }
  }
  try {
    return command->run(context);
  } catch (const UsageError& error) {
    err << "setup-tool " << command->name << ": " << error.what() << "\n";
    PrintCommandUsage(*command, err);
    return kExitUsage;
  } catch (const std::exception& error) {
    err << "setup-tool " << command->name << ": " << DescribeError(error) << "\n";
    return kExitFailure;
  }
}

}  // namespace tool
