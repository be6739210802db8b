// Where each value of a JSON text stands, by the JSON path the tool's messages use ("files[3]",
// "files[3].destFolder", "" for the whole document), so a complaint about a path can name its
// line and column. A member's place is that of its key (where a person looks for a misspelt
// field); an array element's place is that of its value.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace tool {

struct TextPosition {
  size_t line = 1;    // from 1
  size_t column = 1;  // from 1, in characters (UTF-8 code points)
};

class JsonLocator {
 public:
  JsonLocator() = default;
  // text must be JSON that parsed already (a leading UTF-8 byte-order mark is allowed).
  explicit JsonLocator(const std::string& text);

  // The place of path, or of its nearest enclosing value that has one.
  std::optional<TextPosition> Find(const std::string& path) const;

 private:
  std::map<std::string, TextPosition> places_;
};

}  // namespace tool
