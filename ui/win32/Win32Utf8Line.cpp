#include "ui/headless/Utf8Line.h"

#include "system/Error.h"
#include "system/win32/WideText.h"

namespace ui {

std::string Utf8LineToGbk(const std::string& line) {
  std::optional<std::wstring> wide = sys::win32::WideFromUtf8(line);
  std::optional<std::string> gbk = wide ? sys::win32::FromWideExact(*wide) : std::nullopt;
  if (!gbk) throw sys::Error(sys::kNotUtf8Text);
  return *gbk;
}

}  // namespace ui
