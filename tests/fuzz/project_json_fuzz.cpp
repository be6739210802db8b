// setup-tool's project JSON reader, from the file as build reads it: any bytes end in a project
// or in a tool::Failure naming the fault.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "system/Error.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tools/host/ToolText.h"
#include "tools/project/ProjectJson.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path file =
      fuzz::Machine::Get().platform().HostPath("C:\\Project\\project.json").value();
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  try {
    tool::LoadProjectFile(file);
  } catch (const tool::Failure&) {
  } catch (const sys::Error&) {
  }
  return 0;
}
