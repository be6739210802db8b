#include "tools/commands/CommandLine.h"

#include <algorithm>

#include "tools/commands/Commands.h"

namespace tool {
namespace {

bool Contains(std::initializer_list<std::string_view> names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
  auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

bool ParsedArgs::Has(const std::string& name) const {
  return std::find(switches.begin(), switches.end(), name) != switches.end();
}

ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     std::initializer_list<std::string_view> valueOptions,
                     std::initializer_list<std::string_view> switchOptions) {
  ParsedArgs parsed;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      parsed.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (size_t eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
      name = arg.substr(0, eq);
      inlineValue = arg.substr(eq + 1);
    }
    if (Contains(valueOptions, name)) {
      if (inlineValue) {
        parsed.values[name] = *inlineValue;
      } else if (i + 1 < args.size()) {
        parsed.values[name] = args[++i];
      } else {
        throw UsageError("option " + name + " needs a value");
      }
    } else if (Contains(switchOptions, name) && !inlineValue) {
      parsed.switches.push_back(name);
    } else {
      throw UsageError("unknown option " + arg);
    }
  }
  return parsed;
}

void ExpectPositional(const ParsedArgs& parsed, size_t count) {
  if (parsed.positional.size() < count) throw UsageError("missing argument");
  if (parsed.positional.size() > count) {
    throw UsageError("unexpected argument '" + parsed.positional[count] + "'");
  }
}

}  // namespace tool
