// The profile (.ini) reader. Every key it lists for a section must be found again by name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "system/ProfileFile.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The names between '[' and ']' at the starts of lines, as they stand (the reader trims them;
// looking them up untrimmed is a lookup of another name, which is fine too).
std::vector<std::string> BracketNames(std::string_view text) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < text.size() && names.size() < 16) {
    size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    size_t close = line.find(']');
    if (!line.empty() && line[0] == '[' && close != std::string_view::npos)
      names.emplace_back(line.substr(1, close - 1));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Bytes(data, size);
  sys::ProfileFile profile(text);
  std::vector<std::string> sections = BracketNames(text);
  sections.push_back("Setup");
  for (const std::string& section : sections) {
    for (const std::string& key : profile.Keys(section))
      if (!profile.Value(section, key)) std::abort();
    profile.Value(section, "");
  }
  return 0;
}
