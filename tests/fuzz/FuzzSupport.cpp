#include "tests/fuzz/FuzzSupport.h"

#include <unistd.h>
#include <zlib.h>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/Stream.h"

namespace fuzz {

Machine& Machine::Get() {
  static Machine machine;
  return machine;
}

Machine::Machine()
    : root_(std::filesystem::temp_directory_path() /
            ("setup-fuzz-" + std::to_string(getpid()))) {
  std::filesystem::remove_all(root_);
  platform_ = std::make_unique<sys::sandbox::SandboxPlatform>(root_);
  sys::SetCurrentPlatform(platform_.get());
}

Machine::~Machine() {
  sys::SetCurrentPlatform(nullptr);
  platform_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void Machine::Put(const std::string& windowsPath, const std::string& bytes) {
  platform_->ForceDirectories(windowsPath.substr(0, windowsPath.rfind('\\')));
  std::unique_ptr<sys::Stream> file = platform_->CreateForWrite(windowsPath);
  file->Write(bytes.data(), bytes.size());
}

void Machine::ClearTemp() {
  auto temp = platform_->HostPath(platform_->TempDirectory());
  if (!temp) return;
  std::error_code ignored;
  for (const auto& item : std::filesystem::directory_iterator(*temp, ignored))
    std::filesystem::remove_all(item.path(), ignored);
  platform_->ForgetHostListings();
}

namespace {

// Writes into a file of MemoryFiles, which it shares.
class MemoryFileWriter : public sys::Stream {
 public:
  explicit MemoryFileWriter(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}
  size_t Read(void*, size_t) override { return 0; }
  void Write(const void* buffer, size_t count) override {
    if (position_ + count > bytes_->size()) bytes_->resize(position_ + count);
    bytes_->replace(position_, count, static_cast<const char*>(buffer), count);
    position_ += count;
  }
  void Seek(int64_t position) override { position_ = static_cast<size_t>(position); }
  int64_t Position() const override { return static_cast<int64_t>(position_); }
  int64_t Size() const override { return static_cast<int64_t>(bytes_->size()); }

 private:
  std::shared_ptr<std::string> bytes_;
  size_t position_ = 0;
};

}  // namespace

void MemoryFiles::Put(const std::string& path, std::string bytes) {
  files_[sys::AsciiLower(path)] = std::make_shared<std::string>(std::move(bytes));
}

bool MemoryFiles::FileExists(const std::string& path) const {
  return files_.contains(sys::AsciiLower(path));
}

std::unique_ptr<sys::Stream> MemoryFiles::OpenForRead(const std::string& path) {
  auto file = files_.find(sys::AsciiLower(path));
  if (file == files_.end()) {
    throw sys::Error(sys::Format(sys::kCannotOpenFile, path), sys::kErrorFileNotFound);
  }
  return std::make_unique<sys::MemoryStream>(*file->second);
}

std::unique_ptr<sys::Stream> MemoryFiles::CreateForWrite(const std::string& path) {
  auto bytes = std::make_shared<std::string>();
  files_[sys::AsciiLower(path)] = bytes;
  return std::make_unique<MemoryFileWriter>(bytes);
}

bool MemoryFiles::RemoveFile(const std::string& path) {
  return files_.erase(sys::AsciiLower(path)) > 0;
}

bool MemoryFiles::MoveReplacing(const std::string& source, const std::string& target) {
  auto file = files_.find(sys::AsciiLower(source));
  if (file == files_.end()) return false;
  std::shared_ptr<std::string> bytes = file->second;
  files_.erase(file);
  files_[sys::AsciiLower(target)] = std::move(bytes);
  return true;
}

std::string StoredChunkRun(const std::string& bytes) {
  std::string run;
  for (size_t at = 0; at < bytes.size(); at += 8192) {
    const std::string block = bytes.substr(at, 8192);
    const auto n = static_cast<uint16_t>(block.size());
    const uint32_t adler = static_cast<uint32_t>(
        adler32(1, reinterpret_cast<const unsigned char*>(block.data()), n));
    const uint32_t length = 2 + 5 + n + 4;
    const char head[] = {static_cast<char>(length), static_cast<char>(length >> 8),
                         static_cast<char>(length >> 16), static_cast<char>(length >> 24),
                         0x78, 0x01, 0x01,
                         static_cast<char>(n), static_cast<char>(n >> 8),
                         static_cast<char>(~n), static_cast<char>(~n >> 8)};
    const char tail[] = {static_cast<char>(adler >> 24), static_cast<char>(adler >> 16),
                         static_cast<char>(adler >> 8), static_cast<char>(adler)};
    run.append(head, sizeof head).append(block).append(tail, sizeof tail);
  }
  return run;
}

bool Survives(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const sys::Error&) {
    return false;
  }
}

}  // namespace fuzz
