// The "tree" entry of a project: one entry that adds a whole host folder as file entries (and
// folder entries for its empty folders), expanded as FolderTree.h describes. Each file gets
// what a hand-written file entry with the same fields would get (docs/project-json.md), so
// the two build the same bytes.
#pragma once

#include <filesystem>
#include <string>

#include "tools/project/JsonFields.h"

namespace tool {

struct ProjectDocument;

// value is the entry's object at path; its "kind" is "tree". Appends the expansion to project.
void ReadTreeEntry(const Json& value, const std::string& path, const std::filesystem::path& baseDir,
                   ProjectDocument& project);

}  // namespace tool
