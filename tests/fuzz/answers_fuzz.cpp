// setup-tool's answers file (simulate, uninstall): any bytes end in scripted answers or in a
// tool::Failure naming the fault.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "tests/fuzz/FuzzSupport.h"
#include "tools/host/ToolText.h"
#include "tools/simulation/Answers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Machine& machine = fuzz::Machine::Get();
  static const std::filesystem::path file =
      machine.platform().HostPath("C:\\Project\\answers.json").value();
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  try {
    tool::LoadAnswers(machine.platform(), file);
  } catch (const tool::Failure&) {
  }
  return 0;
}
