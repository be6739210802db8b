#include "engine/DestinationRules.h"

#include <string_view>

#include "package/uCommon.h"
#include "system/Gbk.h"

namespace {

constexpr std::string_view kProgramFilesRoot = "目标计算机\\Program Files\\";
constexpr std::string_view kWindowsRoot = "目标计算机\\Windows\\";
constexpr std::string_view kAbsoluteRoot = "指定目录\\";
// The roots are cut by these byte lengths; they hold only when literals are compiled to GBK.
static_assert(kProgramFilesRoot.size() == 25 && kWindowsRoot.size() == 19 &&
              kAbsoluteRoot.size() == 9);

std::string JoinComponents(const TStringList& parts, size_t count) {
  std::string joined;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) joined += '\\';
    joined += parts[i];
  }
  return joined;
}

// The text after the root, when the root occurs in it; the root is cut by its length from the
// start, whatever precedes it.
bool CutRoot(const std::string& path, std::string_view root, std::string& rest) {
  if (!sys::ContainsText(path, root)) return false;
  rest = path.substr(root.size());
  return true;
}

}  // namespace

std::string TrimBackslash(const std::string& path) {
  if (path.empty() || path.back() != '\\' || !sys::IsCharStart(path, path.size() - 1)) return path;
  return path.substr(0, path.size() - 1);
}

std::string MapUnderInstallDir(const std::string& installDir, const std::string& remainder) {
  TStringList installParts;
  TStringList remainderParts;
  SplitText(installDir, "\\", installParts);
  SplitText(remainder, "\\", remainderParts);
  if (remainderParts.empty()) return TrimBackslash(installDir + "\\" + remainder);
  size_t keep = installParts.size();
  for (size_t i = 0; i < installParts.size(); ++i) {
    if (sys::SameText(installParts[i], remainderParts.front())) {
      keep = i;
      break;
    }
  }
  return TrimBackslash(JoinComponents(installParts, keep) + "\\" + remainder);
}

std::string ResolveDestFolder(const std::string& path, const engine::DestinationRoots& roots,
                              const std::function<void(const std::string& folder)>& afterRule) {
  std::string folder = path;
  std::string rest;
  auto applied = [&] {
    if (afterRule) afterRule(folder);
  };
  if (CutRoot(folder, kProgramFilesRoot, rest)) {
    folder = MapUnderInstallDir(roots.installDir, rest);
    applied();
  }
  if (CutRoot(folder, kWindowsRoot, rest)) {
    folder = TrimBackslash(roots.windowsDir + "\\" + rest);
    applied();
  }
  if (CutRoot(folder, kAbsoluteRoot, rest)) {
    folder = TrimBackslash(rest);
    applied();
  }
  return folder;
}
