#include "tests/support/PeImage.h"

namespace testsupport {
namespace {

constexpr size_t kPeHeader = 0x40;
constexpr size_t kFileAlignment = 0x200;
constexpr size_t kSectionAlignment = 0x1000;
constexpr size_t kDirectories = 16;

size_t OptionalSize(bool pe32Plus) { return (pe32Plus ? 112 : 96) + kDirectories * 8; }

}  // namespace

void PutU16(std::string& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

void PutU32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

PeFields PeFieldsOf(const PeImageOptions& options) {
  PeFields fields;
  fields.peHeader = kPeHeader;
  fields.sectionCount = kPeHeader + 4 + 2;
  fields.optionalSize = kPeHeader + 4 + 16;
  const size_t optional = kPeHeader + 24;
  fields.directoryCount = optional + (options.pe32Plus ? 108 : 92);
  fields.securityDirectory = fields.directoryCount + 4 + 4 * 8;
  fields.imageEnd = 2 * kFileAlignment;
  return fields;
}

std::string BuildPeImage(const PeImageOptions& options) {
  const PeFields fields = PeFieldsOf(options);
  std::string image(fields.imageEnd, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  PutU32(image, 0x3C, kPeHeader);
  image.replace(kPeHeader, 4, std::string("PE\0\0", 4));
  PutU16(image, kPeHeader + 4, options.pe32Plus ? 0x8664 : 0x14C);  // machine
  PutU16(image, fields.sectionCount, 1);
  PutU16(image, fields.optionalSize, static_cast<uint16_t>(OptionalSize(options.pe32Plus)));
  PutU16(image, kPeHeader + 4 + 18, options.pe32Plus ? 0x22 : 0x102);  // executable image

  const size_t opt = kPeHeader + 24;
  PutU16(image, opt, options.pe32Plus ? 0x20B : 0x10B);
  PutU32(image, opt + 4, kFileAlignment);      // SizeOfCode
  PutU32(image, opt + 16, kSectionAlignment);  // AddressOfEntryPoint
  PutU32(image, opt + 20, kSectionAlignment);  // BaseOfCode
  // ImageBase is 32 bits in PE32 (after BaseOfData), 64 bits in PE32+.
  PutU32(image, options.pe32Plus ? opt + 24 : opt + 28, 0x400000);
  PutU32(image, opt + 32, kSectionAlignment);
  PutU32(image, opt + 36, kFileAlignment);
  PutU16(image, opt + 40, 4);                      // operating system version
  PutU16(image, opt + 48, 4);                      // subsystem version
  PutU32(image, opt + 56, 2 * kSectionAlignment);  // SizeOfImage
  PutU32(image, opt + 60, kFileAlignment);         // SizeOfHeaders
  PutU16(image, opt + 68, 2);                      // subsystem: GUI
  PutU32(image, fields.directoryCount, kDirectories);

  const size_t section = opt + OptionalSize(options.pe32Plus);
  image.replace(section, 5, ".text");
  PutU32(image, section + 8, 16);  // VirtualSize
  PutU32(image, section + 12, kSectionAlignment);
  PutU32(image, section + 16, kFileAlignment);  // SizeOfRawData
  PutU32(image, section + 20, kFileAlignment);  // PointerToRawData
  PutU32(image, section + 36, 0x60000020);      // code, execute, read
  image[kFileAlignment] = '\xC3';               // ret
  return image + std::string(options.overlay, 'O');
}

size_t AppendCertificateTable(std::string& file, const PeImageOptions& options, size_t tableSize,
                              char filler) {
  file.append((8 - file.size() % 8) % 8, '\0');
  const size_t offset = file.size();
  std::string table(tableSize, filler);
  PutU32(table, 0, static_cast<uint32_t>(tableSize));
  PutU16(table, 4, 0x200);  // revision 2
  PutU16(table, 6, 2);      // PKCS#7 signed data
  file += table;
  const size_t directory = PeFieldsOf(options).securityDirectory;
  PutU32(file, directory, static_cast<uint32_t>(offset));
  PutU32(file, directory + 4, static_cast<uint32_t>(tableSize));
  return offset;
}

}  // namespace testsupport
