#include "tools/HostFiles.h"

#include <cerrno>
#include <cstring>

#include "system/Error.h"
#include "tools/ToolText.h"
#include "tools/packager/HostFileStream.h"

namespace tool {
namespace {

std::string Reason(const sys::Error& error) {
  return error.osCode() ? std::string(": ") + std::strerror(static_cast<int>(error.osCode())) : "";
}

}  // namespace

std::unique_ptr<sys::Stream> OpenInputFile(const std::filesystem::path& path) {
  try {
    return packager::OpenHostFile(path);
  } catch (const sys::Error& error) {
    throw Failure("cannot open '" + path.string() + "'" + Reason(error));
  }
}

std::unique_ptr<sys::Stream> CreateOutputFile(const std::filesystem::path& path) {
  try {
    return packager::CreateHostFile(path);
  } catch (const sys::Error& error) {
    throw Failure("cannot create '" + path.string() + "'" + Reason(error));
  }
}

}  // namespace tool
