// The files and folders of a host folder tree, as a "tree" entry of a project adds them:
// filtered by include and exclude patterns, in a stable order that depends only on the names
// (never on the order the file system lists them), so the same tree builds the same package on
// every machine.
//
// Patterns are matched against the path relative to the tree's root, with "/" between parts:
// "*" matches within one part, "**" across parts, "?" one character; a pattern without "/"
// matches the last part (the name) in any folder. A folder an exclude pattern matches is left
// out with everything below it. Links to folders are not followed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tool {

struct TreeFilter {
  std::vector<std::string> include = {"**"};
  std::vector<std::string> exclude;
  bool emptyFolders = true;  // keep folders that end up with no file below them
};

struct TreeItem {
  bool folder = false;
  std::string relative;  // UTF-8, parts joined by "/"
  std::filesystem::path host;
};

// Depth first; in each folder its files by name (byte order of the UTF-8 names), then its
// subfolders by name. A folder is listed (as an item) only when it is empty after filtering and
// filter.emptyFolders is set: folders that hold files are created by installing the files.
// Throws Failure for a root that is not a folder or a tree that cannot be read.
std::vector<TreeItem> ExpandFolderTree(const std::filesystem::path& root, const TreeFilter& filter);

bool MatchesPattern(const std::string& pattern, const std::string& relative);

}  // namespace tool
