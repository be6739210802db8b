#include "tools/project/ProjectLint.h"

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <vector>

#include "package/EntryNames.h"
#include "package/uCommon.h"
#include "package/uTypes.h"
#include "system/Gbk.h"
#include "tools/host/ToolText.h"
#include "tools/project/NameSuggestion.h"
#include "tools/project/ProjectJson.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

std::string Indexed(const char* list, size_t index) {
  return std::string(list) + "[" + std::to_string(index) + "]";
}

std::string Quoted(const std::string& gbk) { return "'" + GbkToUtf8Lossy(gbk) + "'"; }

class Linter {
 public:
  explicit Linter(ProjectDocument& project) : project_(project), lists_(project.lists) {}

  void Run() {
    CheckCaptions();
    CheckEssentials();
    CheckPages();
    CheckSettingReferences();
    CheckDuplicateDestinations();
    CheckComponents();
    CheckShortcuts();
  }

 private:
  void Warn(const std::string& path, const std::string& message) {
    project_.warnings.push_back({path, message, {}});
  }

  // The last setting of that caption in that group (the runtime's "last wins").
  std::optional<size_t> Setting(uint8_t group, const char* caption) const {
    std::optional<size_t> found;
    for (size_t i = 0; i < lists_.InfoList.size(); ++i) {
      const TCompileData& item = *lists_.InfoList[i];
      if (item.Group == group && sys::SameText(item.Caption, caption)) found = i;
    }
    return found;
  }
  std::string Value(uint8_t group, const char* caption) const {
    auto index = Setting(group, caption);
    return index ? lists_.InfoList[*index]->Value : std::string();
  }
  bool SwitchOn(uint8_t group, const char* caption) const {
    return Value(group, caption) == package::kSwitchOn;
  }
  bool IsPatch() const {
    auto index = Setting(package::kGroupBasic, package::kCaptionPatch);
    return index && lists_.InfoList[*index]->Value != "0" &&
           !sys::SameText(lists_.InfoList[*index]->Value, "False");
  }
  bool WizardOn() const {
    auto index = Setting(package::kGroupBasic, package::kCaptionShowWizard);
    return !index || lists_.InfoList[*index]->Value == package::kSwitchOn;
  }

  static std::vector<std::string> Vocabulary(uint8_t group) {
    auto list = [](const char* const* captions, size_t count) {
      return std::vector<std::string>(captions, captions + count);
    };
    switch (group) {
      case package::kGroupBasic: {
        std::vector<std::string> captions;
        for (size_t i = 0; i < package::kBasicSettingCount; ++i)
          captions.push_back(package::BasicSettings[2 * i]);
        captions.push_back(package::kCaptionPatch);
        return captions;
      }
      case package::kGroupPages:
        return list(package::PageNames, package::kPageCount);
      case package::kGroupWelcome:
        return list(package::WelcomeCaptions, 3);
      case package::kGroupLicense:
        return list(package::LicenseCaptions, 2);
      case package::kGroupReadme:
        return list(package::ReadmeCaptions, 2);
      case package::kGroupStartMenu:
        return list(package::StartMenuCaptions, 4);
      case package::kGroupComponents:
        return list(package::ComponentCaptions, 1);
      case package::kGroupInstallDir:
        return list(package::InstallDirCaptions, 3);
      case package::kGroupTasks:
        return list(package::TaskCaptions, 3);
      case package::kGroupReady:
        return list(package::ReadyCaptions, 1);
      case package::kGroupProgress:
        return list(package::ProgressCaptions, 2);
      case package::kGroupFinish:
        return list(package::FinishCaptions, 3);
      default: return {};
    }
  }

  void CheckCaptions() {
    for (size_t i = 0; i < lists_.InfoList.size(); ++i) {
      const TCompileData& item = *lists_.InfoList[i];
      std::vector<std::string> known = Vocabulary(item.Group);
      if (known.empty()) {
        Warn(Indexed("settings", i) + ".group",
             "group " + std::to_string(item.Group) + " is read by nothing (0, 1, 2, 3 and 5..12 are)");
        continue;
      }
      bool found = false;
      for (const std::string& caption : known) found = found || sys::SameText(item.Caption, caption);
      if (found) continue;
      std::vector<std::string> knownUtf8;
      for (const std::string& caption : known) knownUtf8.push_back(GbkToUtf8Lossy(caption));
      std::string hint = ClosestName(GbkToUtf8Lossy(item.Caption), knownUtf8);
      Warn(Indexed("settings", i) + ".caption",
           Quoted(item.Caption) + " is no caption of group " + std::to_string(item.Group) +
               ", so nothing reads it" + (hint.empty() ? "" : " (did you mean '" + hint + "'?)"));
    }
  }

  bool InstallsBelowProgramFiles() const {
    const char* root = "目标计算机\\Program Files\\";
    for (const std::string& folder : lists_.FileFolderList) {
      if (sys::StartsWithText(folder, root)) return true;
    }
    for (const auto& entry : lists_.FileList) {
      if ((entry->EntryKind == package::kEntryFile || entry->EntryKind == package::kEntryFolder) &&
          sys::StartsWithText(entry->DestFolder, root)) {
        return true;
      }
    }
    return false;
  }

  void CheckEssentials() {
    auto name = Setting(package::kGroupBasic, package::kCaptionItemName);
    if (!name || lists_.InfoList[*name]->Value.empty()) {
      Warn(name ? Indexed("settings", *name) + ".value" : "settings",
           Utf8(u8"no product name (项目名称, group 0): every window title reads “”安装向导"));
    }
    // The setup program reads these two switches only when they are there: a missing one is
    // not "off" but skips the step altogether.
    if (!Setting(package::kGroupBasic, package::kCaptionShowLoading)) {
      Warn("settings",
           Utf8(u8"no 显示加载进度 (group 0): without it the setup unpacks none of its pictures, "
                u8"documents, registry scripts and component packages; give it 启用 or 禁用"));
    }
    if (WizardOn() && !IsPatch() &&
        !Setting(package::kGroupBasic, package::kCaptionShowBackground)) {
      Warn("settings",
           Utf8(u8"no 显示安装背景窗口 (group 0): without it the wizard never opens and nothing is "
                u8"installed; give it 启用 or 禁用"));
    }
    if (IsPatch()) return;
    if (InstallsBelowProgramFiles() && Value(package::kGroupInstallDir, "默认安装路径").empty()) {
      Warn("settings",
           Utf8(u8"no default install path (默认安装路径, group 8): files for 目标计算机\\Program "
                u8"Files\\ install below an empty folder (\\Product\\...) unless the user types one"));
    }
    bool uninstaller = false;
    for (const auto& entry : lists_.FileList)
      uninstaller = uninstaller || entry->EntryKind == package::kEntryUninstaller;
    if (!uninstaller) {
      Warn("files",
           "no uninstaller entry: the product cannot be uninstalled (the Uninstall registration "
           "has no UninstallString and Ins.log lands beside the setup program)");
    }
  }

  void CheckPages() {
    if (!WizardOn() || IsPatch()) return;
    bool anyPage = false;
    for (size_t rank = 0; rank < package::kPageCount; ++rank)
      anyPage = anyPage || SwitchOn(package::kGroupPages, package::PageNames[rank]);
    if (!anyPage) {
      Warn("settings",
           Utf8(u8"the wizard is on (显示安装界面) but no page is switched on (group 1): the setup "
                u8"shows an empty wizard and installs nothing; switch pages on or the wizard off"));
      return;
    }
    if (!SwitchOn(package::kGroupPages, "安装进程")) {
      Warn("settings", Utf8(u8"the wizard has no 安装进程 page (group 1): it never installs anything"));
    }
    if (SwitchOn(package::kGroupPages, "安装协议") &&
        Value(package::kGroupLicense, "协议文件").empty()) {
      Warn(Indexed("settings", *Setting(package::kGroupPages, "安装协议")),
           Utf8(u8"the licence page is on but no licence file is named (协议文件, group 3)"));
    }
    if (SwitchOn(package::kGroupPages, "软件使用说明") &&
        Value(package::kGroupReadme, "说明文件").empty()) {
      Warn(Indexed("settings", *Setting(package::kGroupPages, "软件使用说明")),
           Utf8(u8"the readme page is on but no readme file is named (说明文件, group 5)"));
    }
  }

  bool HasSource(uint8_t kind, const std::string& source) const {
    for (const auto& entry : lists_.FileList) {
      if (entry->EntryKind == kind && sys::SameText(entry->SourcePath, source)) return true;
    }
    return false;
  }

  // Settings that name pictures, documents or the application should name an entry.
  void CheckSettingReferences() {
    static const char* const resourceCaptions[] = {"安装背景图片", "背景音乐", "背景图片",
                                                   "标题图片", "协议文件", "说明文件"};
    static const char* const fileCaptions[] = {"应用程序文件", "Readme文件"};
    for (size_t i = 0; i < lists_.InfoList.size(); ++i) {
      const TCompileData& setting = *lists_.InfoList[i];
      if (setting.Value.empty()) continue;
      for (const char* caption : resourceCaptions) {
        if (setting.Caption == caption && !HasSource(package::kEntryResource, setting.Value)) {
          Warn(Indexed("settings", i) + ".value",
               Quoted(setting.Value) + " is not the source of any resource entry");
        }
      }
      for (const char* caption : fileCaptions) {
        if (setting.Caption == caption && !HasSource(package::kEntryFile, setting.Value)) {
          Warn(Indexed("settings", i) + ".value",
               Quoted(setting.Value) + " is not the source of any file entry");
        }
      }
    }
  }

  // Two files for one place: the later one replaces the earlier when installing.
  void CheckDuplicateDestinations() {
    std::map<std::string, size_t> seen;
    for (size_t i = 0; i < lists_.FileList.size(); ++i) {
      const TCompileFileData& entry = *lists_.FileList[i];
      if (entry.EntryKind != package::kEntryFile) continue;
      std::string folder = entry.DestFolder;
      while (!folder.empty() && folder.back() == '\\' && sys::IsCharStart(folder, folder.size() - 1)) {
        folder.pop_back();
      }
      size_t cut = package::LastSeparator(entry.SourcePath);
      std::string name = cut == std::string::npos ? entry.SourcePath : entry.SourcePath.substr(cut + 1);
      std::string key = sys::AsciiLower(folder + "\\" + name) + "|" + entry.TargetOs;
      auto [it, inserted] = seen.emplace(key, i);
      if (!inserted) {
        Warn(project_.entryPaths.at(i),
             "installs to the same place as " + project_.entryPaths.at(it->second) + " (" +
                 Quoted(folder + "\\" + name) + "); only the later one stays");
      }
    }
  }

  std::vector<size_t> ComponentFiles(const std::string& name) const {
    std::vector<size_t> files;
    for (size_t i = 0; i < lists_.FileList.size(); ++i) {
      const TCompileFileData& entry = *lists_.FileList[i];
      if (entry.EntryKind == package::kEntryComponentFile && sys::SameText(entry.EntryName, name))
        files.push_back(i);
    }
    return files;
  }

  // As the runtime finds a component's file: the first whose source contains the name.
  std::optional<size_t> ComponentFile(const std::vector<size_t>& files, const std::string& name) const {
    if (name.empty()) return std::nullopt;
    for (size_t i : files) {
      if (sys::ContainsText(lists_.FileList[i]->SourcePath, name)) return i;
    }
    return std::nullopt;
  }

  void CheckComponents() {
    for (size_t c = 0; c < lists_.CompList.size(); ++c) {
      const std::string& name = lists_.CompList[c]->CompName;
      std::vector<size_t> files = ComponentFiles(name);
      auto settings = ComponentFile(files, name + ".ini");
      if (!settings) {
        Warn(Indexed("components", c),
             "component " + Quoted(name) + " has no file " + Quoted(name + ".ini") +
                 " among its files: nothing of it is installed");
        continue;
      }
      CheckComponentSettings(*settings, files);
    }
  }

  // The settings file as the runtime reads it (profile rules: sections and key=value lines).
  void CheckComponentSettings(size_t settingsEntry, const std::vector<size_t>& files) {
    std::ifstream input(project_.contents.at(settingsEntry), std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> sections;
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
      start = end == std::string::npos ? text.size() : end + 1;
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
      while (!line.empty() && line.front() == ' ') line.erase(0, 1);
      if (line.empty() || line[0] == ';') continue;
      if (line.front() == '[' && line.back() == ']') {
        section = sys::AsciiLower(line.substr(1, line.size() - 2));
        continue;
      }
      size_t equals = line.find('=');
      if (equals == std::string::npos) continue;
      sections[section].push_back({line.substr(0, equals), line.substr(equals + 1)});
    }
    auto value = [&](const char* sectionName, const char* key) -> std::optional<std::string> {
      for (const auto& [k, v] : sections[sectionName]) {
        if (sys::SameText(k, key)) return v;
      }
      return std::nullopt;
    };
    const std::string where = project_.entryPaths.at(settingsEntry);
    const std::string file = Quoted(lists_.FileList[settingsEntry]->SourcePath);
    if (value("registrylist", "Regtype").value_or("System") == "System") {
      std::string program = value("option", "ExeFile").value_or("");
      if (!ComponentFile(files, program)) {
        Warn(where, file + ": [Option] ExeFile=" + Quoted(program) +
                        " names no file of the component, so nothing runs");
      }
      return;
    }
    for (const auto& [key, target] : sections["sysdirlist"]) {
      if (!ComponentFile(files, key)) {
        Warn(where, file + ": [SysDirList] " + Quoted(key) + " names no file of the component");
      }
      const std::string marker = "[System Directory]\\";
      size_t at = target.find(marker);
      if (at != std::string::npos && target.compare(at, marker.size() + 1, marker + "\\") != 0) {
        Warn(where, file + ": [SysDirList] " + Quoted(key) +
                        ": the marker is [System Directory]\\\\ with two backslashes; with one, "
                        "the file is copied to a path that starts with the marker itself");
      }
    }
  }

  void CheckShortcuts() {
    for (size_t i = 0; i < lists_.ShotCutList.size(); ++i) {
      const TShotCutData& link = *lists_.ShotCutList[i];
      if (link.LinkKind != 0 || HasSource(package::kEntryFile, link.LinkTarget)) continue;
      Warn(Indexed("shortcuts", i) + ".target",
           Quoted(link.LinkTarget) +
               " is not the source of any file entry: the shortcut points at that path as it stands");
    }
  }

  ProjectDocument& project_;
  const TCustomCompile& lists_;
};

}  // namespace

void LintProject(ProjectDocument& project) { Linter(project).Run(); }

}  // namespace tool
