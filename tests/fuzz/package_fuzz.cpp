// The package reader on a setup program's file: LoadPackage, then CopyEntryData over every
// entry, then ExtractResources into the machine's temporary folder.
//
// The first byte chooses how the rest is read. Even: the rest is the whole file as it sits on
// disk, chunk records and zlib streams included. Odd: the rest is an unpacked configuration
// stream, packed here into a well-formed file whose entry data holds one known run; zlib's
// checksums would otherwise keep almost every mutation of the configuration from being read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "package/LittleEndian.h"
#include "package/PackageBounds.h"
#include "package/uSystem.h"
#include "system/Stream.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

constexpr const char* kSetupPath = "C:\\Downloads\\setup.exe";
// Unpacked bytes the program lets one input write in all, so that many entries naming one
// large run cost time in proportion to the input, not to what the run claims.
constexpr int64_t kOutputBudget = int64_t{64} << 20;

struct OverBudget {};

// Counts what CopyEntryData writes and throws OverBudget past the budget.
class CountingSink : public sys::Stream {
 public:
  explicit CountingSink(int64_t& total) : total_(total) {}
  size_t Read(void*, size_t) override { return 0; }
  void Write(const void*, size_t count) override {
    written_ += static_cast<int64_t>(count);
    total_ += static_cast<int64_t>(count);
    if (total_ > kOutputBudget) throw OverBudget{};
  }
  void Seek(int64_t) override {}
  int64_t Position() const override { return written_; }
  int64_t Size() const override { return written_; }

 private:
  int64_t& total_;
  int64_t written_ = 0;
};

// A 64-byte stub, the reserved bytes, one entry's run of 20,000 known bytes at offset 72, the
// configuration block, the trailer.
std::string PackageAround(const std::string& configuration) {
  static const std::string entryRun = fuzz::StoredChunkRun(std::string(20000, 'x'));
  std::string file(64, 'S');
  file.append(8, '\0');
  file += entryRun;
  const int64_t directory = static_cast<int64_t>(file.size());
  file += fuzz::StoredChunkRun(configuration);
  sys::MemoryStream trailer;
  le::WriteI64(trailer, 20000);
  le::WriteI64(trailer, directory);
  return file + trailer.bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  fuzz::Machine& machine = fuzz::Machine::Get();
  const std::string rest = fuzz::Bytes(data + 1, size - 1);
  machine.Put(kSetupPath, (data[0] & 1) ? PackageAround(rest) : rest);

  TCompile compile(machine.platform());
  if (!fuzz::Survives([&] { compile.LoadPackage(kSetupPath); })) return 0;

  std::unique_ptr<sys::Stream> source = package::OpenPackage(machine.platform(), kSetupPath);
  int64_t total = 0;
  try {
    for (const auto& entry : compile.FileList) {
      CountingSink sink(total);
      fuzz::Survives(
          [&] { TCompile::CopyEntryData(*source, sink, entry->DataStart, entry->DataEnd); });
    }
    fuzz::Survives([&] { compile.ExtractResources(*source); });
  } catch (const OverBudget&) {
  }
  compile.ClearTempFiles();
  machine.ClearTemp();
  return 0;
}
