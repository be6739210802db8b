// The check an install run makes before its first change to the machine: every entry it will
// unpack must have a chunk run that stays inside the package and ends exactly at its DataEnd,
// every file it will write must have a plain file name, and no folder it writes into may name a
// device (CON, NUL, COM1, ...). Only the record lengths are read,
// nothing is inflated, so a cut-short or spliced download is refused while the machine is still
// untouched. A chunk whose zlib data is bad is found later, while unpacking it.
#pragma once

#include <string>

class TCompile;
struct TCompileFileData;
namespace sys {
class Stream;
}

namespace engine {

// Throws sys::Error(kDamagedPackage) for the first entry that fails.
void VerifyPackage(const TCompile& compile, sys::Stream& package, const std::string& osVersion);

// Walks the record lengths of [start, end); throws sys::Error(kDamagedPackage) when a record
// leaves the package or the run, or a length cannot be a chunk.
void VerifyChunkRun(sys::Stream& package, int64_t start, int64_t end);

}  // namespace engine
