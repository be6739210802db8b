// Reads .ini files the way GetPrivateProfileString does: "[section]" lines open a section,
// "key=value" lines hold values, both names are trimmed and found ignoring ASCII case, values are
// trimmed and lose one pair of surrounding quotes, lines starting with ';' are comments. A line
// without '=' in a section is a key with an empty value. When a section or key repeats, the
// first one wins. Keys keep file order. Text is GBK, bytes are not converted.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

class ProfileFile {
 public:
  explicit ProfileFile(std::string_view content);

  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  // Key names of the first section of that name, in file order.
  std::vector<std::string> Keys(const std::string& section) const;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Section* Find(const std::string& name) const;

  std::vector<Section> sections_;
};

}  // namespace sys
