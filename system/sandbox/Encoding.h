// GBK <-> UTF-8 for the host side: sandbox host file names, JSON files and tool output.
// Conversion uses glibc iconv; a text that the other encoding cannot hold fails loudly instead
// of turning into question marks.
#pragma once

#include <string>
#include <string_view>

namespace sys::sandbox {

// Throws sys::Error when the bytes are not valid in the source encoding.
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace sys::sandbox
