#include "ui/Picture.h"

#include <exception>

#include "system/Platform.h"
#include "system/Stream.h"

namespace ui {

PictureFormat Picture::Sniff(const std::string& bytes) {
  auto startsWith = [&bytes](const char* prefix, size_t size) {
    return bytes.size() >= size && bytes.compare(0, size, prefix, size) == 0;
  };
  if (startsWith("BM", 2)) return PictureFormat::Bitmap;
  if (startsWith("\xFF\xD8\xFF", 3)) return PictureFormat::Jpeg;
  if (startsWith("\x89PNG\r\n\x1A\n", 8)) return PictureFormat::Png;
  if (startsWith("\0\0\1\0", 4)) return PictureFormat::Icon;
  return PictureFormat::None;
}

bool Picture::LoadFromFile(const std::string& path) {
  Clear();
  std::string bytes;
  try {
    sys::Platform& platform = sys::CurrentPlatform();
    if (!platform.FileExists(path)) return false;
    auto stream = platform.OpenForRead(path);
    int64_t size = stream->Size();
    if (size <= 0 || size > kMaxBytes) return false;
    bytes.resize(static_cast<size_t>(size));
    stream->ReadExact(bytes.data(), bytes.size());
  } catch (const std::exception&) {
    // An unreadable picture is an empty one; the page shows without it.
    return false;
  }
  PictureFormat format = Sniff(bytes);
  if (format == PictureFormat::None) return false;
  format_ = format;
  path_ = path;
  bytes_ = std::move(bytes);
  return true;
}

bool Picture::LoadFromBytes(std::string bytes) {
  Clear();
  PictureFormat format = Sniff(bytes);
  if (format == PictureFormat::None) return false;
  format_ = format;
  bytes_ = std::move(bytes);
  return true;
}

void Picture::Clear() {
  format_ = PictureFormat::None;
  path_.clear();
  bytes_.clear();
  decoded_.reset();
}

}  // namespace ui
