// Host files for the commands, failing with tool::Failure in UTF-8. The packager's host streams
// raise sys::Error, whose text is taken for GBK; a host path is UTF-8, so the commands open
// files through here to keep the path readable in the message.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "system/Stream.h"

namespace tool {

std::unique_ptr<sys::Stream> OpenInputFile(const std::filesystem::path& path);
std::unique_ptr<sys::Stream> CreateOutputFile(const std::filesystem::path& path);
// The process's standard output as a stream that can only be written, front to back.
std::unique_ptr<sys::Stream> StandardOutputStream();

// A file argument that may be "-", standard input. The commands seek in a setup program and
// simulate hands it to the sandbox as a file, which a pipe cannot be, so standard input is
// copied to a new temporary file first; the copy goes with this object.
class InputFile {
 public:
  // Throws tool::Failure when standard input cannot be copied.
  explicit InputFile(const std::string& argument);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // What messages call it: the argument, or "standard input".
  const std::string& name() const { return name_; }
  bool fromStandardInput() const { return copied_; }

 private:
  std::filesystem::path path_;
  std::string name_;
  bool copied_ = false;
};

// Throws UsageError when more than one of the arguments is "-": standard input is read once.
void ExpectOneStandardInput(std::initializer_list<const std::string*> arguments);

}  // namespace tool
