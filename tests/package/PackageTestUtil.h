// Small helpers shared by the package tests: the message of the error an action raises, raw
// chunk records, and a package assembled by hand around given configuration bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "package/ChunkCodec.h"
#include "package/LittleEndian.h"
#include "system/Error.h"
#include "system/Stream.h"

namespace packagetest {

// The message of the sys::Error that action throws, or "<no error>".
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const sys::Error& e) {
    return e.what();
  }
  return "<no error>";
}

inline std::string Le32(uint32_t v) {
  sys::MemoryStream s;
  le::WriteU32(s, v);
  return s.TakeBytes();
}

inline std::string Le64(int64_t v) {
  sys::MemoryStream s;
  le::WriteI64(s, v);
  return s.TakeBytes();
}

// A chunk record around arbitrary bytes (which need not be a valid zlib stream).
inline std::string Record(const std::string& payload) {
  return Le32(static_cast<uint32_t>(payload.size())) + payload;
}

// The chunk run of data in 8,192-byte blocks.
inline std::string ChunkRun(const std::string& data, TCompressLevelEnum level = cplDefault) {
  sys::MemoryStream source(data);
  sys::MemoryStream target;
  package::ChunkDeflater(level).WriteRun(source, target);
  return target.TakeBytes();
}

// stub + reserved + configuration block (the given chunk run) + trailer.
inline std::string RawPackage(const std::string& configRun, int64_t size = 0,
                              const std::string& stub = std::string(64, 'S')) {
  std::string file = stub + std::string(8, '\0');
  int64_t directory = static_cast<int64_t>(file.size());
  file += configRun;
  return file + Le64(size) + Le64(directory);
}

}  // namespace packagetest
