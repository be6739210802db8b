#include "tools/reading/PackageFile.h"

#include <vector>

#include "package/ChunkCodec.h"
#include "package/LittleEndian.h"
#include "package/PackageFormat.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "tools/commands/HostFiles.h"
#include "tools/host/ToolText.h"

namespace tool {
namespace {

// The configuration in memory, bounded as the runtime bounds it.
class BoundedMemoryStream : public sys::MemoryStream {
 public:
  void Write(const void* buffer, size_t count) override {
    if (Position() + static_cast<int64_t>(count) > package::kMaxConfigurationSize) {
      throw sys::Error(package::kDamagedPackage);
    }
    MemoryStream::Write(buffer, count);
  }
};

std::string Offset(int64_t value) { return std::to_string(value); }

}  // namespace

std::optional<ChunkFault> CheckChunkRun(sys::Stream& file, int64_t start, int64_t end,
                                        RunFigures& figures) {
  package::ChunkInflater inflater;
  std::vector<unsigned char> chunk;
  int64_t pos = start;
  file.Seek(start);
  while (pos < end) {
    if (end - pos < 4) {
      return ChunkFault{pos, "chunk length cut short by the end of the run at " + Offset(end)};
    }
    unsigned char header[4];
    if (file.Read(header, 4) != 4) return ChunkFault{pos, "the file ends inside a chunk length"};
    const uint32_t n = le::LoadU32(header);
    if (n > end - pos - 4) {
      return ChunkFault{pos, "chunk length " + std::to_string(n) +
                                 " runs past the end of the run at " + Offset(end)};
    }
    if (n > package::ChunkInflater::MaxChunkInput()) {
      return ChunkFault{pos, "chunk length " + std::to_string(n) + " is larger than any chunk"};
    }
    chunk.resize(n);
    if (file.Read(chunk.data(), n) != n) return ChunkFault{pos, "the file ends inside a chunk"};
    try {
      figures.unpacked += static_cast<int64_t>(inflater.InflateOne(chunk.data(), n).size());
    } catch (const sys::Error&) {
      return ChunkFault{pos, "chunk of " + std::to_string(n) +
                                 " bytes is not one complete, valid zlib stream"};
    }
    ++figures.chunks;
    pos += 4 + static_cast<int64_t>(n);
  }
  return std::nullopt;
}

PackageFile::PackageFile(const std::filesystem::path& path) : PackageFile(path, PathText(path)) {}

PackageFile::PackageFile(const std::filesystem::path& path, const std::string& name) {
  std::unique_ptr<sys::Stream> file = OpenInputFile(path);
  bounds_ = package::FindPackageBounds(*file);
  file_ = std::make_unique<package::PackageStream>(std::move(file), bounds_.end);
  trailer_.length = bounds_.fileLength;
  trailer_.end = bounds_.end;
  if (trailer_.end < package::kTrailerSize) {
    throw Failure("'" + name + "' is shorter than a package trailer (16 bytes)");
  }
  file_->Seek(trailer_.end - package::kTrailerSize);
  trailer_.size = le::ReadI64(*file_);
  trailer_.directoryOffset = le::ReadI64(*file_);
}

std::unique_ptr<TCompile> PackageFile::ReadProject(int64_t* configurationBytes,
                                                   int64_t* unparsed) {
  auto project = std::make_unique<TCompile>(platform_);
  project->Size = trailer_.size;
  const int64_t directory = trailer_.directoryOffset;
  const int64_t trailerStart = trailer_.end - package::kTrailerSize;
  if (directory <= 0) return project;
  if (directory > trailerStart) {
    throw Failure("directory offset " + Offset(directory) + " lies beyond the trailer at " +
                  Offset(trailerStart));
  }
  BoundedMemoryStream config;
  package::ChunkInflater().CopyRun(*file_, directory, trailerStart, config);
  config.Seek(0);
  project->ReadConfiguration(config);
  if (configurationBytes) *configurationBytes = config.Size();
  if (unparsed) *unparsed = config.Remaining();
  return project;
}

std::string DescribeEntry(const TCompileFileData& entry, size_t index) {
  std::string name = entry.EntryKind == package::kEntryFolder
                         ? entry.EntryName
                         : sys::ExtractFileName(entry.SourcePath);
  if (name.empty()) name = entry.SourcePath;
  return "entry " + std::to_string(index) + " (" + GbkToUtf8Lossy(name) + ")";
}

}  // namespace tool
