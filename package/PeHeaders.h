// The few facts of a setup program's PE headers that decide where its package ends: where the
// executable image ends and where the security directory says the certificate table lies.
//
// The headers are hostile input like the package: every offset and count is checked against the
// file before it is used, reads are fixed-size or bounded by the header's own limits, and a
// header that is not well-formed yields nothing instead of an error (the file is then read as
// if unsigned). Only the DOS header, the PE signature, the file header, the optional header of
// PE32 or PE32+ and the section table are read.
#pragma once

#include <cstdint>
#include <optional>

namespace sys {
class Stream;
}

namespace package {

struct PeLayout {
  bool pe32Plus = false;
  // End of the headers and of the last section's raw data: where anything appended begins.
  int64_t imageEnd = 0;
  // Security directory entry: unlike the other directories it holds a file offset, not an RVA.
  // Both are 0 in an unsigned file.
  int64_t certificateOffset = 0;
  int64_t certificateSize = 0;
};

// Reads the PE headers at the start of file; nullopt when they are missing or malformed.
std::optional<PeLayout> ReadPeLayout(sys::Stream& file);

}  // namespace package
