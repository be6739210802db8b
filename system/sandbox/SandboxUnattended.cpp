// What the administrator's switches need of the sandbox: the command line and elevation the
// test or simulate gave the machine, the one-run lock as a lock file in ROOT/locks (flock, so a
// second platform on the same root, in this process or another, finds it taken), and the
// conversions through iconv.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"
#include "system/sandbox/SandboxPlatform.h"

namespace sys::sandbox {
namespace {

class LockFileClaim : public RunClaim {
 public:
  explicit LockFileClaim(int fd) : fd_(fd) {}
  ~LockFileClaim() override { close(fd_); }
  LockFileClaim(const LockFileClaim&) = delete;
  LockFileClaim& operator=(const LockFileClaim&) = delete;

 private:
  int fd_;
};

}  // namespace

std::string SandboxPlatform::Arguments() const { return arguments_; }

bool SandboxPlatform::IsElevated() const { return elevated_; }

std::unique_ptr<RunClaim> SandboxPlatform::ClaimRun(const std::string& name) {
  std::filesystem::path folder = root() / "locks";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  std::string fileName = GbkToUtf8(name);
  for (char& c : fileName) {
    if (c == '/' || c == '\\') c = '_';
  }
  int fd = open((folder / fileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) throw Error(Format(kCannotCreateFile, name), kErrorAccessDenied);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<LockFileClaim>(fd);
}

std::string SandboxPlatform::ToUtf8(const std::string& gbk) const { return GbkToUtf8(gbk); }

std::string SandboxPlatform::FromUtf8(const std::string& utf8) const {
  try {
    return Utf8ToGbk(utf8);
  } catch (const Error&) {
    throw Error(kNotUtf8Text, kErrorNoUnicodeTranslation);
  }
}

void SandboxPlatform::SetArguments(const std::string& arguments) {
  arguments_ = arguments;
  // Blank-separated words, a quoted stretch counting as part of one: enough for ParamCount.
  int count = 0;
  bool inWord = false, quoted = false;
  for (char c : arguments) {
    if (c == '"') quoted = !quoted;
    bool blank = !quoted && (c == ' ' || c == '\t');
    if (!blank && !inWord) ++count;
    inWord = !blank;
  }
  SetExePath(ExePath(), count);
}

}  // namespace sys::sandbox
