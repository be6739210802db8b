// The project JSON document: a readable, complete description of a package's project (settings,
// folder lists, files with their local content, registry values, shortcuts, component packages,
// serial). `build` reads it, `inspect` and `extract` write it. docs/project-json.md is the
// format's reference.
//
// Reading checks types, ranges and the runtime's own preconditions (target notation roots,
// registry roots, shortcut locations, component folders, the serial's GUID form) and names the
// JSON path of the first fault. Offsets and sizes are never read: the packager computes them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "package/uSystem.h"
#include "tools/JsonFields.h"

namespace tool {

struct ProjectDocument {
  TCustomCompile lists;
  std::string serial;
  // For each FileList entry, the local file holding its content; empty when it has none.
  std::vector<std::filesystem::path> contents;
  // Things that are legal but probably not meant (a picture setting naming no resource, ...).
  std::vector<std::string> warnings;
};

// contents are resolved against baseDir (the JSON file's folder).
ProjectDocument ProjectFromJson(const Json& document, const std::filesystem::path& baseDir);
// Reads and parses the file; a syntax error names line and column.
ProjectDocument LoadProjectFile(const std::filesystem::path& file);

struct ProjectJsonOptions {
  // Adds each entry's "stored" figures (dataStart, dataEnd, fileSize); build ignores them.
  bool storedFigures = false;
  // When not empty: per FileList entry the "content" path to write (empty: none).
  std::vector<std::string> contents;
};

Json ProjectToJson(const TCustomCompile& lists, const std::string& serial,
                   const ProjectJsonOptions& options);

// Names of entry kinds, value types and link kinds; numbers without a name stay numbers.
Json EntryKindToJson(uint8_t kind);
Json ValueTypeToJson(uint8_t type);
Json LinkKindToJson(uint8_t kind);

}  // namespace tool
