#include "system/ProfileFile.h"

#include "system/Gbk.h"

namespace sys {
namespace {

std::string_view Trim(std::string_view text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

ProfileFile::ProfileFile(std::string_view content) {
  Section* current = nullptr;
  size_t at = 0;
  while (at < content.size()) {
    size_t end = content.find('\n', at);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = Trim(content.substr(at, end - at));
    at = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      std::string_view name = line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      sections_.push_back({std::string(Trim(name)), {}});
      current = &sections_.back();
      continue;
    }
    if (!current) continue;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      current->entries.push_back({std::string(line), std::string()});
    } else {
      current->entries.push_back(
          {std::string(Trim(line.substr(0, equals))), Unquote(Trim(line.substr(equals + 1)))});
    }
  }
}

const ProfileFile::Section* ProfileFile::Find(const std::string& name) const {
  for (const Section& section : sections_)
    if (SameText(section.name, name)) return &section;
  return nullptr;
}

std::optional<std::string> ProfileFile::Value(const std::string& section, const std::string& key) const {
  const Section* found = Find(section);
  if (!found) return std::nullopt;
  for (const Entry& entry : found->entries)
    if (SameText(entry.key, key)) return entry.value;
  return std::nullopt;
}

std::vector<std::string> ProfileFile::Keys(const std::string& section) const {
  std::vector<std::string> keys;
  if (const Section* found = Find(section))
    for (const Entry& entry : found->entries) keys.push_back(entry.key);
  return keys;
}

}  // namespace sys
