// Small, real PE images for the tests of signed setup programs, and what a signing tool does to
// a file: pad it to 8 bytes, append a certificate table and record it in the security directory.
// The image is complete enough for osslsigncode to sign and verify: DOS header, PE signature,
// file header, a PE32 or PE32+ optional header with 16 data directories, one code section.
#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

struct PeImageOptions {
  bool pe32Plus = false;
  // Bytes after the image (an overlay), to vary where a package appended to it ends.
  size_t overlay = 0;
};

// Offsets of the fields the tests change, within an image of BuildPeImage.
struct PeFields {
  size_t peHeader = 0;           // "PE\0\0"
  size_t sectionCount = 0;       // 16-bit NumberOfSections
  size_t optionalSize = 0;       // 16-bit SizeOfOptionalHeader
  size_t directoryCount = 0;     // 32-bit NumberOfRvaAndSizes
  size_t securityDirectory = 0;  // 32-bit offset, then 32-bit size
  size_t imageEnd = 0;           // end of the last section's raw data
};

std::string BuildPeImage(const PeImageOptions& options = {});
PeFields PeFieldsOf(const PeImageOptions& options = {});

void PutU16(std::string& bytes, size_t at, uint16_t value);
void PutU32(std::string& bytes, size_t at, uint32_t value);

// Pads file with zeros to a multiple of 8, appends a certificate table of tableSize bytes
// (WIN_CERTIFICATE header, then filler) and records it in the security directory. Returns the
// table's offset.
size_t AppendCertificateTable(std::string& file, const PeImageOptions& options,
                              size_t tableSize = 64, char filler = '\x11');

}  // namespace testsupport
