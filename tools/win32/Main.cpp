// setup-tool.exe: the arguments come as UTF-16 (wmain), so names outside the ANSI code page
// arrive whole; the commands take them as UTF-8, as on Linux.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tools/commands/Commands.h"
#include "tools/host/HostSystem.h"

int wmain(int argc, wchar_t** argv) {
  tool::host::UseBinaryStandardStreams();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::u8string utf8 = std::filesystem::path(argv[i]).u8string();
    args.emplace_back(utf8.begin(), utf8.end());
  }
  return tool::RunTool(args, std::cout, std::cerr);
}
