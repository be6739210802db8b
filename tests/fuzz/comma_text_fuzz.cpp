// Comma text of the folder lists: any text reads into a list, and a list of GBK items so read
// writes back to a text that reads into the same list. Items that are not GBK (a lead byte
// followed by a byte that cannot trail it, or ending the item) have no comma text that reads
// back: the reader pairs a lead byte with whatever byte follows, as Windows' CharNext does, and
// the packager only ever writes GBK.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "package/CommaText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool IsGbk(const std::string& text) {
  for (size_t at = 0; at < text.size(); ++at) {
    auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x81 || lead == 0xFF) continue;
    if (++at == text.size()) return false;
    auto trail = static_cast<unsigned char>(text[at]);
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> items = package::FromCommaText(fuzz::Bytes(data, size));
  for (const std::string& item : items)
    if (!IsGbk(item)) return 0;
  if (package::FromCommaText(package::ToCommaText(items)) != items) std::abort();
  return 0;
}
