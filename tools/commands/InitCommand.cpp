// init FOLDER -o PROJECT.json: writes a starting project for a folder of files, from the
// answers to a few questions (product name, version, publisher, install folder): a wizard with
// the usual pages, the whole folder as one tree entry, a Start-menu shortcut to the program,
// the uninstaller. build accepts it as it is (given --uninstaller EXE).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "tools/commands/CommandLine.h"
#include "tools/commands/Commands.h"
#include "tools/host/HostSystem.h"
#include "tools/host/ToolText.h"
#include "tools/project/FolderTree.h"
#include "tools/project/JsonFields.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

std::string NewSerial() {
  std::random_device device;
  std::uniform_int_distribution<int> digit(0, 15);
  std::string serial;
  for (int i = 0; i < 32; ++i) {
    if (i == 8 || i == 12 || i == 16 || i == 20) serial += '-';
    serial += "0123456789ABCDEF"[digit(device)];
  }
  return serial;
}

// The value of option, else the answer typed on a terminal, else fallback.
std::string Answer(const ParsedArgs& args, const std::string& option, const std::string& question,
                   const std::string& fallback, std::ostream& out) {
  if (auto value = args.Value(option)) return *value;
  if (!host::IsTerminal(host::StandardStream::Input)) return fallback;
  out << question << " [" << fallback << "]: " << std::flush;
  std::string line;
  if (!std::getline(std::cin, line) || line.empty()) return fallback;
  return line;
}

Json Setting(const std::string& caption, const std::string& value, int group) {
  return Json{{"caption", caption}, {"value", value}, {"group", group}};
}

// The program a shortcut and the finish page should start: the only .exe at the top of the
// folder, else none.
std::string MainProgram(const std::vector<TreeItem>& items) {
  std::string found;
  for (const TreeItem& item : items) {
    if (item.folder || item.relative.find('/') != std::string::npos) continue;
    const std::string& name = item.relative;
    if (name.size() > 4 && (name.substr(name.size() - 4) == ".exe" || name.substr(name.size() - 4) == ".EXE")) {
      if (!found.empty()) return {};
      found = name;
    }
  }
  return found;
}

struct ProductAnswers {
  std::string name, version, publisher, installFolder;  // UTF-8
};

ProductAnswers AskProduct(const ParsedArgs& args, const fs::path& folder, std::ostream& out) {
  ProductAnswers product;
  product.name = Answer(args, "--name", "Product name", PathText(folder.filename()), out);
  product.version = Answer(args, "--version", "Version", "1.0", out);
  product.publisher = Answer(args, "--publisher", "Publisher", "", out);
  product.installFolder = Answer(args, "--install-folder", "Install folder",
                                 "[System ProgramFiles]\\" + product.name, out);
  return product;
}

// The files go below the install folder's last part: the runtime maps that part onto the
// folder the user chooses (docs/components-and-folders.md).
std::string ProductRoot(const std::string& installFolder) {
  const size_t lastSeparator = installFolder.find_last_of('\\');
  const std::string productFolder =
      lastSeparator == std::string::npos ? installFolder : installFolder.substr(lastSeparator + 1);
  if (productFolder.empty()) throw UsageError("--install-folder must end with a folder name");
  return Utf8(u8"目标计算机\\Program Files\\") + productFolder + "\\";
}

// The wizard's usual pages and what they show.
Json WizardSettings(const ProductAnswers& product) {
  const std::string on = Utf8(u8"启用");
  return Json::array({
      Setting(Utf8(u8"项目名称"), product.name, 0),
      Setting(Utf8(u8"作者名称"), product.publisher, 0),
      Setting(Utf8(u8"版本号"), product.version, 0),
      Setting(Utf8(u8"显示安装界面"), on, 0),
      Setting(Utf8(u8"显示加载进度"), on, 0),
      Setting(Utf8(u8"显示安装背景窗口"), Utf8(u8"禁用"), 0),
      Setting(Utf8(u8"欢迎"), on, 1),
      Setting(Utf8(u8"选择开始菜单文件夹"), on, 1),
      Setting(Utf8(u8"选择安装文件夹"), on, 1),
      Setting(Utf8(u8"附加任务"), on, 1),
      Setting(Utf8(u8"确认安装"), on, 1),
      Setting(Utf8(u8"安装进程"), on, 1),
      Setting(Utf8(u8"安装完毕"), on, 1),
      Setting(Utf8(u8"公司名称"), product.publisher, 2),
      Setting(Utf8(u8"默认文件夹名称"), product.name, 6),
      Setting(Utf8(u8"允许用户修改文件夹名称"), on, 6),
      Setting(Utf8(u8"显示用户选择选项"), on, 6),
      Setting(Utf8(u8"默认安装路径"), product.installFolder, 8),
      Setting(Utf8(u8"允许用户修改安装路径"), on, 8),
      Setting(Utf8(u8"安装详细信息"), on, 11),
  });
}

// The tree entry of the folder and the uninstaller, paths relative to the project's folder.
Json FileEntries(const fs::path& folder, const fs::path& projectFile, const std::string& content,
                 const std::string& destFolder, const ParsedArgs& args) {
  Json tree = {{"kind", "tree"}, {"content", content}, {"destFolder", destFolder}};
  // A project written into the folder it packs leaves itself out.
  const std::string inside =
      GenericPathText(fs::absolute(projectFile).lexically_normal().lexically_relative(folder));
  if (!inside.empty() && inside.rfind("..", 0) != 0) tree["exclude"] = Json::array({inside});
  Json uninstaller = {{"kind", "uninstaller"}, {"source", "uninst.exe"}};
  if (auto exe = args.Value("--uninstaller")) {
    uninstaller["content"] =
        GenericPathText(fs::absolute(HostPath(*exe)).lexically_relative(fs::absolute(projectFile).parent_path()));
  }
  return Json::array({tree, uninstaller});
}

int Run(CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {"-o", "--output", "--name", "--version",
                                             "--publisher", "--install-folder", "--uninstaller"},
                              {"--force"});
  ExpectPositional(args, 1);
  auto output = args.Value("-o");
  if (!output) output = args.Value("--output");
  if (!output) throw UsageError("-o PROJECT.json is required");
  // On standard output, content paths are relative to the current folder (as build reads a
  // project from standard input) and the questions and the status go to standard error.
  const bool toStandardOutput = *output == "-";
  const fs::path projectFile = toStandardOutput ? fs::path("project.json") : HostPath(*output);
  std::ostream& talk = toStandardOutput ? context.err : context.out;
  if (!toStandardOutput && fs::exists(projectFile) && !args.Has("--force")) {
    throw Failure("'" + PathText(projectFile) + "' exists; --force replaces it");
  }
  fs::path folder = fs::absolute(HostPath(args.positional[0])).lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();
  std::vector<TreeItem> items = ExpandFolderTree(folder, TreeFilter{});
  if (items.empty()) throw Failure("'" + args.positional[0] + "' holds no files");
  const ProductAnswers product = AskProduct(args, folder, talk);

  std::string content =
      GenericPathText(folder.lexically_relative(fs::absolute(projectFile).parent_path()));
  if (content.empty()) content = ".";
  // Settings and shortcuts name a file by its source, which a tree entry makes from content.
  std::string programSource = content;
  for (char& c : programSource) {
    if (c == '/') c = '\\';
  }
  const std::string program = MainProgram(items);
  programSource += "\\" + program;

  Json project;
  project["comment"] = "Written by setup-tool init from " + args.positional[0] +
                       ". Build it with: setup-tool build " + PathText(projectFile.filename()) +
                       " --stub setup.exe --uninstaller uninst.exe -o Setup.exe";
  project["serial"] = NewSerial();
  project["files"] = FileEntries(folder, projectFile, content, ProductRoot(product.installFolder), args);
  Json settings = WizardSettings(product);
  if (!program.empty()) {
    settings.push_back(Setting(Utf8(u8"创建桌面快捷方式"), Utf8(u8"启用"), 9));
    settings.push_back(Setting(Utf8(u8"应用程序文件"), programSource, 12));
    auto link = [&](const char8_t* where) {
      return Json{{"kind", "lnk"}, {"folder", Utf8(where)}, {"name", product.name}, {"target", programSource}};
    };
    project["shortcuts"] = Json::array({link(u8"开始菜单\\"), link(u8"桌面\\")});
  }
  project["settings"] = settings;
  if (toStandardOutput) {
    context.out << project.dump(2) << "\n";
  } else {
    std::ofstream file(projectFile, std::ios::binary | std::ios::trunc);
    if (!file) throw Failure("cannot create '" + PathText(projectFile) + "'");
    file << project.dump(2) << "\n";
    if (!file.flush()) throw Failure("cannot write '" + PathText(projectFile) + "'");
  }
  std::ostream& status = context.verbosity == Verbosity::Quiet ? context.Status() : talk;
  status << "wrote " << *output << ": " << items.size() << " items from "
              << args.positional[0] << (program.empty() ? "" : ", program " + program) << "\n";
  return kExitOk;
}

}  // namespace

const Command& InitCommand() {
  static const Command command{
      "init", "write a starting project for a folder of files",
      "FOLDER -o PROJECT.json [--name TEXT] [--version TEXT] [--publisher TEXT]\n"
      "      [--install-folder PATH] [--uninstaller EXE] [--force]\n\n"
      "Writes a project that installs everything in FOLDER (one tree entry) with a wizard\n"
      "(welcome, start-menu folder, install folder, tasks, ready, progress, finish), the\n"
      "uninstaller and, when FOLDER holds exactly one .exe at its top, Start-menu and\n"
      "desktop shortcuts to it, which the finish page offers to start. Options not given\n"
      "are asked on a terminal; otherwise the name is FOLDER's name, the version 1.0, the\n"
      "install folder [System ProgramFiles]\\NAME. build accepts the project as it is:\n"
      "  setup-tool build PROJECT.json --stub setup.exe --uninstaller uninst.exe -o Setup.exe\n"
      "--force replaces an existing PROJECT.json. -o - writes the project to standard output\n"
      "(its content paths relative to the current folder, as build - reads them).\n",
      &Run};
  return command;
}

}  // namespace tool
