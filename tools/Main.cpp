// setup-tool: builds, inspects, verifies and extracts setup packages on the host.
#include <iostream>
#include <string>
#include <vector>

#include "tools/commands/Commands.h"
#include "tools/host/HostSystem.h"

int main(int argc, char** argv) {
  tool::host::UseBinaryStandardStreams();
  std::vector<std::string> args(argv + 1, argv + argc);
  return tool::RunTool(args, std::cout, std::cerr);
}
