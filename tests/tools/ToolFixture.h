// A temporary folder and the tool run in-process for the setup-tool tests, plus a small
// project that touches every list, written in the complete shape that inspect prints (so a
// round trip can compare the documents whole).
//
// Test sources are compiled with a GBK execution character set: JSON text is written with
// u8"" literals (U8), GBK expectations with plain literals.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/host/SandboxHost.h"
#include "tools/commands/Commands.h"
#include "tools/project/JsonFields.h"

namespace tooltest {

namespace fs = std::filesystem;
using tool::Json;

inline std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct ToolResult {
  int code = -1;
  std::string out;
  std::string err;
};

// Every byte value and a run long enough for three chunks.
inline std::string PatternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 300) % 256);
  return bytes;
}

// Puts bytes on std::cin for the scope.
class ScopedStandardInput {
 public:
  explicit ScopedStandardInput(const std::string& bytes)
      : buffer_(bytes), old_(std::cin.rdbuf(&buffer_)) {}
  ~ScopedStandardInput() {
    std::cin.rdbuf(old_);
    std::cin.clear();
  }
  ScopedStandardInput(const ScopedStandardInput&) = delete;
  ScopedStandardInput& operator=(const ScopedStandardInput&) = delete;

 private:
  std::stringbuf buffer_;
  std::streambuf* old_;
};

class ToolTest : public ::testing::Test {
 protected:
  ToolTest() : dir_(testsupport::MakeTempFolder("tool")) {}
  ~ToolTest() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // A progress meter's count at its end: bytes counted and its total.
  struct MeterCount {
    int64_t counted = 0;
    int64_t total = 0;
  };

  ToolResult Run(const std::vector<std::string>& args, std::vector<MeterCount>* meters = nullptr) {
    std::ostringstream out, err;
    ToolResult result;
    auto observer = [meters](int64_t counted, int64_t total) {
      meters->push_back(MeterCount{counted, total});
    };
    result.code = meters ? tool::RunTool(args, out, err, observer) : tool::RunTool(args, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
  }

  fs::path Write(const fs::path& relative, const std::string& bytes) {
    fs::path path = dir_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static std::string Read(const fs::path& path) {
    std::ifstream input(path, std::ios::binary);
    std::stringstream bytes;
    bytes << input.rdbuf();
    return bytes.str();
  }

  fs::path Stub() { return Write("stub.exe", "MZ" + std::string(510, 'S')); }

  // Content files under dir_/content and the project referring to them.
  Json SmallProject() {
    Write("content/tool.exe", PatternBytes(20000));
    Write("content/licence.txt", "\xD0\xED\xBF\xC9\xD0\xAD\xD2\xE9");  // GBK
    Write("content/Rt.ini", "[RegistryList]\r\nRegtype=Copy\r\n");
    Write("content/uninst.exe", "uninstaller");
    Write("content/empty.dat", "");
    Json project;
    project["serial"] = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
    project["settings"] = Json::array({
        Json{{"caption", U8(u8"项目名称")}, {"value", U8(u8"小工具")}, {"group", 0}},
        Json{{"caption", U8(u8"欢迎")}, {"value", U8(u8"启用")}, {"group", 1}},
        Json{{"caption", U8(u8"协议文件")}, {"value", "D:\\pkg\\licence.txt"}, {"group", 3}},
    });
    project["fileFolders"] = Json::array({U8(u8"目标计算机\\Program Files\\Tool\\"),
                                          U8(u8"目标计算机\\Program Files\\Tool\\My Docs\\")});
    project["files"] = Json::array({
        Entry("folder", "cache", "", U8(u8"目标计算机\\Program Files\\Tool"), "", -1.0),
        Entry("file", "", "D:\\pkg\\tool.exe", U8(u8"目标计算机\\Program Files\\Tool\\"),
              "content/tool.exe", "2024-05-01T09:30:00"),
        Entry("resource", "", "D:\\pkg\\licence.txt", "", "content/licence.txt",
              "2023-12-31T23:59:59.500"),
        Entry("component", "Rt", U8(u8"D:\\pkg\\组件\\Rt.ini"), U8(u8"D:\\pkg\\组件"),
              "content/Rt.ini", "2024-01-02T03:04:05"),
        Entry("uninstaller", "", "D:\\pkg\\uninst.exe", "", "content/uninst.exe",
              45000.123456789),
        Entry("file", "", "D:\\pkg\\empty.dat", U8(u8"目标计算机\\Windows\\"), "content/empty.dat",
              "2024-05-01T09:30:00"),
    });
    project["files"][1]["runAfterInstall"] = true;
    project["files"][1]["noOverwrite"] = true;
    project["files"][1]["targetOs"] = "6.1";
    project["regFolders"] = Json::array({U8(u8"目标计算机\\HKEY_LOCAL_MACHINE\\Software\\Tool")});
    project["registry"] = Json::array({
        Reg(U8(u8"目标计算机\\HKEY_LOCAL_MACHINE\\Software\\Tool"), "Path", "REG_SZ",
            U8(u8"[安装目录]\\tool.exe"), ""),
        Reg(U8(u8"目标计算机\\HKEY_CURRENT_USER\\Software\\Tool"), "Count", "REG_DWORD", "FF",
            "5.1"),
        Reg(U8(u8"目标计算机\\HKEY_CURRENT_USER\\Software\\Tool"), "Bytes", "REG_BINARY", "0A1",
            ""),
    });
    project["shortcutFolders"] = Json::array({U8(u8"开始菜单\\工具\\")});
    project["shortcuts"] = Json::array({
        Link("lnk", U8(u8"开始菜单\\"), U8(u8"小工具"), "D:\\pkg\\tool.exe", "/x", U8(u8"说明")),
        Link("url", U8(u8"桌面\\"), "Home", "http://example.com/", "", ""),
    });
    project["components"] = Json::array({Json{{"name", "Rt"}, {"size", 123}}});
    return project;
  }

  fs::path WriteProject(const Json& project, const std::string& name = "project.json") {
    return Write(name, project.dump(2));
  }

  // Builds the project into dir_/setup.exe; fails the test when build fails.
  fs::path BuildProject(const Json& project) {
    fs::path json = WriteProject(project);
    fs::path setup = dir_ / "setup.exe";
    ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o",
                             setup.string()});
    EXPECT_EQ(result.code, 0) << result.err;
    return setup;
  }

  fs::path dir_;

 private:
  static Json Entry(const std::string& kind, const std::string& name, const std::string& source,
                    const std::string& destFolder, const std::string& content,
                    const Json& fileTime) {
    Json entry;
    entry["kind"] = kind;
    entry["name"] = name;
    entry["source"] = source;
    entry["destFolder"] = destFolder;
    if (!content.empty()) entry["content"] = content;
    for (const char* flag : {"runAtStartup", "keepOnUninstall", "noOverwrite", "isComponent",
                             "isService", "runAfterInstall", "isPatch"}) {
      entry[flag] = false;
    }
    entry["targetOs"] = "";
    entry["fileTime"] = fileTime;
    return entry;
  }

  static Json Reg(const std::string& key, const std::string& name, const std::string& type,
                  const std::string& data, const std::string& targetOs) {
    return Json{{"key", key}, {"name", name}, {"type", type}, {"data", data},
                {"targetOs", targetOs}};
  }

  static Json Link(const std::string& kind, const std::string& folder, const std::string& name,
                   const std::string& target, const std::string& arguments,
                   const std::string& description) {
    return Json{{"kind", kind},     {"folder", folder},       {"name", name},
                {"target", target}, {"arguments", arguments}, {"description", description}};
  }
};

}  // namespace tooltest
