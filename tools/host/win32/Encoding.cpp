// GBK <-> UTF-8 for setup-tool.exe, through UTF-16 with code page 936 named explicitly (the
// Linux tool uses iconv); like that one, a text the other encoding cannot hold fails loudly.
#include "system/sandbox/Encoding.h"

#include <string>

#include "system/Error.h"
#include "system/win32/WideText.h"

namespace sys::sandbox {

std::string GbkToUtf8(std::string_view gbk) {
  const std::wstring wide = sys::win32::ToWide(gbk);
  // ToWide is lenient with bytes that are no GBK; going back must give the same bytes.
  if (sys::win32::FromWideExact(wide) != std::string(gbk)) {
    throw Error("Text is not valid GBK: " + std::string(gbk));
  }
  return sys::win32::Utf8FromWide(wide);
}

std::string Utf8ToGbk(std::string_view utf8) {
  const std::optional<std::wstring> wide = sys::win32::WideFromUtf8(utf8);
  if (!wide) throw Error("Text is not valid UTF-8: " + std::string(utf8));
  std::optional<std::string> gbk = sys::win32::FromWideExact(*wide);
  if (!gbk) throw Error("Text is not valid UTF-8: " + std::string(utf8));
  return *gbk;
}

}  // namespace sys::sandbox
