#include "package/uCommon.h"

#include "system/Gbk.h"
#include "system/SystemHelpers.h"

void SplitText(const std::string& text, const std::string& delimiter, TStringList& list) {
  list.clear();
  // An empty delimiter would be found at every position and never consume anything.
  if (delimiter.empty()) {
    if (!text.empty()) list.push_back(text);
    return;
  }
  std::string_view rest = text;
  while (!rest.empty()) {
    // FindText matches at character starts only, so a trail byte 0x5C is never a "\".
    size_t at = sys::FindText(rest, delimiter);
    std::string_view part = rest.substr(0, at);
    rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + delimiter.size());
    if (!part.empty()) list.emplace_back(part);
  }
}

std::string ExpandSystemPath(const std::string& path) {
  TStringList parts;
  SplitText(path, "\\", parts);
  if (parts.empty() || !sys::SameText(parts[0], "[System ProgramFiles]")) return path;
  std::string expanded = sys::GetProgramFilesDir();
  for (size_t i = 1; i < parts.size(); ++i) expanded += "\\" + parts[i];
  return expanded;
}
