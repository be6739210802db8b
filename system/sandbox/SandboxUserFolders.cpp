// The writes and removals of SandboxPlatform below a folder the user can change. A host symbolic
// link stands for a junction, a symbolic link or a mount point: any level below the anchor that
// is one refuses the operation. Once the levels are checked the ordinary file operations do the
// work (faults included): nothing can change the simulated machine between check and act.
#include <filesystem>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/SandboxPlatform.h"

namespace sys::sandbox {
namespace {

namespace fs = std::filesystem;

bool IsLeadByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 0x81 && u <= 0xFE;
}

}  // namespace

std::optional<std::vector<std::string>> SandboxPlatform::LevelsBelow(const std::string& anchor,
                                                                     const std::string& path) const {
  auto top = mapper_.Normalize(anchor);
  auto full = mapper_.Normalize(path);
  if (!top || !full) return std::nullopt;
  const std::string prefix = top->back() == '\\' ? *top : *top + "\\";
  if (full->size() <= prefix.size() || !StartsWithText(*full, prefix)) return std::nullopt;
  std::vector<std::string> levels;
  for (size_t i = prefix.size(); i < full->size(); ++i) {
    if (IsLeadByte((*full)[i])) {
      ++i;
    } else if ((*full)[i] == '\\') {
      levels.push_back(full->substr(0, i));
    }
  }
  levels.push_back(*full);
  return levels;
}

bool SandboxPlatform::IsLink(const std::string& level) const {
  auto host = mapper_.ToHost(level);
  std::error_code ec;
  return !host || fs::is_symlink(fs::symlink_status(*host, ec));
}

bool SandboxPlatform::CreateFoldersBelow(const std::string& anchor, const std::string& path) {
  auto levels = LevelsBelow(anchor, path);
  if (!levels || !DirectoryExists(anchor)) return false;
  for (const std::string& level : *levels) {
    if (IsLink(level)) return false;
    if (!DirectoryExists(level) && (FileExists(level) || !ForceDirectories(level))) return false;
  }
  return true;
}

bool SandboxPlatform::WriteNewFileBelow(const std::string& anchor, const std::string& path,
                                        const std::string& bytes) {
  auto levels = LevelsBelow(anchor, path);
  if (!levels || !DirectoryExists(anchor)) return false;
  for (const std::string& level : *levels) {
    if (IsLink(level)) return false;
  }
  auto host = mapper_.ToHost(path);
  std::error_code ec;
  if (!host || fs::exists(fs::symlink_status(*host, ec))) return false;
  try {
    CreateForWrite(path)->Write(bytes.data(), bytes.size());
    return true;
  } catch (const Error&) {
    RemoveFile(path);
    return false;
  }
}

Removal SandboxPlatform::RemoveBelow(const std::string& anchor, const std::string& path) {
  auto levels = LevelsBelow(anchor, path);
  if (!levels) return Removal::Failed;
  for (const std::string& level : *levels) {
    if (IsLink(level)) return Removal::Failed;
  }
  if (FileExists(path)) return RemoveFile(path) ? Removal::Removed : Removal::Failed;
  return RemoveEmptyFolder(path);
}

}  // namespace sys::sandbox
