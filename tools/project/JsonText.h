// Reading the tool's JSON files (projects, answers files) with messages a person can act on:
// a file that is not UTF-8 says what it looks like instead (GBK, UTF-16) and where the first
// byte that is not UTF-8 stands; a syntax error names its line and column; a field given twice
// in one object is refused (JSON would let the later one win without a word). No raw bytes of
// the file reach the terminal.
#pragma once

#include <filesystem>
#include <string>

#include "tools/project/JsonFields.h"
#include "tools/project/JsonLocator.h"

namespace tool {

struct JsonFile {
  std::string name;  // how messages name the file
  std::string text;  // UTF-8, without a byte-order mark
  Json document;
  JsonLocator locator;

  // "name:line:column" of path, or just the name when the path has no place.
  std::string Where(const std::string& path) const;
};

// path "-" reads standard input. Throws Failure.
JsonFile ReadJsonFile(const std::filesystem::path& path);
// The same checks for text already read.
JsonFile ParseJsonText(std::string text, const std::string& name);

// Throws Failure unless bytes are UTF-8: "NAME: not UTF-8 (it looks like GBK): line 3, column 9".
void CheckUtf8(const std::string& bytes, const std::string& name);

// The first character of a UTF-8 text that GBK cannot hold, as "U+1F600 (😀)"; empty when GBK
// holds them all.
std::string FirstCharacterGbkLacks(const std::string& utf8);

}  // namespace tool
