#include "engine/ComponentStep.h"

#include <string>
#include <vector>

#include "package/uSystem.h"
#include "system/Gbk.h"
#include "system/Platform.h"

namespace {

// Stands for the Windows folder at the front of a SysDirList target; compared in exact case.
const std::string kSystemDirectoryMarker = "[System Directory]\\\\";

void InstallComponent(TCompile& compile, const std::string& compName) {
  sys::Platform& platform = compile.platform();
  std::string settings = FindComponentFile(compile, compName, compName + ".ini");
  if (settings.empty()) return;

  // Case-sensitive on purpose: "system" has always meant copying.
  if (platform.ProfileString(settings, "RegistryList", "Regtype", "System") == "System") {
    std::string exeFile = platform.ProfileString(settings, "Option", "ExeFile", "");
    std::string program = FindComponentFile(compile, compName, exeFile);
    if (!program.empty() && platform.FileExists(program)) RunAndWait(platform, program, "");
    return;
  }
  for (const std::string& key : platform.ProfileKeys(settings, "SysDirList")) {
    std::string source = FindComponentFile(compile, compName, key);
    std::string target = platform.ProfileString(settings, "SysDirList", key, "");
    if (!source.empty() && !target.empty()) CopyToWindowsDir(platform, source, target);
  }
}

}  // namespace

void InstallComponents(TCompile& compile) {
  for (const auto& component : compile.CompList) InstallComponent(compile, component->CompName);
}

std::string FindComponentFile(const TCompile& compile, const std::string& compName,
                              const std::string& name) {
  if (name.empty()) return {};
  for (const auto& entry : compile.FileList) {
    if (entry->EntryKind == package::kEntryComponentFile &&
        sys::SameText(entry->EntryName, compName) && sys::ContainsText(entry->SourcePath, name)) {
      return entry->SourcePath;
    }
  }
  return {};
}

bool RunAndWait(sys::Platform& platform, const std::string& file, const std::string& parameters) {
  sys::ShellRequest request;
  request.file = file;
  request.parameters = parameters;
  request.showCommand = sys::kSwShowNormal;
  return platform.ShellRunAndWait(request).started;
}

void CopyToWindowsDir(sys::Platform& platform, const std::string& source, const std::string& target) {
  std::string path = target;
  size_t marker = target.find(kSystemDirectoryMarker);
  if (marker != std::string::npos) {
    // What follows the marker is the path below the Windows folder, wherever the marker stands.
    path = platform.WindowsDirectory() + "\\" + target.substr(marker + kSystemDirectoryMarker.size());
  }
  platform.CopyNewFile(source, path);
}
