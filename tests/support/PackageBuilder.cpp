#include "tests/support/PackageBuilder.h"

#include "package/EntryNames.h"
#include "system/Platform.h"
#include "system/Stream.h"
#include "tools/packager/HostFileStream.h"

namespace testsupport {
namespace {

std::string DefaultStub() {
  std::string stub(512, '\0');
  stub[0] = 'M';
  stub[1] = 'Z';
  return stub;
}

std::string FileNamePart(const std::string& path) {
  size_t slash = package::LastSeparator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

PackageBuilder::PackageBuilder() : stub_(DefaultStub()) {}

PackageBuilder& PackageBuilder::Setting(const std::string& caption, const std::string& value,
                                        uint8_t group) {
  auto item = std::make_unique<TCompileData>();
  item->Caption = caption;
  item->Value = value;
  item->Group = group;
  project_.InfoList.push_back(std::move(item));
  return *this;
}

PackageBuilder& PackageBuilder::FileFolder(const std::string& folder) {
  project_.FileFolderList.push_back(folder);
  return *this;
}

PackageBuilder& PackageBuilder::RegFolder(const std::string& key) {
  project_.RegFolderList.push_back(key);
  return *this;
}

PackageBuilder& PackageBuilder::ShotCutFolder(const std::string& folder) {
  project_.ShotCutFolderList.push_back(folder);
  return *this;
}

PackageBuilder& PackageBuilder::Serial(const std::string& serial) {
  serial_ = serial;
  return *this;
}

PackageBuilder& PackageBuilder::Stub(const std::string& bytes) {
  stub_ = bytes;
  return *this;
}

PackageBuilder& PackageBuilder::Level(TCompressLevelEnum level) {
  options_.level = level;
  return *this;
}

TCompileFileData& PackageBuilder::Add(TCompileFileData entry, Content content) {
  if (content) content_[project_.FileList.size()] = std::move(content);
  project_.FileList.push_back(std::make_unique<TCompileFileData>(std::move(entry)));
  return *project_.FileList.back();
}

TCompileFileData& PackageBuilder::AddEntry(const TCompileFileData& entry,
                                           const std::string& content) {
  Content source;
  if (!content.empty()) source = [content] { return std::make_unique<sys::MemoryStream>(content); };
  return Add(entry, std::move(source));
}

TCompileFileData& PackageBuilder::AddFile(const std::string& sourcePath,
                                          const std::string& destFolder,
                                          const std::string& content,
                                          const std::string& entryName) {
  TCompileFileData entry;
  entry.EntryName = entryName.empty() ? FileNamePart(sourcePath) : entryName;
  entry.SourcePath = sourcePath;
  entry.DestFolder = destFolder;
  entry.EntryKind = package::kEntryFile;
  entry.FileTime = 45000.5;  // 2023-03-15 12:00
  return AddEntry(entry, content);
}

TCompileFileData& PackageBuilder::AddHostFile(const std::string& sourcePath,
                                              const std::string& destFolder,
                                              const std::filesystem::path& hostFile) {
  TCompileFileData entry;
  entry.EntryName = FileNamePart(sourcePath);
  entry.SourcePath = sourcePath;
  entry.DestFolder = destFolder;
  entry.EntryKind = package::kEntryFile;
  entry.FileTime = 45000.5;
  return Add(entry, [hostFile] { return packager::OpenHostFile(hostFile); });
}

TCompileFileData& PackageBuilder::AddFolder(const std::string& entryName,
                                            const std::string& destFolder) {
  TCompileFileData entry;
  entry.EntryName = entryName;
  entry.DestFolder = destFolder;
  entry.EntryKind = package::kEntryFolder;
  entry.FileTime = -1.0;
  return Add(entry, nullptr);
}

TCompileFileData& PackageBuilder::AddRegFile(const std::string& sourcePath,
                                             const std::string& content) {
  TCompileFileData entry;
  entry.EntryName = FileNamePart(sourcePath);
  entry.SourcePath = sourcePath;
  entry.EntryKind = package::kEntryRegFile;
  return AddEntry(entry, content);
}

TCompileFileData& PackageBuilder::AddComponentFile(const std::string& compName,
                                                   const std::string& compFolder,
                                                   const std::string& sourcePath,
                                                   const std::string& content) {
  TCompileFileData entry;
  entry.EntryName = compName;
  entry.SourcePath = sourcePath;
  entry.DestFolder = compFolder;
  entry.EntryKind = package::kEntryComponentFile;
  return AddEntry(entry, content);
}

TCompileFileData& PackageBuilder::AddResource(const std::string& sourcePath,
                                              const std::string& content) {
  TCompileFileData entry;
  entry.SourcePath = sourcePath;
  entry.EntryKind = package::kEntryResource;
  return AddEntry(entry, content);
}

TCompileFileData& PackageBuilder::AddUninstaller(const std::string& sourcePath,
                                                 const std::string& content) {
  TCompileFileData entry;
  entry.SourcePath = sourcePath;
  entry.EntryKind = package::kEntryUninstaller;
  return AddEntry(entry, content);
}

TRegInfoData& PackageBuilder::AddRegValue(const std::string& keyPath, const std::string& valueName,
                                          const std::string& valueData, uint8_t valueType,
                                          const std::string& targetOs) {
  auto item = std::make_unique<TRegInfoData>();
  item->KeyPath = keyPath;
  item->ValueName = valueName;
  item->ValueData = valueData;
  item->ValueType = valueType;
  item->TargetOs = targetOs;
  project_.RegList.push_back(std::move(item));
  return *project_.RegList.back();
}

TShotCutData& PackageBuilder::AddShortcut(const std::string& linkFolder,
                                          const std::string& linkName,
                                          const std::string& linkTarget,
                                          const std::string& arguments,
                                          const std::string& description, uint8_t linkKind) {
  auto item = std::make_unique<TShotCutData>();
  item->LinkFolder = linkFolder;
  item->LinkName = linkName;
  item->LinkTarget = linkTarget;
  item->LinkArguments = arguments;
  item->LinkDescription = description;
  item->LinkKind = linkKind;
  project_.ShotCutList.push_back(std::move(item));
  return *project_.ShotCutList.back();
}

TCompileCompData& PackageBuilder::AddComponent(const std::string& compName, int64_t compSize) {
  auto item = std::make_unique<TCompileCompData>();
  item->CompName = compName;
  item->CompSize = compSize;
  project_.CompList.push_back(std::move(item));
  return *project_.CompList.back();
}

packager::WrittenPackage PackageBuilder::WriteToStream(sys::Stream& target) {
  sys::MemoryStream stub(stub_);
  auto source = [this](size_t index, const TCompileFileData&) -> std::unique_ptr<sys::Stream> {
    auto found = content_.find(index);
    return found == content_.end() ? nullptr : found->second();
  };
  return packager::WritePackage(stub, project_, serial_, source, target, options_);
}

std::string PackageBuilder::Build() {
  sys::MemoryStream target;
  WriteToStream(target);
  return target.TakeBytes();
}

packager::WrittenPackage PackageBuilder::WriteTo(sys::Platform& platform, const std::string& path) {
  std::unique_ptr<sys::Stream> target = platform.CreateForWrite(path);
  return WriteToStream(*target);
}

packager::WrittenPackage PackageBuilder::WriteToHost(const std::filesystem::path& path) {
  std::unique_ptr<sys::Stream> target = packager::CreateHostFile(path);
  return WriteToStream(*target);
}

}  // namespace testsupport
