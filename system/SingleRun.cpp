#include "system/SingleRun.h"

#include <cstdint>

#include "system/Gbk.h"

namespace sys {

std::string ProductRunName(const std::string& productName) {
  // FNV-1a, 64 bits: stable across builds and platforms, unlike std::hash.
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : AsciiUpper(productName)) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = "SetupRuntime-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 0xF];
  return name;
}

std::string AnotherRunText(const std::string& productName) {
  return "“" + productName + "”的另一个安装或卸载程序正在运行。请等它结束后再试。";
}

}  // namespace sys
