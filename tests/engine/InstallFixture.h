// The shared arrangement of the install tests: a fresh sandbox machine (Windows 7, UTC+8) as the
// current platform, a package builder, and a project loaded from the built package the way the
// setup run loads it, with the OnCompile reports collected. Ins.log is read back by a decoder of
// its own, so the tests check the file format rather than the recorder's reader.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/InstallRun.h"
#include "package/uSystem.h"
#include "tests/support/PackageBuilder.h"
#include "tests/support/host/SandboxHost.h"
#include "system/Error.h"
#include "system/Platform.h"
#include "system/sandbox/Encoding.h"

namespace enginetest {

inline constexpr const char* kSetupExe = "C:\\Users\\user\\Downloads\\setup.exe";
inline constexpr const char* kWorkingFolderLog = "C:\\Users\\user\\Downloads\\Ins.log";

struct Report {
  std::string fileName;
  std::string hint;
  int64_t position;
  int64_t max;
};

struct LogItem {
  std::string rootKey, path, valueName;
  uint8_t remove, kind;
};

struct InsLog {
  std::string itemName, serial;
  std::vector<LogItem> items;

  size_t Count(const std::string& path, uint8_t kind) const {
    size_t n = 0;
    for (const auto& item : items) n += (item.path == path && item.kind == kind) ? 1 : 0;
    return n;
  }
};

// Chunk records of zlib streams; the body is two strings, a count and the items.
inline InsLog DecodeInsLog(const std::string& file) {
  std::string body;
  for (size_t at = 0; at < file.size();) {
    uint32_t n = 0;
    std::memcpy(&n, file.data() + at, 4);
    at += 4;
    std::string out(1 << 16, '\0');
    uLongf outSize = out.size();
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &outSize,
                         reinterpret_cast<const Bytef*>(file.data() + at), n),
              Z_OK);
    body.append(out.data(), outSize);
    at += n;
  }
  size_t pos = 0;
  auto u32 = [&] {
    uint32_t v = 0;
    std::memcpy(&v, body.data() + pos, 4);
    pos += 4;
    return v;
  };
  auto str = [&] {
    uint32_t n = u32();
    std::string s = body.substr(pos, n);
    pos += n;
    return s;
  };
  InsLog log;
  log.itemName = str();
  log.serial = str();
  uint32_t count = u32();
  for (uint32_t i = 0; i < count; ++i) {
    LogItem item;
    item.rootKey = str();
    item.path = str();
    item.valueName = str();
    item.remove = static_cast<uint8_t>(body[pos++]);
    item.kind = static_cast<uint8_t>(body[pos++]);
    log.items.push_back(item);
  }
  return log;
}

inline std::string Utf8(const std::string& gbk) { return sys::sandbox::GbkToUtf8(gbk); }

class InstallTest : public ::testing::Test {
 protected:
  sys::sandbox::SandboxPlatform& platform() { return host.platform(); }

  // Writes the package to the setup program's path and loads it into a new project whose
  // install folder is installDir; the reports of its run are collected.
  TCompile& Load(const std::string& installDir = "C:\\Apps\\T") {
    builder.WriteTo(platform(), kSetupExe);
    return LoadProject(installDir);
  }
  // Loads whatever the setup program's file holds now.
  TCompile& LoadProject(const std::string& installDir = "C:\\Apps\\T") {
    reports.clear();
    compile = std::make_unique<TCompile>(platform(), &engine::RunInstall);
    compile->LoadPackage(kSetupExe);
    compile->Options.InstallDir = installDir;
    compile->ItemName = "X";
    compile->OnCompile = [this](const std::string& file, const std::string& hint, int64_t pos,
                                int64_t max) { reports.push_back({file, hint, pos, max}); };
    return *compile;
  }
  void Install() { compile->Install(kSetupExe); }
  void LoadAndInstall(const std::string& installDir = "C:\\Apps\\T") {
    Load(installDir);
    Install();
  }

  bool Exists(const std::string& path) { return platform().FileExists(path); }
  std::optional<sys::RegValue> Value(sys::RegRoot root, const std::string& subkey,
                                     const std::string& name) {
    auto key = platform().OpenKey(root, subkey, false);
    if (!key) return std::nullopt;
    return key->QueryValue(name);
  }
  // The message of the error the install run ends with; empty when it succeeds.
  std::string InstallError() {
    try {
      Install();
    } catch (const sys::Error& e) {
      return e.what();
    }
    return {};
  }
  std::string Read(const std::string& path) { return host.ReadFile(path); }
  // Without an uninstaller entry the log has the bare name, in the working folder.
  InsLog Log(const std::string& path = kWorkingFolderLog) {
    return DecodeInsLog(host.ReadFile(path));
  }
  std::vector<std::string> Hints() const {
    std::vector<std::string> hints;
    for (const auto& r : reports) {
      if (r.position == -1 && r.max == -1) hints.push_back(r.hint);
    }
    return hints;
  }
  // The journal's command lines (RunCommandLine) and shell executes, as GBK.
  std::vector<std::string> CommandLines() {
    std::vector<std::string> lines;
    for (const auto& line : host.Journal()) {
      if (line["op"] == "run") {
        lines.push_back(sys::sandbox::Utf8ToGbk(line["commandLine"].get<std::string>()));
      } else if (line["op"] == "shellRun") {
        lines.push_back("shell " + sys::sandbox::Utf8ToGbk(line["verb"].get<std::string>()) + " " +
                        sys::sandbox::Utf8ToGbk(line["file"].get<std::string>()) + " in " +
                        sys::sandbox::Utf8ToGbk(line["directory"].get<std::string>()));
      }
    }
    return lines;
  }

  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current{host.platform()};
  testsupport::PackageBuilder builder;
  std::unique_ptr<TCompile> compile;
  std::vector<Report> reports;
};

}  // namespace enginetest
