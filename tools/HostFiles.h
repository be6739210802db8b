// Host files for the commands, failing with tool::Failure in UTF-8. The packager's host streams
// raise sys::Error, whose text is taken for GBK; a host path is UTF-8, so the commands open
// files through here to keep the path readable in the message.
#pragma once

#include <filesystem>
#include <memory>

#include "system/Stream.h"

namespace tool {

std::unique_ptr<sys::Stream> OpenInputFile(const std::filesystem::path& path);
std::unique_ptr<sys::Stream> CreateOutputFile(const std::filesystem::path& path);
// The process's standard output as a stream that can only be written, front to back.
std::unique_ptr<sys::Stream> StandardOutputStream();

}  // namespace tool
