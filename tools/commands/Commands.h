// The subcommands of setup-tool and the one table that lists them. A command is a file of its
// own with a run function; adding one is that file plus one line in Commands.cpp.
//
// A run function gets its arguments (everything after the command name) and the two output
// streams, so tests call it directly. It returns an exit code, or throws UsageError for a bad
// command line (the dispatcher prints the usage and exits with kExitUsage); any other exception
// is a failure that the dispatcher reports on err.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // damaged package, failed verification, bad input
inline constexpr int kExitUsage = 2;

// -q shows only results and faults (no status lines, warnings or progress); -v adds detail.
enum class Verbosity { Quiet, Normal, Verbose };

struct CommandContext {
  std::vector<std::string> args;
  std::ostream& out;
  std::ostream& err;
  Verbosity verbosity = Verbosity::Normal;

  // Told what each of the command's progress meters counted, in bytes, and its total.
  std::function<void(int64_t counted, int64_t total)> progressObserver;

  // Where status lines go: out, or nowhere when quiet.
  std::ostream& Status();
  // Whether a progress line may be drawn on stream: a terminal, and not quiet.
  bool ShowsProgress(const std::ostream& stream) const;
};

struct Command {
  const char* name;
  const char* summary;
  const char* usage;  // the argument synopsis and what it does, several lines
  int (*run)(CommandContext& context);
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Each defined in its own <Name>Command.cpp.
const Command& InitCommand();
const Command& BuildCommand();
const Command& CheckCommand();
const Command& InspectCommand();
const Command& VerifyCommand();
const Command& ExtractCommand();
const Command& SimulateCommand();
const Command& InslogCommand();
const Command& UninstallCommand();

// The table, in the order the overall usage lists them.
std::span<const Command* const> Commands();
// nullptr when there is no such command.
const Command* FindCommand(const std::string& name);

// The tool's version, as --version prints it.
const char* ToolVersion();

// The whole tool: args are argv[1..]; -q/--quiet, -v/--verbose and --version may stand
// anywhere before "--". progressObserver is handed to the command (see CommandContext). Never
// throws.
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            std::function<void(int64_t counted, int64_t total)> progressObserver = {});

}  // namespace tool
