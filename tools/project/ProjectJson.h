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
#include "tools/project/JsonFields.h"

namespace tool {

// A warning about a project: its JSON path, what is wrong, and where the path stands in the
// file ("project.json:12:7"; empty when the document came from no file).
struct Diagnostic {
  std::string path;
  std::string message;
  std::string where;
};

struct ProjectDocument {
  TCustomCompile lists;
  std::string serial;
  // For each FileList entry, the local file holding its content; empty when it has none.
  std::vector<std::filesystem::path> contents;
  // For each FileList entry, the JSON path of the entry that made it ("files[3]"; a tree entry
  // makes many).
  std::vector<std::string> entryPaths;
  // Things that build but will probably misbehave (docs/checks.md lists them).
  std::vector<Diagnostic> warnings;
};

struct ProjectLoadOptions {
  // build --uninstaller: the content of every uninstaller entry, which then needs none of its
  // own in the project.
  std::filesystem::path uninstaller;
  // Whether an uninstaller entry without content (and no uninstaller above) is a fault: build
  // cannot write it, check can still read the rest.
  bool requireUninstallerContent = true;
};

// contents are resolved against baseDir (the JSON file's folder). Throws JsonError for the
// first fault; warnings come without a place.
ProjectDocument ProjectFromJson(const Json& document, const std::filesystem::path& baseDir,
                                const ProjectLoadOptions& options = {});
// Reads, parses and checks the file ("-": standard input, content relative to the current
// folder). Every fault and warning names the line and column of its JSON path.
ProjectDocument LoadProjectFile(const std::filesystem::path& file,
                                const ProjectLoadOptions& options = {});
// "project.json:12:7: warning: files[3].destFolder: ..."
std::string FormatWarning(const Diagnostic& warning);

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
