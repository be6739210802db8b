// The files and folders of SandboxPlatform: host files below ROOT/drive_x, with injected faults.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include <algorithm>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/Encoding.h"
#include "system/sandbox/SandboxFileStream.h"
#include "system/sandbox/SandboxPlatform.h"

namespace sys::sandbox {
namespace {

namespace fs = std::filesystem;

// FILETIME counts 100-ns ticks from 1601-01-01; Unix time counts from 1970-01-01.
constexpr int64_t kUnixEpochTicks = 116444736000000000LL;
constexpr int64_t kTicksPerSecond = 10'000'000;

bool IsFile(const fs::path& host) {
  std::error_code ec;
  return fs::is_regular_file(host, ec);
}

bool IsFolder(const fs::path& host) {
  std::error_code ec;
  return fs::is_directory(host, ec);
}

// The Windows code for a file that cannot be opened or created there.
uint32_t MissingCode(const fs::path& host) {
  return IsFolder(host.parent_path()) ? kErrorFileNotFound : kErrorPathNotFound;
}

// What mapping the path saw, where it looked; the host is asked only when it did not.
bool IsFile(const fs::path& host, HostEntry seen) {
  return seen == HostEntry::Unknown ? IsFile(host) : seen == HostEntry::File;
}

bool IsFolder(const fs::path& host, HostEntry seen) {
  return seen == HostEntry::Unknown ? IsFolder(host) : seen == HostEntry::Folder;
}

}  // namespace

bool SandboxPlatform::FileExists(const std::string& path) const {
  auto target = Map(path);
  return target && IsFile(target->host, target->seen);
}

bool SandboxPlatform::DirectoryExists(const std::string& path) const {
  auto target = Map(path);
  return target && IsFolder(target->host, target->seen);
}

std::vector<std::string> SandboxPlatform::ListFolders(const std::string& path) const {
  std::vector<std::string> names;
  auto target = Map(path);
  if (!target || !IsFolder(target->host, target->seen)) return names;
  std::error_code ec;
  for (fs::directory_iterator it(target->host, ec), end; !ec && it != end; it.increment(ec)) {
    if (!IsFolder(it->path())) continue;
    std::string hostName = it->path().filename().string();
    // Host-side dot folders stand for hidden ones.
    if (hostName.empty() || hostName[0] == '.') continue;
    try {
      names.push_back(Utf8ToGbk(hostName));
    } catch (const Error&) {
      // A host name no GBK path can name is not part of the simulated machine.
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return AsciiLower(a) < AsciiLower(b);
  });
  return names;
}

bool SandboxPlatform::ForceDirectories(const std::string& path) {
  auto target = Map(path);
  if (!target) return false;
  if (faults_.Match(FaultOp::Directory, target->windows)) return false;
  // A missing drive cannot be created by making folders on it.
  if (!IsFolder(mapper_.DriveFolder(target->windows[0]))) return false;
  if (IsFolder(target->host, target->seen)) return true;
  if (steps_->Next("folder " + target->windows)) return false;
  std::error_code ec;
  // The listing of the folder it lies in takes the new name, so that many folders made side by
  // side cost no rescan each (a level made above it changes a time stamp, which rescans).
  if (fs::create_directories(target->host, ec)) mapper_.NoteAdded(target->host);
  return IsFolder(target->host);
}

std::unique_ptr<Stream> SandboxPlatform::OpenForRead(const std::string& path) {
  std::string message = Format(kCannotOpenFile, path);
  auto target = Map(path);
  if (!target) throw Error(message, kErrorPathNotFound);
  if (auto fault = faults_.Match(FaultOp::Open, target->windows)) throw Error(message, fault->osCode);
  if (IsFolder(target->host, target->seen)) throw Error(message, kErrorAccessDenied);
  int fd = ::open(target->host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    uint32_t code = errno == ENOENT ? MissingCode(target->host) : WindowsErrorFromErrno(errno);
    throw Error(message, code);
  }
  return std::make_unique<SandboxFileStream>(fd, std::nullopt);
}

std::unique_ptr<Stream> SandboxPlatform::CreateWritable(const std::string& path, const std::optional<Target>& target) {
  const std::string message = Format(kCannotCreateFile, path);
  if (!target) throw Error(message, kErrorPathNotFound);
  if (auto fault = faults_.Match(FaultOp::Create, target->windows)) throw Error(message, fault->osCode);
  if (IsFolder(target->host, target->seen)) throw Error(message, kErrorAccessDenied);
  if (auto code = steps_->Next("create", target->windows)) throw Error(message, *code);
  int fd = ::open(target->host.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw Error(message, errno == ENOENT ? MissingCode(target->host) : WindowsErrorFromErrno(errno));
  mapper_.NoteAdded(target->host);
  return std::make_unique<SandboxFileStream>(fd, faults_.Match(FaultOp::Write, target->windows), steps_,
                                             target->windows);
}

std::unique_ptr<Stream> SandboxPlatform::CreateForWrite(const std::string& path) {
  return CreateWritable(path, Map(path));
}

std::unique_ptr<Stream> SandboxPlatform::CreateIfNoFile(const std::string& path,
                                                        const std::function<void()>& beforeCreate) {
  // One mapping serves the look and the create: nothing in between changes the host but
  // beforeCreate, and it writes elsewhere.
  auto target = Map(path);
  if (target && IsFile(target->host, target->seen)) return nullptr;
  beforeCreate();
  return CreateWritable(path, target);
}

std::optional<std::string> SandboxPlatform::ReadAll(const std::string& path) const {
  auto target = Map(path);
  if (!target || !IsFile(target->host, target->seen) || faults_.Match(FaultOp::Open, target->windows))
    return std::nullopt;
  std::ifstream in(target->host, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SandboxPlatform::RemoveFile(const std::string& path) {
  auto target = Map(path);
  if (!target || !IsFile(target->host, target->seen)) return false;
  if (faults_.Match(FaultOp::Remove, target->windows)) return false;
  if (steps_->Next("remove " + target->windows)) return false;
  if (::unlink(target->host.c_str()) != 0) return false;
  mapper_.NoteRemoved(target->host);
  protectedFiles_.DropOrphans();
  return true;
}

Removal SandboxPlatform::RemoveEmptyFolder(const std::string& path) {
  auto target = Map(path);
  if (!target || !IsFolder(target->host, target->seen)) return Removal::Failed;
  // "C:\" is the drive itself, which RemoveDirectory refuses.
  if (target->host == mapper_.DriveFolder(target->windows[0])) return Removal::Failed;
  if (faults_.Match(FaultOp::Remove, target->windows)) return Removal::Failed;
  if (steps_->Next("remove folder " + target->windows)) return Removal::Failed;
  if (::rmdir(target->host.c_str()) != 0) {
    return errno == ENOTEMPTY || errno == EEXIST ? Removal::NotEmpty : Removal::Failed;
  }
  mapper_.NoteRemoved(target->host);
  return Removal::Removed;
}

bool SandboxPlatform::RemoveAtRestart(const std::string& path) {
  auto target = Map(path);
  if (!target || faults_.Match(FaultOp::RestartMark, target->windows)) return false;
  if (steps_->Next("mark for restart " + target->windows)) return false;
  nlohmann::ordered_json line;
  line["op"] = "removeAtRestart";
  line["path"] = GbkToUtf8(target->windows);
  journal_.Append(line);
  return true;
}

bool SandboxPlatform::CopyNewFile(const std::string& source, const std::string& target) {
  auto from = Map(source);
  auto to = Map(target);
  if (!from || !to || !IsFile(from->host, from->seen)) return false;
  std::error_code ec;
  if (fs::exists(fs::symlink_status(to->host, ec)) || !IsFolder(to->host.parent_path())) return false;
  if (faults_.Match(FaultOp::Copy, to->windows)) return false;
  if (steps_->Next("copy to " + to->windows)) return false;
  if (!fs::copy_file(from->host, to->host, fs::copy_options::none, ec)) return false;
  mapper_.NoteAdded(to->host);
  // CopyFile keeps the source's last-write time.
  auto time = fs::last_write_time(from->host, ec);
  if (!ec) fs::last_write_time(to->host, time, ec);
  return true;
}

bool SandboxPlatform::MoveReplacing(const std::string& source, const std::string& target) {
  auto from = Map(source);
  auto to = Map(target);
  if (!from || !to || !IsFile(from->host, from->seen) || IsFolder(to->host, to->seen)) return false;
  if (faults_.Match(FaultOp::Move, to->windows)) return false;
  if (from->host == to->host) return true;
  if (steps_->Next("move to " + to->windows)) return false;
  if (::rename(from->host.c_str(), to->host.c_str()) != 0) return false;
  mapper_.NoteRemoved(from->host);
  mapper_.NoteAdded(to->host);
  protectedFiles_.DropOrphans();
  return true;
}

bool SandboxPlatform::SetLastWriteTime(const std::string& path, FileTime utc) {
  auto target = Map(path);
  if (!target || !IsFile(target->host, target->seen)) return false;
  if (steps_->Next("set time " + target->windows)) return false;
  const struct timespec times[2] = {{0, UTIME_OMIT}, HostTime(utc)};
  return ::utimensat(AT_FDCWD, target->host.c_str(), times, 0) == 0;
}

std::optional<FileTime> SandboxPlatform::LastWriteTime(const std::string& path) const {
  auto target = Map(path);
  struct stat info {};
  if (!target || ::stat(target->host.c_str(), &info) != 0) return std::nullopt;
  int64_t ticks = static_cast<int64_t>(info.st_mtim.tv_sec) * kTicksPerSecond + info.st_mtim.tv_nsec / 100;
  return static_cast<FileTime>(ticks + kUnixEpochTicks);
}

}  // namespace sys::sandbox
