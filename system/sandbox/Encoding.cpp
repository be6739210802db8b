#include "system/sandbox/Encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "system/Error.h"

namespace sys::sandbox {
namespace {

// An iconv descriptor for one direction, opened once per thread: opening one costs more than
// converting a path. Each text starts from the initial state.
class Converter {
 public:
  Converter(const char* to, const char* from) : to_(to), from_(from), cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != kInvalid) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::string operator()(std::string_view input) const {
    // ASCII is the same bytes in GBK and UTF-8.
    if (std::all_of(input.begin(), input.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
      return std::string(input);
    if (cd_ == kInvalid) throw Error(std::string("iconv: no ") + from_ + " to " + to_);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(input.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
      if (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) continue;
      if (errno != E2BIG) throw Error(std::string("Text is not valid ") + from_ + ": " + std::string(input));
      size_t used = static_cast<size_t>(outPtr - out.data());
      out.resize(out.size() * 2);
      outPtr = out.data() + used;
      outLeft = out.size() - used;
    }
    out.resize(static_cast<size_t>(outPtr - out.data()));
    return out;
  }

 private:
  static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);
  const char* to_;
  const char* from_;
  iconv_t cd_;
};

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  static thread_local const Converter convert("UTF-8", "GBK");
  return convert(gbk);
}

std::string Utf8ToGbk(std::string_view utf8) {
  static thread_local const Converter convert("GBK", "UTF-8");
  return convert(utf8);
}

}  // namespace sys::sandbox
