#include "package/PeHeaders.h"

#include <algorithm>
#include <vector>

#include "package/LittleEndian.h"
#include "system/Stream.h"

namespace package {

namespace {

constexpr int64_t kDosHeaderSize = 64;
constexpr int64_t kNewHeaderPointer = 0x3C;
constexpr int64_t kFileHeaderSize = 4 + 20;  // "PE\0\0" and the COFF file header
constexpr int64_t kSectionHeaderSize = 40;
// The Windows loader refuses more sections than this, so a larger count is not an image.
constexpr uint16_t kMaxSections = 96;
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr uint32_t kSecurityDirectory = 4;

uint16_t LoadU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Reads exactly count bytes at offset, or reports that the file is too short for them.
bool ReadAt(sys::Stream& file, int64_t offset, unsigned char* buffer, int64_t count) {
  if (offset < 0 || count < 0 || offset > file.Size() - count) return false;
  file.Seek(offset);
  return file.Read(buffer, static_cast<size_t>(count)) == static_cast<size_t>(count);
}

}  // namespace

std::optional<PeLayout> ReadPeLayout(sys::Stream& file) {
  unsigned char dos[kDosHeaderSize];
  if (!ReadAt(file, 0, dos, kDosHeaderSize) || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
  const int64_t peOffset = le::LoadU32(dos + kNewHeaderPointer);

  unsigned char header[kFileHeaderSize];
  if (!ReadAt(file, peOffset, header, kFileHeaderSize)) return std::nullopt;
  if (header[0] != 'P' || header[1] != 'E' || header[2] != 0 || header[3] != 0) return std::nullopt;
  const uint16_t sections = LoadU16(header + 4 + 2);
  const int64_t optionalSize = LoadU16(header + 4 + 16);
  if (sections > kMaxSections) return std::nullopt;

  // At most 64 KiB, as the field is 16 bits wide.
  std::vector<unsigned char> optional(static_cast<size_t>(optionalSize));
  const int64_t optionalOffset = peOffset + kFileHeaderSize;
  if (optionalSize < 2 || !ReadAt(file, optionalOffset, optional.data(), optionalSize)) {
    return std::nullopt;
  }
  PeLayout layout;
  const uint16_t magic = LoadU16(optional.data());
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) return std::nullopt;
  layout.pe32Plus = magic == kMagicPe32Plus;
  const int64_t directoryCountField = layout.pe32Plus ? 108 : 92;
  const int64_t directories = directoryCountField + 4;
  const int64_t security = directories + kSecurityDirectory * 8;
  if (security + 8 > optionalSize) return std::nullopt;
  if (le::LoadU32(optional.data() + directoryCountField) <= kSecurityDirectory) return std::nullopt;
  layout.certificateOffset = le::LoadU32(optional.data() + security);
  layout.certificateSize = le::LoadU32(optional.data() + security + 4);

  constexpr int64_t kSizeOfHeadersField = 60;  // the same place in PE32 and PE32+
  layout.imageEnd = le::LoadU32(optional.data() + kSizeOfHeadersField);
  std::vector<unsigned char> table(static_cast<size_t>(sections * kSectionHeaderSize));
  if (!ReadAt(file, optionalOffset + optionalSize, table.data(),
              static_cast<int64_t>(table.size()))) {
    return std::nullopt;
  }
  for (uint16_t i = 0; i < sections; ++i) {
    const unsigned char* section = table.data() + i * kSectionHeaderSize;
    const int64_t rawSize = le::LoadU32(section + 16);
    const int64_t rawOffset = le::LoadU32(section + 20);
    if (rawSize != 0) layout.imageEnd = std::max(layout.imageEnd, rawOffset + rawSize);
  }
  return layout;
}

}  // namespace package
