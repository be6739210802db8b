// The conversion the renderings need for a document stored as UTF-8 (a licence or readme the
// browser pane shows): one line to GBK. The host build converts through the sandbox's iconv
// (ui/headless/host), the Windows build, where the silent run of setup.exe hosts its windows on
// this backend, through the system's code pages (ui/win32).
#pragma once

#include <string>

namespace ui {

// Throws std::exception when line is not valid UTF-8 or GBK cannot hold it.
std::string Utf8LineToGbk(const std::string& line);

}  // namespace ui
