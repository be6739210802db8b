#include "package/uSystem.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "package/ChunkCodec.h"
#include "package/CommaText.h"
#include "package/LittleEndian.h"
#include "package/PackageBounds.h"
#include "package/Options.h"
#include "package/PackageFormat.h"
#include "package/uTypes.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/Stream.h"
#include "system/StreamView.h"

namespace {

// The unpacked configuration in memory, allocated once at the size the block unpacks to and
// refusing to grow past kMaxConfigurationSize.
class ConfigurationBuffer : public sys::Stream {
 public:
  explicit ConfigurationBuffer(int64_t size) { bytes_.reserve(static_cast<size_t>(size)); }

  size_t Read(void* buffer, size_t count) override {
    const size_t from = static_cast<size_t>(std::min<int64_t>(position_, Size()));
    const size_t n = std::min(count, bytes_.size() - from);
    std::memcpy(buffer, bytes_.data() + from, n);
    position_ += static_cast<int64_t>(n);
    return n;
  }
  void Write(const void* buffer, size_t count) override {
    if (Size() + static_cast<int64_t>(count) > package::kMaxConfigurationSize)
      throw sys::Error(package::kDamagedPackage);
    bytes_.append(static_cast<const char*>(buffer), count);
  }
  void Seek(int64_t position) override { position_ = std::max<int64_t>(0, position); }
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }

 private:
  std::string bytes_;
  int64_t position_ = 0;
};

// Counts the unpacked bytes of the configuration, keeping none of them, and refuses the same
// sizes the buffer refuses.
class ConfigurationMeter : public sys::Stream {
 public:
  size_t Read(void*, size_t) override { return 0; }
  void Write(const void*, size_t count) override {
    size_ += static_cast<int64_t>(count);
    if (size_ > package::kMaxConfigurationSize) throw sys::Error(package::kDamagedPackage);
  }
  void Seek(int64_t) override {}
  int64_t Position() const override { return size_; }
  int64_t Size() const override { return size_; }

 private:
  int64_t size_ = 0;
};

// Unpacks the configuration block [directory, trailer). The block is unpacked twice: once to
// learn its size, then into a buffer of exactly that size. Growing the buffer as the chunks
// arrive would hold the old and the new buffer at once, near twice the cap for a block of chunks
// of zeros; the first pass costs only inflate time, and a block over the cap is refused before
// anything of its size is allocated. The buffer only appends, so it holds the second pass's bytes
// even if they were to differ.
std::unique_ptr<ConfigurationBuffer> UnpackConfiguration(sys::Stream& file, int64_t directory,
                                                         int64_t trailer) {
  package::ChunkInflater inflater;
  ConfigurationMeter meter;
  inflater.CopyRun(file, directory, trailer, meter);
  auto config = std::make_unique<ConfigurationBuffer>(meter.Size());
  inflater.CopyRun(file, directory, trailer, *config);
  return config;
}

int32_t ReadCount(sys::Stream& config, int64_t minItemBytes) {
  int32_t count = le::ReadI32(config);
  if (count <= 0) return 0;
  if (count > config.Remaining() / minItemBytes) throw sys::Error(package::kDamagedPackage);
  return count;
}

void ReadCommaText(sys::Stream& config, TStringList& list) {
  list = package::FromCommaText(TElement::ReadString(config));
}

std::unique_ptr<TCompileFileData> ReadFileItem(sys::Stream& config) {
  auto item = std::make_unique<TCompileFileData>();
  item->EntryName = TElement::ReadString(config);
  item->SourcePath = TElement::ReadString(config);
  item->DestFolder = TElement::ReadString(config);
  item->RunAtStartup = le::ReadU8(config);
  item->KeepOnUninstall = le::ReadU8(config);
  item->NoOverwrite = le::ReadU8(config);
  item->IsComponent = le::ReadU8(config);
  item->IsService = le::ReadU8(config);
  item->RunAfterInstall = le::ReadU8(config);
  item->IsPatch = le::ReadU8(config);
  item->TargetOs = TElement::ReadString(config);
  item->DataStart = le::ReadI64(config);
  item->DataEnd = le::ReadI64(config);
  item->FileSize = le::ReadI64(config);
  item->EntryKind = le::ReadU8(config);
  item->FileTime = le::ReadDouble(config);
  return item;
}

}  // namespace

void TCompile::ReadConfiguration(sys::Stream& config) {
  for (int32_t n = ReadCount(config, package::kMinInfoItemBytes); n > 0; --n) {
    auto item = std::make_unique<TCompileData>();
    item->Caption = ReadString(config);
    item->Value = ReadString(config);
    item->Group = le::ReadU8(config);
    const std::string& caption = item->Caption;
    if (caption == package::kCaptionItemName) ItemName = item->Value;
    else if (caption == package::kCaptionAuthor) Author = item->Value;
    else if (caption == package::kCaptionVersion) Version = item->Value;
    else if (caption == package::kCaptionUrl) Url = item->Value;
    else if (caption == package::kCaptionRebootOs) Options.RebootText = item->Value;
    else if (caption == package::kCaptionFinishHint) Options.FinishHint = item->Value;
    else if (caption == package::kCaptionPatch) Patched = package::ReadBoolean(item->Value);
    InfoList.push_back(std::move(item));
  }
  ReadCommaText(config, FileFolderList);
  for (int32_t n = ReadCount(config, package::kMinFileItemBytes); n > 0; --n)
    FileList.push_back(ReadFileItem(config));
  ReadCommaText(config, RegFolderList);
  for (int32_t n = ReadCount(config, package::kMinRegItemBytes); n > 0; --n) {
    auto item = std::make_unique<TRegInfoData>();
    item->KeyPath = ReadString(config);
    item->ValueName = ReadString(config);
    item->ValueData = ReadString(config);
    item->TargetOs = ReadString(config);
    item->ValueType = le::ReadU8(config);
    RegList.push_back(std::move(item));
  }
  ReadCommaText(config, ShotCutFolderList);
  for (int32_t n = ReadCount(config, package::kMinShotCutItemBytes); n > 0; --n) {
    auto item = std::make_unique<TShotCutData>();
    item->LinkFolder = ReadString(config);
    item->LinkName = ReadString(config);
    item->LinkTarget = ReadString(config);
    item->LinkArguments = ReadString(config);
    item->LinkDescription = ReadString(config);
    item->LinkKind = le::ReadU8(config);
    ShotCutList.push_back(std::move(item));
  }
  for (int32_t n = ReadCount(config, package::kMinCompItemBytes); n > 0; --n) {
    auto item = std::make_unique<TCompileCompData>();
    item->CompName = ReadString(config);
    item->CompSize = le::ReadI64(config);
    CompList.push_back(std::move(item));
  }
  Serial = ReadString(config);
}

void TCompile::LoadPackage(const std::string& path) {
  if (!platform().FileExists(path)) return;
  image_ = sys::SameText(path, platform().ExePath()) ? platform().HoldOwnImage()
                                                     : platform().OpenForRead(path);
  imagePath_ = path;
  // A signed setup program's package ends where its certificate table begins.
  std::unique_ptr<sys::Stream> file = OpenPackageFile(path);
  const int64_t length = file->Size();
  // A file too short for the trailer has no package; reading it would mean reading nothing.
  if (length < package::kTrailerSize) throw sys::Error(package::kDamagedPackage);
  const int64_t trailer = length - package::kTrailerSize;
  file->Seek(trailer);
  Size = le::ReadI64(*file);
  const int64_t directory = le::ReadI64(*file);
  if (directory > 0) {
    if (directory > trailer) throw sys::Error(package::kDamagedPackage);
    ReadConfiguration(*UnpackConfiguration(*file, directory, trailer));
  }
  ComputeTotalSize();
  ApplyOptions();
}

std::unique_ptr<sys::Stream> TCompile::OpenPackageFile(const std::string& path) {
  if (!image_ || !sys::SameText(path, imagePath_)) return package::OpenPackage(platform(), path);
  return package::BoundToPackage(std::make_unique<sys::StreamView>(*image_));
}

void TCompile::CopyEntryData(sys::Stream& source, sys::Stream& target, int64_t start,
                             int64_t end) {
  package::ChunkInflater().CopyRun(source, start, end, target);
}
