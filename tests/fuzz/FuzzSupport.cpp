#include "tests/fuzz/FuzzSupport.h"

#include <unistd.h>
#include <zlib.h>

#include "system/Error.h"
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
