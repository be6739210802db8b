// Text at the tool's edges. The tool prints and reads UTF-8; the package and the runtime's
// errors (sys::Error) hold GBK. Failures of the tool itself carry UTF-8 text (tool::Failure).
#pragma once

#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tool {

// A failure of the tool's own (bad input, unreadable file); the message is UTF-8.
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The tool's own messages are UTF-8, but plain literals with Chinese in them are GBK in this
// build; messages write u8"..." and pass it through here.
inline std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// GBK to UTF-8 for messages: bytes that are not valid GBK come out as \xNN instead of failing,
// because a damaged package may hold anything.
std::string GbkToUtf8Lossy(std::string_view gbk);

// Host paths from and to UTF-8, the tool's text (arguments, JSON, messages). A narrow
// std::filesystem::path is read in the ANSI code page on Windows, so the tool makes and spells
// its paths through these; on Linux they change nothing.
std::filesystem::path HostPath(std::string_view utf8);
std::string PathText(const std::filesystem::path& path);
// With "/" between the parts on every system (paths written into project files).
std::string GenericPathText(const std::filesystem::path& path);

// The UTF-8 message of any exception the commands let through.
std::string DescribeError(const std::exception& error);

}  // namespace tool
