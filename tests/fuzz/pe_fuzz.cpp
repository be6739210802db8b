// The PE headers and the certificate table of a setup program: ReadPeLayout and the decision
// where the package ends. Whatever the headers say, the package may only end at or before the
// file's end, and a table that ends the package lies after the image, past the package.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "package/PackageBounds.h"
#include "package/PeHeaders.h"
#include "system/Stream.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sys::MemoryStream file(fuzz::Bytes(data, size));
  std::optional<package::PeLayout> layout = package::ReadPeLayout(file);
  if (layout && (layout->imageEnd < 0 || layout->certificateOffset < 0 ||
                 layout->certificateSize < 0))
    std::abort();

  package::PackageBounds bounds;
  if (!fuzz::Survives([&] { bounds = package::FindPackageBounds(file); })) return 0;
  const int64_t length = static_cast<int64_t>(size);
  if (bounds.fileLength != length || bounds.end < 0 || bounds.end > length) std::abort();
  if (bounds.signedAfterPackage) {
    if (!bounds.certificates || bounds.end > bounds.certificates->offset) std::abort();
    if (!layout || bounds.certificates->offset < layout->imageEnd) std::abort();
  }

  package::PackageStream bounded(std::make_unique<sys::MemoryStream>(fuzz::Bytes(data, size)),
                                 bounds.end);
  std::string tail(64, '\0');
  bounded.Seek(bounds.end > 32 ? bounds.end - 32 : 0);
  if (bounded.Position() + static_cast<int64_t>(bounded.Read(tail.data(), tail.size())) >
      bounds.end)
    std::abort();
  return 0;
}
