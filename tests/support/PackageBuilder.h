// Builds an install package in code for the tests of every area: settings, FileList entries with
// their content, registry values, shortcuts and components; then writes the setup file (a stub
// followed by the package, exactly as the packager lays it out) into a sandbox path, a host
// path or a byte string. DataStart, DataEnd, FileSize and Size are filled in by the writer.
//
//   testsupport::PackageBuilder b;
//   b.Setting("项目名称", "Demo").Setting("显示安装界面", "启用");
//   b.AddFile("X:\\src\\app.exe", "目标计算机\\Program Files\\", "MZ...");
//   b.AddResource("X:\\res\\title.bmp", "BM...");
//   b.WriteTo(platform, "C:\\setup.exe");
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "package/uSystem.h"
#include "tools/packager/PackageWriter.h"

namespace sys {
class Platform;
class Stream;
}  // namespace sys

namespace testsupport {

inline constexpr const char* kDefaultSerial = "6F9619FF-8B86-D011-B42D-00C04FC964FF";

class PackageBuilder {
 public:
  PackageBuilder();

  // One InfoList item, appended in call order.
  PackageBuilder& Setting(const std::string& caption, const std::string& value,
                          uint8_t group = 0);
  PackageBuilder& FileFolder(const std::string& folder);
  PackageBuilder& RegFolder(const std::string& key);
  PackageBuilder& ShotCutFolder(const std::string& folder);
  PackageBuilder& Serial(const std::string& serial);
  // The executable image in front of the package (default: 512 bytes starting "MZ").
  PackageBuilder& Stub(const std::string& bytes);
  PackageBuilder& Level(TCompressLevelEnum level);

  // Kind 0; EntryName defaults to the file-name part of sourcePath.
  TCompileFileData& AddFile(const std::string& sourcePath, const std::string& destFolder,
                            const std::string& content, const std::string& entryName = {});
  // Kind 0 whose content is read from a host file when the package is written (large files).
  TCompileFileData& AddHostFile(const std::string& sourcePath, const std::string& destFolder,
                                const std::filesystem::path& hostFile);
  // Kind 1, FileTime -1.0.
  TCompileFileData& AddFolder(const std::string& entryName, const std::string& destFolder);
  // Kind 2.
  TCompileFileData& AddRegFile(const std::string& sourcePath, const std::string& content);
  // Kind 3: a file of component compName whose folder on the packaging machine is compFolder.
  TCompileFileData& AddComponentFile(const std::string& compName, const std::string& compFolder,
                                     const std::string& sourcePath, const std::string& content);
  // Kind 4.
  TCompileFileData& AddResource(const std::string& sourcePath, const std::string& content);
  // Kind 5.
  TCompileFileData& AddUninstaller(const std::string& sourcePath, const std::string& content);
  // Any entry as given; content nullptr or empty: no chunks.
  TCompileFileData& AddEntry(const TCompileFileData& entry, const std::string& content);

  TRegInfoData& AddRegValue(const std::string& keyPath, const std::string& valueName,
                            const std::string& valueData, uint8_t valueType = 0,
                            const std::string& targetOs = {});
  TShotCutData& AddShortcut(const std::string& linkFolder, const std::string& linkName,
                            const std::string& linkTarget, const std::string& arguments = {},
                            const std::string& description = {}, uint8_t linkKind = 0);
  TCompileCompData& AddComponent(const std::string& compName, int64_t compSize);

  // The whole setup file.
  std::string Build();
  // Writes the setup file through the platform (a sandbox path such as "C:\setup.exe").
  packager::WrittenPackage WriteTo(sys::Platform& platform, const std::string& path);
  packager::WrittenPackage WriteToHost(const std::filesystem::path& path);
  packager::WrittenPackage WriteToStream(sys::Stream& target);

  // The project as the writer sees it; after a write its entries hold their offsets.
  TCustomCompile& project() { return project_; }
  const std::string& serial() const { return serial_; }

 private:
  using Content = std::function<std::unique_ptr<sys::Stream>()>;
  TCompileFileData& Add(TCompileFileData entry, Content content);

  TCustomCompile project_;
  std::string serial_ = kDefaultSerial;
  std::string stub_;
  packager::WriteOptions options_;
  std::map<size_t, Content> content_;
};

}  // namespace testsupport
