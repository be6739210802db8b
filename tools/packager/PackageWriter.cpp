#include "tools/packager/PackageWriter.h"

#include "package/ChunkCodec.h"
#include "package/CommaText.h"
#include "package/LittleEndian.h"
#include "package/PackageFormat.h"
#include "system/Error.h"
#include "system/Stream.h"

namespace packager {
namespace {

void WriteFileItem(const TCompileFileData& item, sys::Stream& out) {
  TElement::WriteString(item.EntryName, out);
  TElement::WriteString(item.SourcePath, out);
  TElement::WriteString(item.DestFolder, out);
  for (uint8_t flag : {item.RunAtStartup, item.KeepOnUninstall, item.NoOverwrite,
                       item.IsComponent, item.IsService, item.RunAfterInstall, item.IsPatch})
    le::WriteU8(out, flag);
  TElement::WriteString(item.TargetOs, out);
  le::WriteI64(out, item.DataStart);
  le::WriteI64(out, item.DataEnd);
  le::WriteI64(out, item.FileSize);
  le::WriteU8(out, item.EntryKind);
  le::WriteDouble(out, item.FileTime);
}

void CopyAll(sys::Stream& source, sys::Stream& target) {
  unsigned char buffer[64 * 1024];
  for (size_t got; (got = source.Read(buffer, sizeof buffer)) != 0;) target.Write(buffer, got);
}

}  // namespace

void WriteConfiguration(const TCustomCompile& project, const std::string& serial,
                        sys::Stream& out) {
  le::WriteI32(out, static_cast<int32_t>(project.InfoList.size()));
  for (const auto& item : project.InfoList) {
    TElement::WriteString(item->Caption, out);
    TElement::WriteString(item->Value, out);
    le::WriteU8(out, item->Group);
  }
  TElement::WriteString(package::ToCommaText(project.FileFolderList), out);
  le::WriteI32(out, static_cast<int32_t>(project.FileList.size()));
  for (const auto& item : project.FileList) WriteFileItem(*item, out);
  TElement::WriteString(package::ToCommaText(project.RegFolderList), out);
  le::WriteI32(out, static_cast<int32_t>(project.RegList.size()));
  for (const auto& item : project.RegList) {
    TElement::WriteString(item->KeyPath, out);
    TElement::WriteString(item->ValueName, out);
    TElement::WriteString(item->ValueData, out);
    TElement::WriteString(item->TargetOs, out);
    le::WriteU8(out, item->ValueType);
  }
  TElement::WriteString(package::ToCommaText(project.ShotCutFolderList), out);
  le::WriteI32(out, static_cast<int32_t>(project.ShotCutList.size()));
  for (const auto& item : project.ShotCutList) {
    TElement::WriteString(item->LinkFolder, out);
    TElement::WriteString(item->LinkName, out);
    TElement::WriteString(item->LinkTarget, out);
    TElement::WriteString(item->LinkArguments, out);
    TElement::WriteString(item->LinkDescription, out);
    le::WriteU8(out, item->LinkKind);
  }
  le::WriteI32(out, static_cast<int32_t>(project.CompList.size()));
  for (const auto& item : project.CompList) {
    TElement::WriteString(item->CompName, out);
    le::WriteI64(out, item->CompSize);
  }
  TElement::WriteString(serial, out);
}

WrittenPackage WritePackage(sys::Stream& stub, TCustomCompile& project, const std::string& serial,
                            const ContentSource& content, sys::Stream& target,
                            const WriteOptions& options) {
  WrittenPackage written;
  CopyAll(stub, target);
  written.stubSize = target.Position();
  std::string reserved = options.reserved;
  reserved.resize(static_cast<size_t>(package::kReservedSize), '\0');
  target.Write(reserved.data(), reserved.size());

  package::ChunkDeflater deflater(options.level);
  for (size_t i = 0; i < project.FileList.size(); ++i) {
    TCompileFileData& entry = *project.FileList[i];
    if (entry.EntryKind == package::kEntryFolder)
      continue;  // folders keep whatever values they hold
    entry.DataStart = target.Position();
    std::unique_ptr<sys::Stream> data = content ? content(i, entry) : nullptr;
    entry.FileSize = data ? deflater.WriteRun(*data, target) : 0;
    entry.DataEnd = target.Position();
    if (entry.EntryKind == package::kEntryFile) written.size += entry.FileSize;
  }

  written.directoryOffset = target.Position();
  sys::MemoryStream config;
  WriteConfiguration(project, serial, config);
  config.Seek(0);
  deflater.WriteRun(config, target);

  le::WriteI64(target, written.size);
  le::WriteI64(target, written.directoryOffset);
  written.length = target.Position();
  return written;
}

WrittenPackage WritePackage(sys::Stream& stub, TCompile& project, const ContentSource& content,
                            sys::Stream& target, const WriteOptions& options) {
  WrittenPackage written = WritePackage(stub, static_cast<TCustomCompile&>(project), project.Serial,
                                        content, target, options);
  project.Size = written.size;
  return written;
}

}  // namespace packager
