// Picture: the bytes of a bitmap, JPEG, PNG or icon file, checked by their signature. Files
// are read through sys::CurrentPlatform(), so paths are Windows GBK paths on both backends.
// Decoding belongs to the backend, which may keep its decoded form here (SetDecoded).
//
// LoadFromFile and LoadFromBytes never throw: a missing, unreadable, oversized or unknown file leaves the
// picture empty and returns false.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ui {

enum class PictureFormat { None, Bitmap, Jpeg, Png, Icon };

class Picture {
 public:
  // Larger files are refused rather than read into memory.
  static constexpr int64_t kMaxBytes = 64 * 1024 * 1024;

  struct Decoded {
    virtual ~Decoded() = default;
  };

  bool LoadFromFile(const std::string& path);
  // A picture that comes with the program (no file; Path() stays empty). False, and empty,
  // when the bytes are none of the known formats.
  bool LoadFromBytes(std::string bytes);
  void Clear();
  bool Empty() const { return format_ == PictureFormat::None; }
  PictureFormat Format() const { return format_; }
  const std::string& Path() const { return path_; }
  const std::string& Bytes() const { return bytes_; }
  // The format a file's first bytes announce; None when it is none of ours.
  static PictureFormat Sniff(const std::string& bytes);

  Decoded* GetDecoded() const { return decoded_.get(); }
  void SetDecoded(std::unique_ptr<Decoded> decoded) const { decoded_ = std::move(decoded); }

 private:
  PictureFormat format_ = PictureFormat::None;
  std::string path_;
  std::string bytes_;
  mutable std::unique_ptr<Decoded> decoded_;
};

}  // namespace ui
