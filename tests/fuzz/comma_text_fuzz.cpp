// Comma text of the folder lists: any text reads into a list, and any list so read writes back
// to a text that reads into the same list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "package/CommaText.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> items = FromCommaText(fuzz::Bytes(data, size));
  if (FromCommaText(ToCommaText(items)) != items) std::abort();
  return 0;
}
