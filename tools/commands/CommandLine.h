// A small command-line splitter for the commands: positional arguments, options with a value
// ("--stub FILE", "-o FILE", also "--stub=FILE") and switches. Anything else starting with "-"
// is a usage error; "--" ends the options.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;  // option name -> its value (the last one given)
  std::vector<std::string> switches;

  std::optional<std::string> Value(const std::string& name) const;
  bool Has(const std::string& name) const;
};

// Throws UsageError for an unknown option or an option without its value.
ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     std::initializer_list<std::string_view> valueOptions,
                     std::initializer_list<std::string_view> switchOptions = {});

// Throws UsageError unless there are exactly count positional arguments.
void ExpectPositional(const ParsedArgs& parsed, size_t count);

}  // namespace tool
