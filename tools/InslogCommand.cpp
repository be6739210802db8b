// inslog FILE: an Ins.log of the host file system printed as JSON.
#include <filesystem>

#include "tools/CommandLine.h"
#include "tools/Commands.h"
#include "tools/HostFiles.h"
#include "tools/InertPlatform.h"
#include "tools/InsLogJson.h"
#include "tools/ToolText.h"
#include "tools/packager/HostFileStream.h"
#include "undo/uUnInstall.h"

namespace tool {
namespace {

// Lets the recorder read one host file by its host path, and nothing else.
class HostLogPlatform : public InertPlatform {
 public:
  bool FileExists(const std::string& path) const override {
    return std::filesystem::is_regular_file(HostPath(path));
  }
  std::unique_ptr<sys::Stream> OpenForRead(const std::string& path) override {
    return packager::OpenHostFile(HostPath(path));
  }
};

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {});
  ExpectPositional(args, 1);
  InputFile input(args.positional[0]);
  const std::string file = PathText(input.path());
  HostLogPlatform platform;
  if (!platform.FileExists(file)) throw Failure("no uninstall log at " + input.name());
  TUnInstall log(platform);
  log.LoadFromFile(file);
  context.out << InsLogToJson(log).dump(2) << "\n";
  return kExitOk;
}

}  // namespace

const Command& InslogCommand() {
  static const Command command{
      "inslog", "print an uninstall log (Ins.log) as JSON",
      "FILE\n\n"
      "Decodes the uninstall log FILE (a host path) and prints its header and items, in\n"
      "recorded order, as JSON: kind (file, folder, registry), path, the registry root and\n"
      "value name of registry items, and whether the uninstaller removes the item.\n"
      "FILE \"-\" reads the log from standard input.\n",
      &Run};
  return command;
}

}  // namespace tool
