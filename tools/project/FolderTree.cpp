#include "tools/project/FolderTree.h"

#include <algorithm>
#include <system_error>

#include "tools/host/ToolText.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

// Glob matching with backtracking over "*" (not across "/") and "**" (across "/").
bool Match(std::string_view pattern, std::string_view text) {
  if (pattern.empty()) return text.empty();
  if (pattern.substr(0, 2) == "**") {
    std::string_view rest = pattern.substr(2);
    // "**/" also matches no folder at all.
    if (!rest.empty() && rest[0] == '/' && Match(rest.substr(1), text)) return true;
    for (size_t i = 0; i <= text.size(); ++i) {
      if (Match(rest, text.substr(i))) return true;
    }
    return false;
  }
  if (pattern[0] == '*') {
    for (size_t i = 0; i <= text.size(); ++i) {
      if (Match(pattern.substr(1), text.substr(i))) return true;
      if (i < text.size() && text[i] == '/') break;
    }
    return false;
  }
  if (text.empty()) return false;
  if (pattern[0] == '?') {
    // One character: a whole UTF-8 sequence.
    size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
    return text[0] != '/' && Match(pattern.substr(1), text.substr(length));
  }
  return pattern[0] == text[0] && Match(pattern.substr(1), text.substr(1));
}

bool MatchesAny(const std::vector<std::string>& patterns, const std::string& relative) {
  for (const std::string& pattern : patterns) {
    if (MatchesPattern(pattern, relative)) return true;
  }
  return false;
}

class Walker {
 public:
  Walker(const TreeFilter& filter, std::vector<TreeItem>& items) : filter_(filter), items_(items) {}

  // True when anything was listed below folder.
  bool Walk(const fs::path& folder, const std::string& relative) {
    std::vector<std::pair<std::string, fs::path>> files, folders;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      std::string name = PathText(it->path().filename());
      std::string path = relative.empty() ? name : relative + "/" + name;
      fs::file_status status = it->symlink_status(error);
      if (error) break;
      if (fs::is_directory(status)) {
        if (!MatchesAny(filter_.exclude, path)) folders.push_back({name, it->path()});
      } else if (fs::is_regular_file(it->status(error)) && !error) {
        if (MatchesAny(filter_.include, path) && !MatchesAny(filter_.exclude, path)) {
          files.push_back({name, it->path()});
        }
      }
      error.clear();
    }
    if (error) throw Failure("cannot read the folder '" + PathText(folder) + "': " + error.message());
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    bool listed = false;
    for (auto& [name, host] : files) {
      items_.push_back({false, relative.empty() ? name : relative + "/" + name, host});
      listed = true;
    }
    for (auto& [name, host] : folders) {
      std::string path = relative.empty() ? name : relative + "/" + name;
      size_t before = items_.size();
      if (Walk(host, path)) {
        listed = true;
      } else if (filter_.emptyFolders) {
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(before), {true, path, host});
        listed = true;
      }
    }
    return listed;
  }

 private:
  const TreeFilter& filter_;
  std::vector<TreeItem>& items_;
};

}  // namespace

bool MatchesPattern(const std::string& pattern, const std::string& relative) {
  if (pattern.find('/') == std::string::npos) {
    size_t slash = relative.rfind('/');
    return Match(pattern, slash == std::string::npos ? relative : relative.substr(slash + 1));
  }
  return Match(pattern, relative);
}

std::vector<TreeItem> ExpandFolderTree(const fs::path& root, const TreeFilter& filter) {
  std::error_code error;
  if (!fs::is_directory(root, error)) throw Failure("'" + PathText(root) + "' is not a folder");
  std::vector<TreeItem> items;
  Walker(filter, items).Walk(root, "");
  return items;
}

}  // namespace tool
