// Writes an install package the way the packager does: the stub (an executable image), 8
// reserved bytes, one chunk run per FileList entry in list order (8,192-byte blocks at zlib's
// default level), the configuration block, and the 16-byte trailer (PackageFormat.h).
//
// The writer fills in what only it can know: DataStart, DataEnd and FileSize of every entry,
// and Size (the unpacked bytes of all kind-0 entries). Kind-1 entries (folders) carry no data
// and their content source is never asked; an entry whose source gives no stream, or an empty
// one, has no chunks (DataStart == DataEnd). Content is streamed block by block, so an entry of
// any size costs one block and its compressed form in memory.
//
// Host-side only: used by setup-tool and by the tests' builders, never by the runtime.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "package/uCommon.h"
#include "package/uSystem.h"

namespace sys {
class Stream;
}

namespace packager {

// The content of FileList entry `index` as a stream read from its current position to its end,
// or nullptr for an entry without content.
using ContentSource =
    std::function<std::unique_ptr<sys::Stream>(size_t index, const TCompileFileData& entry)>;

struct WriteOptions {
  // Level of the entry chunks; the configuration block uses the same.
  TCompressLevelEnum level = cplDefault;
  // The 8 reserved bytes; the runtime never reads them.
  std::string reserved = std::string(8, '\0');
};

// Where the parts of a written package ended up (absolute offsets in the target).
struct WrittenPackage {
  int64_t stubSize = 0;        // S
  int64_t directoryOffset = 0; // D
  int64_t size = 0;            // Size in the trailer
  int64_t length = 0;          // L
};

// Writes the configuration stream (the field order of PackageFormat.h) of project and serial.
void WriteConfiguration(const TCustomCompile& project, const std::string& serial,
                        sys::Stream& target);

// Appends the package behind stub to target: target receives stub (copied from its position
// to its end) and then the package. Rewrites DataStart/DataEnd/FileSize of project's entries.
WrittenPackage WritePackage(sys::Stream& stub, TCustomCompile& project, const std::string& serial,
                            const ContentSource& content, sys::Stream& target,
                            const WriteOptions& options = {});

// The same for a TCompile: takes its Serial and sets its Size.
WrittenPackage WritePackage(sys::Stream& stub, TCompile& project, const ContentSource& content,
                            sys::Stream& target, const WriteOptions& options = {});

}  // namespace packager
