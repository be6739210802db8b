#include "package/uKernal.h"

#include <cstdint>

#include "package/LittleEndian.h"
#include "system/Error.h"

std::string TElement::ReadString(sys::Stream& stream) {
  uint32_t count = le::ReadU32(stream);
  // The count is checked against what is left before anything is sized from it.
  if (static_cast<int64_t>(count) > stream.Remaining()) throw sys::Error(package::kDamagedPackage);
  std::string text(count, '\0');
  le::ReadOrDamaged(stream, text.data(), count);
  return text;
}

void TElement::WriteString(const std::string& text, sys::Stream& stream) {
  le::WriteU32(stream, static_cast<uint32_t>(text.size()));
  stream.Write(text.data(), text.size());
}
