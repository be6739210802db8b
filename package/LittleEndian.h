// Little-endian integers and doubles of the stored structures, read from and written to byte
// buffers and streams. Package bytes are hostile, so nothing here casts pointers; the stream
// readers throw sys::Error(kDamagedPackage) when the stream ends before the value does.
#pragma once

#include <cstdint>
#include <cstring>

#include "package/uKernal.h"
#include "system/Error.h"
#include "system/Stream.h"

namespace le {

inline uint32_t LoadU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline uint64_t LoadU64(const unsigned char* p) {
  return static_cast<uint64_t>(LoadU32(p)) | static_cast<uint64_t>(LoadU32(p + 4)) << 32;
}

inline void StoreU32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

inline void StoreU64(unsigned char* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Fills buffer completely or reports the package as damaged.
inline void ReadOrDamaged(sys::Stream& stream, void* buffer, size_t count) {
  if (stream.Read(buffer, count) != count) throw sys::Error(package::kDamagedPackage);
}

inline uint8_t ReadU8(sys::Stream& stream) {
  unsigned char b = 0;
  ReadOrDamaged(stream, &b, 1);
  return b;
}

inline uint32_t ReadU32(sys::Stream& stream) {
  unsigned char b[4];
  ReadOrDamaged(stream, b, 4);
  return LoadU32(b);
}

inline int32_t ReadI32(sys::Stream& stream) { return static_cast<int32_t>(ReadU32(stream)); }

inline int64_t ReadI64(sys::Stream& stream) {
  unsigned char b[8];
  ReadOrDamaged(stream, b, 8);
  return static_cast<int64_t>(LoadU64(b));
}

inline double ReadDouble(sys::Stream& stream) {
  uint64_t bits = static_cast<uint64_t>(ReadI64(stream));
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline void WriteU8(sys::Stream& stream, uint8_t v) { stream.Write(&v, 1); }

inline void WriteU32(sys::Stream& stream, uint32_t v) {
  unsigned char b[4];
  StoreU32(b, v);
  stream.Write(b, 4);
}

inline void WriteI32(sys::Stream& stream, int32_t v) { WriteU32(stream, static_cast<uint32_t>(v)); }

inline void WriteI64(sys::Stream& stream, int64_t v) {
  unsigned char b[8];
  StoreU64(b, static_cast<uint64_t>(v));
  stream.Write(b, 8);
}

inline void WriteDouble(sys::Stream& stream, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  WriteI64(stream, static_cast<int64_t>(bits));
}

}  // namespace le
