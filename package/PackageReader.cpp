#include "package/uSystem.h"

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

// The in-memory configuration stream, refusing to grow past kMaxConfigurationSize.
class ConfigurationBuffer : public sys::MemoryStream {
 public:
  void Write(const void* buffer, size_t count) override {
    if (Position() + static_cast<int64_t>(count) > kMaxConfigurationSize)
      throw sys::Error(kDamagedPackage);
    MemoryStream::Write(buffer, count);
  }
};

int32_t ReadCount(sys::Stream& config, int64_t minItemBytes) {
  int32_t count = le::ReadI32(config);
  if (count <= 0) return 0;
  if (count > config.Remaining() / minItemBytes) throw sys::Error(kDamagedPackage);
  return count;
}

void ReadCommaText(sys::Stream& config, TStringList& list) {
  list = FromCommaText(TElement::ReadString(config));
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
  for (int32_t n = ReadCount(config, kMinInfoItemBytes); n > 0; --n) {
    auto item = std::make_unique<TCompileData>();
    item->Caption = ReadString(config);
    item->Value = ReadString(config);
    item->Group = le::ReadU8(config);
    const std::string& caption = item->Caption;
    if (caption == kCaptionItemName) ItemName = item->Value;
    else if (caption == kCaptionAuthor) Author = item->Value;
    else if (caption == kCaptionVersion) Version = item->Value;
    else if (caption == kCaptionUrl) Url = item->Value;
    else if (caption == kCaptionRebootOs) Options.RebootText = item->Value;
    else if (caption == kCaptionFinishHint) Options.FinishHint = item->Value;
    else if (caption == kCaptionPatch) Patched = ReadBoolean(item->Value);
    InfoList.push_back(std::move(item));
  }
  ReadCommaText(config, FileFolderList);
  for (int32_t n = ReadCount(config, kMinFileItemBytes); n > 0; --n)
    FileList.push_back(ReadFileItem(config));
  ReadCommaText(config, RegFolderList);
  for (int32_t n = ReadCount(config, kMinRegItemBytes); n > 0; --n) {
    auto item = std::make_unique<TRegInfoData>();
    item->KeyPath = ReadString(config);
    item->ValueName = ReadString(config);
    item->ValueData = ReadString(config);
    item->TargetOs = ReadString(config);
    item->ValueType = le::ReadU8(config);
    RegList.push_back(std::move(item));
  }
  ReadCommaText(config, ShotCutFolderList);
  for (int32_t n = ReadCount(config, kMinShotCutItemBytes); n > 0; --n) {
    auto item = std::make_unique<TShotCutData>();
    item->LinkFolder = ReadString(config);
    item->LinkName = ReadString(config);
    item->LinkTarget = ReadString(config);
    item->LinkArguments = ReadString(config);
    item->LinkDescription = ReadString(config);
    item->LinkKind = le::ReadU8(config);
    ShotCutList.push_back(std::move(item));
  }
  for (int32_t n = ReadCount(config, kMinCompItemBytes); n > 0; --n) {
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
  if (length < kTrailerSize) throw sys::Error(kDamagedPackage);
  const int64_t trailer = length - kTrailerSize;
  file->Seek(trailer);
  Size = le::ReadI64(*file);
  const int64_t directory = le::ReadI64(*file);
  if (directory > 0) {
    if (directory > trailer) throw sys::Error(kDamagedPackage);
    ConfigurationBuffer config;
    ChunkInflater().CopyRun(*file, directory, trailer, config);
    config.Seek(0);
    ReadConfiguration(config);
  }
  ComputeTotalSize();
  ApplyOptions();
}

std::unique_ptr<sys::Stream> TCompile::OpenPackageFile(const std::string& path) {
  if (!image_ || !sys::SameText(path, imagePath_)) return OpenPackage(platform(), path);
  return BoundToPackage(std::make_unique<sys::StreamView>(*image_));
}

void TCompile::CopyEntryData(sys::Stream& source, sys::Stream& target, int64_t start,
                             int64_t end) {
  ChunkInflater().CopyRun(source, start, end, target);
}
