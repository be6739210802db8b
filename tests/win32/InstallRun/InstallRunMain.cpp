// install-run SETUP [--dir FOLDER] [--open]: one setup run of a setup program on the real
// Windows platform, without windows, as the no-options install window performs it: load the
// package, unpack the page resources, install, delete the temporary files. The install folder
// can be overridden; the application and readme are opened only with --open, and the restart
// is never offered, so a test run leaves nothing running. A SETUP without a folder is taken from
// beside install-run itself, found through the platform's ExePath as the setup program finds its
// own file (the case of a user whose downloads folder GBK cannot spell). Status lines and
// installed files are printed in UTF-8 as they are reported; exit code 0, or 1 with the error
// on stderr.
//
// Its output is read by tests/win32/InstallRun/check-install-run.sh, which checks the machine
// from outside.
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "engine/FinishActions.h"
#include "engine/InstallRun.h"
#include "package/Options.h"
#include "package/PackageBounds.h"
#include "package/uSystem.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"
#include "system/win32/WideText.h"
#include "system/win32/Win32Platform.h"

namespace {

std::string Utf8(const std::string& gbk) {
  std::wstring wide = sys::win32::ToWide(gbk);
  if (wide.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                      nullptr, nullptr);
  return text;
}

void Print(std::FILE* stream, const std::string& gbk) {
  std::string text = Utf8(gbk) + "\n";
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

// The arguments from the UTF-16 command line, as GBK: argv would be in the ANSI code page,
// which cannot hold Chinese paths on a non-Chinese system.
std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) args.push_back(sys::win32::FromWide(wide[i]));
  LocalFree(wide);
  return args;
}

struct Request {
  std::string setup;
  std::string installDir;
  bool open = false;
};

bool ParseRequest(const std::vector<std::string>& args, Request& request) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--open") {
      request.open = true;
    } else if (args[i] == "--dir" && i + 1 < args.size()) {
      request.installDir = args[++i];
    } else if (request.setup.empty() && args[i].compare(0, 2, "--") != 0) {
      request.setup = args[i];
    } else {
      return false;
    }
  }
  return !request.setup.empty();
}

void RunSetup(sys::Platform& platform, Request request) {
  TCompile compile(platform, &engine::RunInstall);
  engine::ScopedTempFiles cleanup(compile);
  if (request.setup.find('\\') == std::string::npos) {
    request.setup = sys::ExtractFilePath(platform.ExePath()) + request.setup;
  }
  if (!platform.FileExists(request.setup)) throw sys::Error("no setup program at " + request.setup);
  Print(stdout, "setup program " + request.setup);
  compile.LoadPackage(request.setup);
  sys::WizardTitle = "“" + compile.ItemName + "”安装向导";
  Print(stdout, "loaded " + compile.ItemName + " " + compile.Version + ": " +
                    std::to_string(compile.FileList.size()) + " entries");

  if (FindBasicSetting(compile, "显示加载进度")) {
    std::unique_ptr<sys::Stream> self = package::OpenPackage(platform, request.setup);
    compile.ExtractResources(*self);
    Print(stdout, "unpacked " + std::to_string(compile.TempFiles.size()) + " resources into " +
                      sys::GetTempDir());
  }
  if (!request.installDir.empty()) compile.Options.InstallDir = request.installDir;
  Print(stdout, "install folder " + compile.Options.InstallDir);

  compile.OnCompile = [](const std::string& fileName, const std::string& hint, int64_t position,
                         int64_t max) {
    if (position < 0) {
      Print(stdout, "== " + hint);
    } else {
      Print(stdout, "   " + fileName + " (" + std::to_string(position) + "/" +
                        std::to_string(max) + ")");
    }
  };
  compile.Install(request.setup);
  Print(stdout, "installed");

  if (request.open) engine::OpenChosenFiles(compile);
}

}  // namespace

int main() {
  // Binary mode: the C runtime would turn each "\n" into "\r\n" on a pipe.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  Request request;
  if (!ParseRequest(Arguments(), request)) {
    Print(stderr, "usage: install-run SETUP [--dir FOLDER] [--open]");
    return 2;
  }
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  try {
    RunSetup(platform, request);
  } catch (const std::exception& error) {
    Print(stderr, std::string("install-run: ") + error.what());
    return 1;
  }
  return 0;
}
