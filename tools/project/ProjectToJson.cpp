// Project -> JSON, in the shape build reads.
#include <array>

#include "tools/project/FileTimeText.h"
#include "tools/project/ProjectJson.h"

namespace tool {
namespace {

constexpr std::array<const char*, 6> kEntryKindNames = {"file",     "folder",   "regfile",
                                                        "component", "resource", "uninstaller"};
constexpr std::array<const char*, 3> kValueTypeNames = {"REG_SZ", "REG_DWORD", "REG_BINARY"};
constexpr std::array<const char*, 2> kLinkKindNames = {"lnk", "url"};

template <size_t N>
Json NameOrNumber(const std::array<const char*, N>& names, uint8_t value) {
  if (value < names.size()) return names[value];
  return value;
}

Json TextList(const TStringList& list) {
  Json array = Json::array();
  for (const std::string& item : list) array.push_back(TextToJson(item));
  return array;
}

// A flag byte as a boolean where that says everything, else its number.
Json FlagToJson(uint8_t flag) {
  if (flag <= 1) return flag == 1;
  return flag;
}

Json FileTimeToJson(double value) {
  if (auto text = FileTimeToText(value)) return *text;
  return value;
}

Json FileEntryToJson(const TCompileFileData& entry, size_t index,
                     const ProjectJsonOptions& options) {
  Json item;
  item["kind"] = EntryKindToJson(entry.EntryKind);
  item["name"] = TextToJson(entry.EntryName);
  item["source"] = TextToJson(entry.SourcePath);
  item["destFolder"] = TextToJson(entry.DestFolder);
  if (index < options.contents.size() && !options.contents[index].empty()) {
    item["content"] = options.contents[index];
  }
  item["runAtStartup"] = FlagToJson(entry.RunAtStartup);
  item["keepOnUninstall"] = FlagToJson(entry.KeepOnUninstall);
  item["noOverwrite"] = FlagToJson(entry.NoOverwrite);
  item["isComponent"] = FlagToJson(entry.IsComponent);
  item["isService"] = FlagToJson(entry.IsService);
  item["runAfterInstall"] = FlagToJson(entry.RunAfterInstall);
  item["isPatch"] = FlagToJson(entry.IsPatch);
  item["targetOs"] = TextToJson(entry.TargetOs);
  item["fileTime"] = FileTimeToJson(entry.FileTime);
  if (options.storedFigures) {
    item["stored"] = Json{{"dataStart", entry.DataStart},
                          {"dataEnd", entry.DataEnd},
                          {"fileSize", entry.FileSize}};
  }
  return item;
}

}  // namespace

Json EntryKindToJson(uint8_t kind) { return NameOrNumber(kEntryKindNames, kind); }
Json ValueTypeToJson(uint8_t type) { return NameOrNumber(kValueTypeNames, type); }
Json LinkKindToJson(uint8_t kind) { return NameOrNumber(kLinkKindNames, kind); }

Json ProjectToJson(const TCustomCompile& lists, const std::string& serial,
                   const ProjectJsonOptions& options) {
  Json document;
  document["serial"] = TextToJson(serial);

  Json settings = Json::array();
  for (const auto& setting : lists.InfoList) {
    settings.push_back(Json{{"caption", TextToJson(setting->Caption)},
                            {"value", TextToJson(setting->Value)},
                            {"group", setting->Group}});
  }
  document["settings"] = std::move(settings);
  document["fileFolders"] = TextList(lists.FileFolderList);

  Json files = Json::array();
  for (size_t i = 0; i < lists.FileList.size(); ++i) {
    files.push_back(FileEntryToJson(*lists.FileList[i], i, options));
  }
  document["files"] = std::move(files);
  document["regFolders"] = TextList(lists.RegFolderList);

  Json registry = Json::array();
  for (const auto& value : lists.RegList) {
    registry.push_back(Json{{"key", TextToJson(value->KeyPath)},
                            {"name", TextToJson(value->ValueName)},
                            {"type", ValueTypeToJson(value->ValueType)},
                            {"data", TextToJson(value->ValueData)},
                            {"targetOs", TextToJson(value->TargetOs)}});
  }
  document["registry"] = std::move(registry);
  document["shortcutFolders"] = TextList(lists.ShotCutFolderList);

  Json shortcuts = Json::array();
  for (const auto& link : lists.ShotCutList) {
    shortcuts.push_back(Json{{"kind", LinkKindToJson(link->LinkKind)},
                             {"folder", TextToJson(link->LinkFolder)},
                             {"name", TextToJson(link->LinkName)},
                             {"target", TextToJson(link->LinkTarget)},
                             {"arguments", TextToJson(link->LinkArguments)},
                             {"description", TextToJson(link->LinkDescription)}});
  }
  document["shortcuts"] = std::move(shortcuts);

  Json components = Json::array();
  for (const auto& component : lists.CompList) {
    components.push_back(
        Json{{"name", TextToJson(component->CompName)}, {"size", component->CompSize}});
  }
  document["components"] = std::move(components);
  return document;
}

}  // namespace tool
