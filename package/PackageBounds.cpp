#include "package/PackageBounds.h"

#include <algorithm>

#include "package/ChunkCodec.h"
#include "package/LittleEndian.h"
#include "package/PackageFormat.h"
#include "package/PeHeaders.h"
#include "package/uCommon.h"
#include "system/Error.h"
#include "system/Platform.h"

namespace package {

namespace {

// Signing tools align the certificate table to 8 bytes with zeros.
constexpr int64_t kMaxPadding = 7;
// A configuration the reader accepts holds at most this many full chunks; a walk longer than
// that is not leading to a trailer.
constexpr int64_t kMaxConfigurationRecords = kMaxConfigurationSize / kChunkBlockSize;

bool AllZero(const unsigned char* bytes, int64_t count) {
  return std::all_of(bytes, bytes + count, [](unsigned char b) { return b == 0; });
}

// True when the chunk record lengths from start lead exactly to end.
bool RecordsEndAt(sys::Stream& file, int64_t start, int64_t end) {
  const auto maxChunk = static_cast<int64_t>(ChunkInflater::MaxChunkInput());
  int64_t at = start;
  for (int64_t records = 0; at < end && records < kMaxConfigurationRecords; ++records) {
    if (end - at < 4) return false;
    unsigned char length[4];
    file.Seek(at);
    if (file.Read(length, 4) != 4) return false;
    const int64_t n = le::LoadU32(length);
    if (n == 0 || n > maxChunk || n > end - at - 4) return false;
    at += 4 + n;
  }
  return at == end;
}

// Where the trailer ends when the certificate table at tableOffset ends the package: the bytes
// between them are zero padding, and the trailer's configuration block leads up to it.
int64_t TrailerEndBefore(sys::Stream& file, int64_t tableOffset, int64_t imageEnd) {
  const int64_t padding = std::min(kMaxPadding, tableOffset - kTrailerSize - imageEnd);
  const int64_t windowStart = tableOffset - kTrailerSize - padding;
  unsigned char window[kTrailerSize + kMaxPadding];
  file.Seek(windowStart);
  if (file.Read(window, static_cast<size_t>(tableOffset - windowStart)) !=
      static_cast<size_t>(tableOffset - windowStart)) {
    return tableOffset;
  }
  for (int64_t p = 0; p <= padding; ++p) {
    const int64_t end = tableOffset - p;
    const unsigned char* trailer = window + (end - kTrailerSize - windowStart);
    if (!AllZero(trailer + kTrailerSize, p)) break;
    const auto directory = static_cast<int64_t>(le::LoadU64(trailer + 8));
    if (directory > 0 && directory <= end - kTrailerSize &&
        RecordsEndAt(file, directory, end - kTrailerSize)) {
      return end;
    }
  }
  return tableOffset;
}

}  // namespace

PackageBounds FindPackageBounds(sys::Stream& file) {
  PackageBounds bounds;
  bounds.fileLength = bounds.end = file.Size();
  const std::optional<PeLayout> pe = ReadPeLayout(file);
  if (!pe || (pe->certificateOffset == 0 && pe->certificateSize == 0)) return bounds;
  bounds.certificates = CertificateTable{pe->certificateOffset, pe->certificateSize};

  const int64_t tableEnd = pe->certificateOffset + pe->certificateSize;
  const int64_t slack = bounds.fileLength - tableEnd;
  if (pe->certificateSize == 0 || slack < 0 || slack > kMaxPadding) return bounds;
  if (pe->certificateOffset < pe->imageEnd + kTrailerSize) return bounds;
  unsigned char tail[kMaxPadding];
  file.Seek(tableEnd);
  if (file.Read(tail, static_cast<size_t>(slack)) != static_cast<size_t>(slack) ||
      !AllZero(tail, slack)) {
    return bounds;
  }
  bounds.end = TrailerEndBefore(file, pe->certificateOffset, pe->imageEnd);
  bounds.signedAfterPackage = true;
  return bounds;
}

PackageStream::PackageStream(std::unique_ptr<sys::Stream> file, int64_t end)
    : file_(std::move(file)), end_(end) {}

size_t PackageStream::Read(void* buffer, size_t count) {
  const int64_t left = end_ - file_->Position();
  if (left <= 0) return 0;
  return file_->Read(buffer, static_cast<size_t>(std::min<int64_t>(left, count)));
}

void PackageStream::Write(const void*, size_t) { throw sys::Error(sys::kStreamWriteError); }

std::unique_ptr<sys::Stream> BoundToPackage(std::unique_ptr<sys::Stream> file) {
  const int64_t end = FindPackageBounds(*file).end;
  file->Seek(0);
  return std::make_unique<PackageStream>(std::move(file), end);
}

std::unique_ptr<sys::Stream> OpenPackage(sys::Platform& platform, const std::string& path) {
  return BoundToPackage(platform.OpenForRead(path));
}

}  // namespace package
