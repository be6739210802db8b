#include "system/sandbox/ProtectedFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <system_error>

namespace sys::sandbox {
namespace {

namespace fs = std::filesystem;

std::string MarkName(const struct stat& info) {
  return std::to_string(info.st_dev) + "-" + std::to_string(info.st_ino);
}

}  // namespace

bool ProtectedFiles::Mark(int fd, const fs::path& host) const {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return false;
  std::error_code ec;
  fs::create_directories(folder_, ec);
  const fs::path mark = folder_ / MarkName(info);
  fs::remove(mark, ec);
  return ::link(host.c_str(), mark.c_str()) == 0;
}

bool ProtectedFiles::IsMarked(int fd) const {
  struct stat open {};
  struct stat marked {};
  if (::fstat(fd, &open) != 0) return false;
  if (::lstat((folder_ / MarkName(open)).c_str(), &marked) != 0) return false;
  return marked.st_dev == open.st_dev && marked.st_ino == open.st_ino;
}

void ProtectedFiles::DropOrphans() const {
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    struct stat info {};
    if (::lstat(it->path().c_str(), &info) == 0 && info.st_nlink <= 1) ::unlink(it->path().c_str());
  }
}

}  // namespace sys::sandbox
