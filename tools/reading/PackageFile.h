// A setup program's file opened for reading by the tool: its trailer, its configuration read
// by the runtime's own reader (so the tool sees exactly what a setup run would), and a walker
// that checks a chunk run record by record and says where and why it is damaged.
//
// The walker never trusts a length: every record is checked against the run's end before its
// bytes are read, so a hostile file costs at most one chunk's worth of memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "package/PackageBounds.h"
#include "package/uSystem.h"
#include "system/Stream.h"
#include "tools/reading/InertPlatform.h"

namespace tool {

struct ChunkFault {
  int64_t offset = 0;  // absolute offset of the record at fault
  std::string reason;  // UTF-8
};

struct RunFigures {
  int64_t chunks = 0;
  int64_t unpacked = 0;
};

// Walks the run [start, end) of file, inflating every chunk and discarding the output.
std::optional<ChunkFault> CheckChunkRun(sys::Stream& file, int64_t start, int64_t end,
                                        RunFigures& figures);

struct PackageTrailer {
  int64_t length = 0;           // the file's length
  int64_t end = 0;              // where the package ends: the trailer's last byte is before it
  int64_t size = 0;             // Size
  int64_t directoryOffset = 0;  // D
};

class PackageFile {
 public:
  // Throws tool::Failure when the file cannot be opened or its package is shorter than a
  // trailer.
  explicit PackageFile(const std::filesystem::path& path);
  // The same, with name for the file in messages ("standard input" for a copy of it).
  PackageFile(const std::filesystem::path& path, const std::string& name);

  // The file up to the package's end (a signed file's certificate table is never read).
  sys::Stream& stream() { return *file_; }
  const PackageTrailer& trailer() const { return trailer_; }
  const package::PackageBounds& bounds() const { return bounds_; }

  // Reads and parses the configuration block (empty project when D <= 0). Throws tool::Failure
  // for an offset outside the file and sys::Error as the runtime would for a damaged block.
  // unparsed receives the count of configuration bytes left after the serial.
  std::unique_ptr<TCompile> ReadProject(int64_t* configurationBytes = nullptr,
                                        int64_t* unparsed = nullptr);

 private:
  std::unique_ptr<sys::Stream> file_;
  PackageTrailer trailer_;
  package::PackageBounds bounds_;
  InertPlatform platform_;
};

// What to call entry index in messages: "entry 3 (readme.txt)".
std::string DescribeEntry(const TCompileFileData& entry, size_t index);

}  // namespace tool
