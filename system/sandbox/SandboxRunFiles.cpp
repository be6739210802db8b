// The run's own files and the relaunch's hand-back on SandboxPlatform. The sandbox simulates no sharing and no access lists:
// a held file is simply open, and a protected file is one marked by ProtectedFiles. What it does check is what a test can play as the attacker on a
// host folder: links (symbolic links standing for junctions) above a private folder, names
// taken before the run, and a program file replaced by name while the run holds the original.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"
#include "system/sandbox/SandboxFileStream.h"
#include "system/sandbox/SandboxPlatform.h"

namespace sys::sandbox {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 16;

// True when host, or any folder between the drive folder and it, is a symbolic link.
bool PassesThroughLink(const fs::path& driveFolder, const fs::path& host) {
  fs::path walked = driveFolder;
  const fs::path below = host.lexically_relative(driveFolder);
  for (const fs::path& part : below) {
    if (part.empty() || part == ".") continue;
    walked /= part;
    std::error_code ec;
    if (fs::is_symlink(walked, ec)) return true;
  }
  return false;
}

std::string RandomFolderName() {
  std::random_device random;
  char name[16];
  std::snprintf(name, sizeof name, "~stp%08x", static_cast<unsigned>(random()));
  return name;
}

}  // namespace

std::unique_ptr<Stream> SandboxPlatform::HoldOwnImage() { return OpenForRead(ExePath()); }

std::string SandboxPlatform::CreatePrivateFolder(const std::string& parent) {
  auto target = Map(parent);
  if (!target) throw Error(Format(kCannotCreateFile, parent), kErrorPathNotFound);
  if (PassesThroughLink(mapper_.DriveFolder(target->windows[0]), target->host)) {
    throw Error(Format(kUnsafeFolder, parent), kErrorAccessDenied);
  }
  std::string base = target->windows;
  if (base.back() != '\\') base += '\\';
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = RandomFolderName();
    if (::mkdir((target->host / name).c_str(), 0700) == 0) {
      mapper_.NoteAdded(target->host / name);
      return base + name;
    }
    if (errno != EEXIST) break;
  }
  throw Error(Format(kCannotCreateFile, base), kErrorAlreadyExists);
}

std::unique_ptr<Stream> SandboxPlatform::CreateNewFile(const std::string& path) {
  const std::string message = Format(kCannotCreateFile, path);
  auto target = Map(path);
  if (!target) throw Error(message, kErrorPathNotFound);
  if (auto fault = faults_.Match(FaultOp::Create, target->windows)) throw Error(message, fault->osCode);
  // O_EXCL also refuses a link in the file's place, dangling or not.
  int fd = ::open(target->host.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    const uint32_t code = errno == EEXIST   ? kErrorFileExists
                          : errno == ENOENT ? kErrorPathNotFound
                                            : WindowsErrorFromErrno(errno);
    throw Error(message, code);
  }
  mapper_.NoteAdded(target->host);
  return std::make_unique<SandboxFileStream>(fd, faults_.Match(FaultOp::Write, target->windows));
}

std::unique_ptr<Stream> SandboxPlatform::HoldForRead(const std::string& path) {
  return OpenForRead(path);
}

std::unique_ptr<Stream> SandboxPlatform::CreateProtectedFile(const std::string& path) {
  const std::string message = Format(kCannotCreateFile, path);
  auto target = Map(path);
  if (!target) throw Error(message, kErrorPathNotFound);
  if (auto fault = faults_.Match(FaultOp::Create, target->windows)) throw Error(message, fault->osCode);
  if (auto code = steps_->Next("create " + target->windows)) throw Error(message, *code);
  // unlink takes a link itself, never what it points to; O_EXCL refuses whatever comes back.
  if (::unlink(target->host.c_str()) == 0) mapper_.NoteRemoved(target->host);
  int fd = ::open(target->host.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    throw Error(message, errno == ENOENT ? kErrorPathNotFound : WindowsErrorFromErrno(errno));
  }
  mapper_.NoteAdded(target->host);
  protectedFiles_.DropOrphans();
  if (elevated_ && !protectedFiles_.Mark(fd, target->host)) {
    const uint32_t code = WindowsErrorFromErrno(errno);
    ::close(fd);
    ::unlink(target->host.c_str());
    mapper_.NoteRemoved(target->host);
    throw Error(message, code);
  }
  return std::make_unique<SandboxFileStream>(fd, faults_.Match(FaultOp::Write, target->windows),
                                             steps_, target->windows);
}

bool SandboxPlatform::OnlyAdministratorsCanChange(const Stream& file) const {
  const auto* stream = dynamic_cast<const SandboxFileStream*>(&file);
  return stream && protectedFiles_.IsMarked(stream->fd());
}

bool SandboxPlatform::CreateProtectedFolder(const std::string& path) {
  auto target = Map(path);
  if (!target || faults_.Match(FaultOp::Directory, target->windows)) return false;
  if (::mkdir(target->host.c_str(), 0755) != 0) return false;
  mapper_.NoteAdded(target->host);
  nlohmann::ordered_json line;
  line["op"] = "protectedFolder";
  line["path"] = GbkToUtf8(target->windows);
  journal_.Append(line);
  return true;
}

std::string SandboxPlatform::CreateHandBack() {
  handBack_.emplace();
  return "/HANDBACK=sandbox";
}

std::vector<std::string> SandboxPlatform::TakeHandBack() {
  std::vector<std::string> paths = handBack_.value_or(std::vector<std::string>());
  handBack_.reset();
  return paths;
}

bool SandboxPlatform::HandBack(const std::vector<std::string>& paths) {
  if (!handBack_) return false;
  handBack_->insert(handBack_->end(), paths.begin(), paths.end());
  nlohmann::ordered_json line;
  line["op"] = "handBack";
  line["paths"] = nlohmann::ordered_json::array();
  for (const std::string& path : paths) line["paths"].push_back(GbkToUtf8(path));
  journal_.Append(line);
  return true;
}

}  // namespace sys::sandbox
