#include "system/sandbox/Encoding.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "system/Error.h"

namespace sys::sandbox {
namespace {

// One iconv conversion of a whole text; the descriptor lives only for the call.
std::string Convert(std::string_view input, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw Error(std::string("iconv: no ") + from + " to " + to);
  std::string out(input.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) continue;
    if (errno != E2BIG) {
      iconv_close(cd);
      throw Error(std::string("Text is not valid ") + from + ": " + std::string(input));
    }
    size_t used = static_cast<size_t>(outPtr - out.data());
    out.resize(out.size() * 2);
    outPtr = out.data() + used;
    outLeft = out.size() - used;
  }
  iconv_close(cd);
  out.resize(static_cast<size_t>(outPtr - out.data()));
  return out;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) { return Convert(gbk, "UTF-8", "GBK"); }

std::string Utf8ToGbk(std::string_view utf8) { return Convert(utf8, "GBK", "UTF-8"); }

}  // namespace sys::sandbox
