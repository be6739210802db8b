#include "tools/commands/HostFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <random>
#include <system_error>
#include <vector>

#include "system/Error.h"
#include "tools/commands/Commands.h"
#include "tools/host/HostSystem.h"
#include "tools/host/ToolText.h"
#include "tools/packager/HostFileStream.h"

namespace tool {
namespace {

std::string Reason(const sys::Error& error) {
  return error.osCode() ? std::string(": ") + std::strerror(static_cast<int>(error.osCode())) : "";
}

class StandardOutput : public sys::Stream {
 public:
  size_t Read(void*, size_t) override { throw Failure("standard output cannot be read"); }
  void Write(const void* buffer, size_t count) override {
    if (std::fwrite(buffer, 1, count, stdout) != count) {
      throw Failure(std::string("cannot write to standard output: ") + std::strerror(errno));
    }
    written_ += static_cast<int64_t>(count);
  }
  void Seek(int64_t) override { throw Failure("standard output cannot seek"); }
  int64_t Position() const override { return written_; }
  int64_t Size() const override { return written_; }
  ~StandardOutput() override { std::fflush(stdout); }

 private:
  int64_t written_ = 0;
};

// A name no one can have made ready for us: the file is created only if it does not exist.
std::FILE* CreateNewTemporary(std::filesystem::path& path) {
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    path = std::filesystem::temp_directory_path() /
           ("setup-tool-stdin-" + std::to_string(random()) + std::to_string(random()));
    if (std::FILE* file = host::OpenFile(path, "wbx")) return file;
  }
  throw Failure("cannot create a temporary file for standard input in " +
                PathText(std::filesystem::temp_directory_path()) + ": " + std::strerror(errno));
}

}  // namespace

InputFile::InputFile(const std::string& argument) : path_(HostPath(argument)), name_(argument) {
  if (argument != "-") return;
  name_ = "standard input";
  std::FILE* file = CreateNewTemporary(path_);
  copied_ = true;
  std::vector<char> buffer(1 << 16);
  bool written = true;
  while (written && std::cin) {
    std::cin.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto count = static_cast<size_t>(std::cin.gcount());
    written = std::fwrite(buffer.data(), 1, count, file) == count;
  }
  written = std::fclose(file) == 0 && written;
  if (!written || std::cin.bad()) {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    throw Failure("cannot copy standard input to " + PathText(path_));
  }
}

InputFile::~InputFile() {
  if (!copied_) return;
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

void ExpectOneStandardInput(std::initializer_list<const std::string*> arguments) {
  int count = 0;
  for (const std::string* argument : arguments) count += argument && *argument == "-";
  if (count > 1) throw UsageError("only one argument can be \"-\": standard input is read once");
}

std::unique_ptr<sys::Stream> StandardOutputStream() { return std::make_unique<StandardOutput>(); }

std::unique_ptr<sys::Stream> OpenInputFile(const std::filesystem::path& path) {
  try {
    return packager::OpenHostFile(path);
  } catch (const sys::Error& error) {
    throw Failure("cannot open '" + PathText(path) + "'" + Reason(error));
  }
}

std::unique_ptr<sys::Stream> CreateOutputFile(const std::filesystem::path& path) {
  try {
    return packager::CreateHostFile(path);
  } catch (const sys::Error& error) {
    throw Failure("cannot create '" + PathText(path) + "'" + Reason(error));
  }
}

}  // namespace tool
