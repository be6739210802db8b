// JSON -> project, for build. Every complaint names the JSON path of the offending value.
#include <array>

#include "package/EntryNames.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "tools/host/ToolText.h"
#include "tools/project/FileTimeText.h"
#include "tools/project/HostFileTime.h"
#include "tools/project/JsonText.h"
#include "tools/project/ProjectChecks.h"
#include "tools/project/ProjectJson.h"
#include "tools/project/ProjectLint.h"
#include "tools/project/TreeEntry.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

std::string Indexed(const std::string& path, size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

void CheckText(const std::string& problem, const std::string& path) {
  if (!problem.empty()) throw JsonError(path, problem);
}

// A byte-valued enumeration given by name or number.
template <size_t N>
uint8_t NamedByte(ObjectReader& reader, const std::string& field,
                  const std::array<const char*, N>& names) {
  const Json* value = reader.Find(field);
  if (!value) throw JsonError(reader.PathOf(field), "is required");
  if (value->is_string()) {
    for (size_t i = 0; i < names.size(); ++i) {
      if (value->get<std::string>() == names[i]) return static_cast<uint8_t>(i);
    }
    std::string known;
    for (const char* name : names) known += std::string(known.empty() ? "" : ", ") + name;
    throw JsonError(reader.PathOf(field),
                    "unknown name '" + value->get<std::string>() + "' (one of " + known + ")");
  }
  return static_cast<uint8_t>(IntegerFromJson(*value, reader.PathOf(field), 0, 255));
}

constexpr std::array<const char*, 6> kEntryKinds = {"file",      "folder",   "regfile",
                                                    "component", "resource", "uninstaller"};
constexpr std::array<const char*, 3> kValueTypes = {"REG_SZ", "REG_DWORD", "REG_BINARY"};
constexpr std::array<const char*, 2> kLinkKinds = {"lnk", "url"};

TStringList ReadTextList(const Json* value, const std::string& path,
                         std::string (*check)(const std::string&)) {
  TStringList list;
  if (!value) return list;
  const Json& array = ExpectArray(*value, path);
  for (size_t i = 0; i < array.size(); ++i) {
    std::string text = TextFromJson(array[i], Indexed(path, i));
    if (check) CheckText(check(text), Indexed(path, i));
    list.push_back(std::move(text));
  }
  return list;
}

double ReadFileTime(ObjectReader& reader, double fallback) {
  const Json* value = reader.Find("fileTime");
  if (!value) return fallback;
  if (value->is_number()) return value->get<double>();
  if (value->is_string()) {
    if (auto time = FileTimeFromText(value->get<std::string>())) return *time;
    throw JsonError(reader.PathOf("fileTime"),
                    "expected a local date-time YYYY-MM-DDTHH:MM:SS[.mmm] or a number");
  }
  throw JsonError(reader.PathOf("fileTime"), "expected text or a number, got " + TypeName(*value));
}

fs::path ReadContent(ObjectReader& reader, const fs::path& baseDir, const fs::path& replacement) {
  const Json* value = reader.Find("content");
  if (!replacement.empty()) return replacement;
  if (!value) return {};
  if (!value->is_string()) {
    throw JsonError(reader.PathOf("content"), "expected a file path, got " + TypeName(*value));
  }
  fs::path file = baseDir / HostPath(value->get<std::string>());
  std::error_code error;
  if (!fs::is_regular_file(file, error)) {
    throw JsonError(reader.PathOf("content"), "cannot read file '" + PathText(file) + "'");
  }
  return file;
}

void ReadFileEntry(const Json& value, const std::string& path, const fs::path& baseDir,
                   const ProjectLoadOptions& options, ProjectDocument& project) {
  ObjectReader reader(value, path,
                      {"kind", "name", "source", "destFolder", "content", "runAtStartup",
                       "keepOnUninstall", "noOverwrite", "isComponent", "isService",
                       "runAfterInstall", "isPatch", "targetOs", "fileTime", "stored"});
  auto entry = std::make_unique<TCompileFileData>();
  entry->EntryKind = NamedByte(reader, "kind", kEntryKinds);
  entry->EntryName = reader.Text("name");
  entry->DestFolder = reader.Text("destFolder");
  entry->RunAtStartup = reader.Flag("runAtStartup");
  entry->KeepOnUninstall = reader.Flag("keepOnUninstall");
  entry->NoOverwrite = reader.Flag("noOverwrite");
  entry->IsComponent = reader.Flag("isComponent");
  entry->IsService = reader.Flag("isService");
  entry->RunAfterInstall = reader.Flag("runAfterInstall");
  entry->IsPatch = reader.Flag("isPatch");
  entry->TargetOs = reader.Text("targetOs");
  fs::path content = ReadContent(
      reader, baseDir,
      entry->EntryKind == package::kEntryUninstaller ? options.uninstaller : fs::path());
  reader.Ignore("stored");

  const uint8_t kind = entry->EntryKind;
  if (kind == package::kEntryFolder) {
    entry->SourcePath = reader.Text("source");
    if (!content.empty()) throw JsonError(reader.PathOf("content"), "a folder has no content");
    if (entry->EntryName.empty()) throw JsonError(reader.PathOf("name"), "a folder needs a name");
    CheckText(CheckInstalledName(entry->EntryName), reader.PathOf("name"));
  } else if (kind <= package::kEntryUninstaller) {
    // The runtime names every unpacked or installed copy after the file name of the source.
    entry->SourcePath = reader.RequiredText("source");
    try {
      package::SafeEntryFileName(entry->SourcePath);
    } catch (const sys::Error&) {
      throw JsonError(reader.PathOf("source"),
                      "must end with a file name (not empty, \".\" or \"..\", without \":\")");
    }
    if (content.empty() &&
        (kind != package::kEntryUninstaller || options.requireUninstallerContent)) {
      throw JsonError(reader.PathOf("content"),
                      kind == package::kEntryUninstaller
                          ? "is required (or give build --uninstaller EXE)"
                          : "is required");
    }
    if (kind == package::kEntryFile)
      CheckText(CheckInstalledName(entry->SourcePath), reader.PathOf("source"));
  } else {
    entry->SourcePath = reader.Text("source");
  }
  if (kind == package::kEntryFile || kind == package::kEntryFolder) {
    CheckText(CheckDestFolder(entry->DestFolder), reader.PathOf("destFolder"));
  }
  if (kind == package::kEntryComponentFile) {
    if (entry->EntryName.empty()) {
      throw JsonError(reader.PathOf("name"), "a component file needs its component's name");
    }
    // Unpacking keeps the part of the source below destFolder, so it must lie below it.
    if (entry->DestFolder.empty() || !sys::StartsWithText(entry->SourcePath, entry->DestFolder) ||
        entry->SourcePath.size() == entry->DestFolder.size()) {
      throw JsonError(reader.PathOf("source"),
                      "a component file's source must lie below its destFolder (the component's "
                      "folder on the packaging machine)");
    }
  }
  entry->FileTime = ReadFileTime(reader, kind == package::kEntryFolder ? -1.0
                                         : content.empty()             ? 0.0
                                                                       : PackagedFileTime(content));
  reader.Finish();
  project.lists.FileList.push_back(std::move(entry));
  project.contents.push_back(std::move(content));
  project.entryPaths.push_back(path);
}

void ReadSettings(const Json& array, const std::string& path, ProjectDocument& project) {
  for (size_t i = 0; i < array.size(); ++i) {
    ObjectReader reader(array[i], Indexed(path, i), {"caption", "value", "group"});
    auto setting = std::make_unique<TCompileData>();
    setting->Caption = reader.RequiredText("caption");
    setting->Value = reader.Text("value");
    setting->Group = static_cast<uint8_t>(reader.RequiredInteger("group", 0, 255));
    reader.Finish();
    project.lists.InfoList.push_back(std::move(setting));
  }
}

void ReadRegistry(const Json& array, const std::string& path, ProjectDocument& project) {
  for (size_t i = 0; i < array.size(); ++i) {
    ObjectReader reader(array[i], Indexed(path, i), {"key", "name", "type", "data", "targetOs"});
    auto value = std::make_unique<TRegInfoData>();
    value->KeyPath = reader.RequiredText("key");
    CheckText(CheckRegistryKey(value->KeyPath), reader.PathOf("key"));
    value->ValueName = reader.Text("name");
    value->ValueType = NamedByte(reader, "type", kValueTypes);
    value->ValueData = reader.Text("data");
    value->TargetOs = reader.Text("targetOs");
    if (value->ValueType == 1) CheckText(CheckDwordData(value->ValueData), reader.PathOf("data"));
    if (value->ValueType == 2) CheckText(CheckBinaryData(value->ValueData), reader.PathOf("data"));
    reader.Finish();
    project.lists.RegList.push_back(std::move(value));
  }
}

void ReadShortcuts(const Json& array, const std::string& path, ProjectDocument& project) {
  for (size_t i = 0; i < array.size(); ++i) {
    ObjectReader reader(array[i], Indexed(path, i),
                        {"kind", "folder", "name", "target", "arguments", "description"});
    auto link = std::make_unique<TShotCutData>();
    link->LinkKind = NamedByte(reader, "kind", kLinkKinds);
    link->LinkFolder = reader.RequiredText("folder");
    CheckText(CheckShortcutFolder(link->LinkFolder), reader.PathOf("folder"));
    link->LinkName = reader.RequiredText("name");
    link->LinkTarget = reader.RequiredText("target");
    link->LinkArguments = reader.Text("arguments");
    link->LinkDescription = reader.Text("description");
    reader.Finish();
    project.lists.ShotCutList.push_back(std::move(link));
  }
}

// A component's size defaults to the content sizes of its files.
int64_t ComponentFilesSize(const ProjectDocument& project, const std::string& name) {
  int64_t total = 0;
  for (size_t i = 0; i < project.lists.FileList.size(); ++i) {
    const TCompileFileData& entry = *project.lists.FileList[i];
    if (entry.EntryKind == package::kEntryComponentFile && sys::SameText(entry.EntryName, name)) {
      total += static_cast<int64_t>(fs::file_size(project.contents[i]));
    }
  }
  return total;
}

void ReadComponents(const Json& array, const std::string& path, ProjectDocument& project) {
  for (size_t i = 0; i < array.size(); ++i) {
    ObjectReader reader(array[i], Indexed(path, i), {"name", "size"});
    auto component = std::make_unique<TCompileCompData>();
    component->CompName = reader.RequiredText("name");
    if (component->CompName.empty()) throw JsonError(reader.PathOf("name"), "must not be empty");
    component->CompSize = reader.Integer("size", ComponentFilesSize(project, component->CompName),
                                         0, INT64_MAX);
    reader.Finish();
    project.lists.CompList.push_back(std::move(component));
  }
}

bool HasComponent(const ProjectDocument& project, const std::string& name) {
  for (const auto& component : project.lists.CompList) {
    if (sys::SameText(component->CompName, name)) return true;
  }
  return false;
}

// Component files need their component.
void CheckComponentsNamed(const ProjectDocument& project) {
  for (size_t i = 0; i < project.lists.FileList.size(); ++i) {
    const TCompileFileData& entry = *project.lists.FileList[i];
    if (entry.EntryKind == package::kEntryComponentFile &&
        !HasComponent(project, entry.EntryName)) {
      throw JsonError(project.entryPaths[i] + ".name",
                      "no component '" + GbkToUtf8Lossy(entry.EntryName) + "' in components");
    }
  }
}

}  // namespace

ProjectDocument ProjectFromJson(const Json& document, const fs::path& baseDir,
                                const ProjectLoadOptions& options) {
  ProjectDocument project;
  ObjectReader reader(document, "",
                      {"serial", "settings", "fileFolders", "files", "regFolders", "registry",
                       "shortcutFolders", "shortcuts", "components", "comment", "package"});
  project.serial = reader.RequiredText("serial");
  CheckText(CheckSerial(project.serial), "serial");
  if (const Json* settings = reader.Find("settings")) {
    ReadSettings(ExpectArray(*settings, "settings"), "settings", project);
  }
  project.lists.FileFolderList =
      ReadTextList(reader.Find("fileFolders"), "fileFolders", &CheckDestFolder);
  if (const Json* files = reader.Find("files")) {
    const Json& array = ExpectArray(*files, "files");
    for (size_t i = 0; i < array.size(); ++i) {
      if (array[i].is_object() && array[i].value("kind", Json()) == "tree") {
        ReadTreeEntry(array[i], Indexed("files", i), baseDir, project);
      } else {
        ReadFileEntry(array[i], Indexed("files", i), baseDir, options, project);
      }
    }
  }
  project.lists.RegFolderList =
      ReadTextList(reader.Find("regFolders"), "regFolders", &CheckRegistryKey);
  if (const Json* registry = reader.Find("registry")) {
    ReadRegistry(ExpectArray(*registry, "registry"), "registry", project);
  }
  project.lists.ShotCutFolderList =
      ReadTextList(reader.Find("shortcutFolders"), "shortcutFolders", &CheckShortcutFolder);
  if (const Json* shortcuts = reader.Find("shortcuts")) {
    ReadShortcuts(ExpectArray(*shortcuts, "shortcuts"), "shortcuts", project);
  }
  if (const Json* components = reader.Find("components")) {
    ReadComponents(ExpectArray(*components, "components"), "components", project);
  }
  reader.Finish();
  CheckComponentsNamed(project);
  LintProject(project);
  return project;
}

ProjectDocument LoadProjectFile(const fs::path& file, const ProjectLoadOptions& options) {
  JsonFile json = ReadJsonFile(file);
  const fs::path baseDir = file == "-" ? fs::path(".") : file.parent_path();
  ProjectDocument project;
  try {
    project = ProjectFromJson(json.document, baseDir, options);
  } catch (const JsonError& error) {
    throw Failure(json.Where(error.path()) + ": " + error.what());
  }
  for (Diagnostic& warning : project.warnings) warning.where = json.Where(warning.path);
  return project;
}

std::string FormatWarning(const Diagnostic& warning) {
  return (warning.where.empty() ? "" : warning.where + ": ") + "warning: " +
         (warning.path.empty() ? "" : warning.path + ": ") + warning.message;
}

}  // namespace tool
