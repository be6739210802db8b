#include "tools/host/ToolText.h"

#include <cstdio>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"

namespace tool {

std::string GbkToUtf8Lossy(std::string_view gbk) {
  try {
    return sys::sandbox::GbkToUtf8(gbk);
  } catch (const sys::Error&) {
    std::string text;
    for (unsigned char c : gbk) {
      if (c >= 0x20 && c < 0x7F) {
        text += static_cast<char>(c);
      } else {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        text += escaped;
      }
    }
    return text;
  }
}

std::string DescribeError(const std::exception& error) {
  if (dynamic_cast<const sys::Error*>(&error)) return GbkToUtf8Lossy(error.what());
  return error.what();
}

std::filesystem::path HostPath(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string GenericPathText(const std::filesystem::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace tool
