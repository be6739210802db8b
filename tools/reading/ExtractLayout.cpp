#include "tools/reading/ExtractLayout.h"

#include <cctype>
#include <string>
#include <vector>

#include "package/EntryNames.h"
#include "system/Error.h"
#include "system/sandbox/Encoding.h"
#include "tools/host/ToolText.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

// Splits at "\" and "/", stepping over GBK double-byte characters; empty parts are dropped.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < path.size()) {
      part += path.substr(i++, 2);
    } else if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += static_cast<char>(c);
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

[[noreturn]] void Unsafe(const std::string& what, const std::string& text) {
  throw Failure("unsafe " + what + " '" + GbkToUtf8Lossy(text) + "'");
}

// One path component: a safe name, in UTF-8 for the host.
fs::path Component(std::string name, const std::string& what, const std::string& whole) {
  // "C:" of an absolute destination becomes the folder "C".
  if (name.size() == 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))) {
    name.resize(1);
  }
  try {
    return HostPath(sys::sandbox::GbkToUtf8(package::SafeFolderName(name)));
  } catch (const sys::Error&) {
    Unsafe(what, whole);
  }
}

fs::path FileName(const TCompileFileData& entry) {
  try {
    return HostPath(sys::sandbox::GbkToUtf8(package::SafeEntryFileName(entry.SourcePath)));
  } catch (const sys::Error&) {
    Unsafe("source", entry.SourcePath);
  }
}

}  // namespace

fs::path ExtractPath(const TCompileFileData& entry) {
  switch (entry.EntryKind) {
    case package::kEntryFile: {
      fs::path path = "files";
      for (const std::string& part : SplitPath(entry.DestFolder)) {
        path /= Component(part, "destFolder", entry.DestFolder);
      }
      return path / FileName(entry);
    }
    case package::kEntryRegFile:
      return fs::path("Reg") / FileName(entry);
    case package::kEntryComponentFile: {
      fs::path path = fs::path("Comp") / Component(entry.EntryName, "name", entry.EntryName);
      if (entry.SourcePath.size() <= entry.DestFolder.size()) Unsafe("source", entry.SourcePath);
      const std::string rest = entry.SourcePath.substr(entry.DestFolder.size());
      try {
        package::CheckRelativeEntryPath(rest);
      } catch (const sys::Error&) {
        Unsafe("source", entry.SourcePath);
      }
      for (const std::string& part : SplitPath(rest)) {
        if (part != ".") path /= Component(part, "source", entry.SourcePath);
      }
      return path;
    }
    case package::kEntryResource:
      return fs::path("Info") / FileName(entry);
    case package::kEntryUninstaller:
      return fs::path("Uninstaller") / FileName(entry);
    case package::kEntryFolder:
      throw Failure("a folder entry has no content");
    default:
      return fs::path("Other") / FileName(entry);
  }
}

}  // namespace tool
