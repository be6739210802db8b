#include "tools/project/TreeEntry.h"

#include "package/uSystem.h"
#include "system/Error.h"
#include "system/sandbox/Encoding.h"
#include "tools/host/ToolText.h"
#include "tools/project/FolderTree.h"
#include "tools/project/HostFileTime.h"
#include "tools/project/JsonText.h"
#include "tools/project/ProjectChecks.h"
#include "tools/project/ProjectJson.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ReadPatterns(ObjectReader& reader, const std::string& field,
                                      std::vector<std::string> fallback) {
  const Json* value = reader.Find(field);
  if (!value) return fallback;
  const Json& array = ExpectArray(*value, reader.PathOf(field));
  std::vector<std::string> patterns;
  for (size_t i = 0; i < array.size(); ++i) {
    if (!array[i].is_string() || array[i].get<std::string>().empty()) {
      throw JsonError(reader.PathOf(field) + "[" + std::to_string(i) + "]", "expected a pattern text");
    }
    patterns.push_back(array[i].get<std::string>());
  }
  return patterns;
}

// The relative host path in the package's terms: GBK, parts joined by "\"; every part a name
// Windows accepts.
std::string WindowsPath(const TreeItem& item, const std::string& where) {
  std::string gbk;
  try {
    gbk = sys::sandbox::Utf8ToGbk(item.relative);
  } catch (const sys::Error&) {
    throw JsonError(where, "'" + item.relative + "' has a name GBK cannot hold: " +
                               FirstCharacterGbkLacks(item.relative) + " is the first");
  }
  for (char c : std::string_view("\\:*?\"<>|")) {
    if (item.relative.find(c) != std::string::npos) {
      throw JsonError(where, "'" + item.relative + "' has a name Windows cannot hold (\"" +
                                 std::string(1, c) + "\")");
    }
  }
  std::string path;
  size_t start = 0;
  while (start <= gbk.size()) {
    size_t slash = gbk.find('/', start);
    std::string part = gbk.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (std::string problem = CheckInstalledName(part); !problem.empty()) {
      throw JsonError(where, "'" + item.relative + "' " + problem);
    }
    path += (path.empty() ? "" : "\\") + part;
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return path;
}

std::string WithBackslash(const std::string& folder) {
  return folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
}

}  // namespace

void ReadTreeEntry(const Json& value, const std::string& path, const fs::path& baseDir,
                   ProjectDocument& project) {
  ObjectReader reader(value, path,
                      {"kind", "content", "destFolder", "source", "include", "exclude",
                       "emptyFolders", "runAtStartup", "keepOnUninstall", "noOverwrite",
                       "isComponent", "isService", "runAfterInstall", "isPatch", "targetOs"});
  const Json* content = reader.Find("content");
  if (!content) throw JsonError(reader.PathOf("content"), "is required (the folder to add)");
  if (!content->is_string()) {
    throw JsonError(reader.PathOf("content"), "expected a folder path, got " + TypeName(*content));
  }
  const fs::path root = baseDir / HostPath(content->get<std::string>());
  const std::string destFolder = reader.RequiredText("destFolder");
  if (std::string problem = CheckDestFolder(destFolder); !problem.empty()) {
    throw JsonError(reader.PathOf("destFolder"), problem);
  }
  // The packaging-machine path settings and shortcuts name the files by; by default the
  // content folder as written.
  std::string source = reader.Text("source");
  if (source.empty()) {
    source = TextFromJson(*content, reader.PathOf("content"));
    for (char& c : source) {
      if (c == '/') c = '\\';
    }
  }
  TreeFilter filter;
  filter.include = ReadPatterns(reader, "include", filter.include);
  filter.exclude = ReadPatterns(reader, "exclude", {});
  filter.emptyFolders = reader.Flag("emptyFolders") || !reader.Find("emptyFolders");
  TCompileFileData flags;
  flags.RunAtStartup = reader.Flag("runAtStartup");
  flags.KeepOnUninstall = reader.Flag("keepOnUninstall");
  flags.NoOverwrite = reader.Flag("noOverwrite");
  flags.IsComponent = reader.Flag("isComponent");
  flags.IsService = reader.Flag("isService");
  flags.RunAfterInstall = reader.Flag("runAfterInstall");
  flags.IsPatch = reader.Flag("isPatch");
  flags.TargetOs = reader.Text("targetOs");

  std::vector<TreeItem> items;
  try {
    items = ExpandFolderTree(root, filter);
  } catch (const Failure& error) {
    throw JsonError(reader.PathOf("content"), error.what());
  }
  for (const TreeItem& item : items) {
    const std::string relative = WindowsPath(item, reader.PathOf("content"));
    const size_t cut = relative.rfind('\\');
    const std::string parent = cut == std::string::npos ? "" : relative.substr(0, cut);
    const std::string name = cut == std::string::npos ? relative : relative.substr(cut + 1);
    auto entry = std::make_unique<TCompileFileData>();
    entry->DestFolder = parent.empty() ? destFolder : WithBackslash(destFolder) + parent + "\\";
    if (item.folder) {
      entry->EntryKind = package::kEntryFolder;
      entry->EntryName = name;
      entry->FileTime = -1.0;
      project.contents.emplace_back();
    } else {
      entry->EntryKind = package::kEntryFile;
      entry->SourcePath = WithBackslash(source) + relative;
      entry->RunAtStartup = flags.RunAtStartup;
      entry->KeepOnUninstall = flags.KeepOnUninstall;
      entry->NoOverwrite = flags.NoOverwrite;
      entry->IsComponent = flags.IsComponent;
      entry->IsService = flags.IsService;
      entry->RunAfterInstall = flags.RunAfterInstall;
      entry->IsPatch = flags.IsPatch;
      entry->TargetOs = flags.TargetOs;
      entry->FileTime = PackagedFileTime(item.host);
      project.contents.push_back(item.host);
    }
    project.lists.FileList.push_back(std::move(entry));
    project.entryPaths.push_back(path);
  }
}

}  // namespace tool
