// The one exception type of the runtime. Its message is the user-facing text in GBK, exactly as
// the window layer shows it ("error", "Failed to create key %s" with the key filled in, ...).
// Operating-system detail (GetLastError, errno) travels separately in osCode(), for tests and
// diagnostics, so that the win32 and sandbox platforms raise the same text for the same failure.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace sys {

// An exception that carries its message, the base of the runtime's own error types. It takes
// the place of std::runtime_error, whose copy-on-write string and exception sources would cost
// each program about 57 KB; what() returns the message's bytes as given.
class MessageError : public std::exception {
 public:
  explicit MessageError(std::string message) : message_(std::move(message)) {}

  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

class Error : public MessageError {
 public:
  explicit Error(const std::string& message, uint32_t osCode = 0)
      : MessageError(message), osCode_(osCode) {}

  uint32_t osCode() const { return osCode_; }

 private:
  uint32_t osCode_;
};

// The framework's silent abort: ends the current operation without any message box (a refused
// elevation prompt). The top-level handler swallows it instead of reporting it.
class Abort : public Error {
 public:
  Abort() : Error("Operation aborted") {}
};

// Windows error codes the shared code reasons about; both platforms report these values.
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorNoUnicodeTranslation = 1113;
inline constexpr uint32_t kErrorCancelled = 1223;

// Texts of the file and stream layer. %s stands for the path.
inline constexpr const char* kCannotCreateFile = "Cannot create file \"%s\"";
inline constexpr const char* kCannotOpenFile = "Cannot open file \"%s\"";
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";
// A write that failed part way into a named file (disk full, the volume gone).
inline constexpr const char* kCannotWriteFile = "Cannot write file \"%s\"";
// A path from the system that GBK cannot spell and that has no short form that it can: a user
// or folder named with characters outside the Chinese code page.
inline constexpr const char* kPathOutsideGbk =
    "The path \"%s\" has characters the Chinese code page cannot hold";
// The run's own files changed under it: the setup program's file is not the one that runs, an
// unpacked file differs from the package, a folder for them lies behind a link.
inline constexpr const char* kSetupProgramReplaced = "安装程序文件已被替换，安装已停止";
inline constexpr const char* kUnpackedFileChanged = "临时文件\"%s\"已被更改，安装已停止";
inline constexpr const char* kUnsafeFolder = "文件夹\"%s\"是一个链接，安装已停止";
// Texts of the registry layer. %s stands for the key path or the value name.
inline constexpr const char* kFailedToCreateKey = "Failed to create key %s";
inline constexpr const char* kFailedToSetData = "Failed to set data for '%s'";
inline constexpr const char* kFailedToGetData = "Failed to get data for '%s'";
inline constexpr const char* kInvalidDataType = "Invalid data type for '%s'";
// Text from the UTF-8 world (an answers file) that is not UTF-8 or holds what GBK cannot.
inline constexpr const char* kNotUtf8Text = "The text is not UTF-8 the Chinese code page can hold";

// Fills the one %s of a message template.
std::string Format(const char* messageTemplate, const std::string& argument);

}  // namespace sys
