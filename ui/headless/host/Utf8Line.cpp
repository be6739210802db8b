#include "ui/headless/Utf8Line.h"

#include "system/sandbox/Encoding.h"

namespace ui {

std::string Utf8LineToGbk(const std::string& line) { return sys::sandbox::Utf8ToGbk(line); }

}  // namespace ui
