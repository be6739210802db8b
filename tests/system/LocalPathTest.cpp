#include "system/LocalPath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LocalPath, DeviceNamesWithAnyExtensionCaseOrTrailingSpaces) {
  for (const char* name : {"CON", "con", "PRN", "AUX", "NUL", "nul.txt", "COM1", "com9.log", "LPT1",
                           "lpt9", "CONIN$", "conout$", "CON.", "nul .txt", "AUX  ", "con.a.b"}) {
    EXPECT_TRUE(sys::IsDeviceName(name)) << name;
  }
  for (const char* name : {"CONSOLE", "COM0", "COM10", "LPT", "NULL", "xcon", "readme.con", "",
                           "AUX_", "COM1x.txt", "LPT0.txt"}) {
    EXPECT_FALSE(sys::IsDeviceName(name)) << name;
  }
}

TEST(LocalPath, PlainLocalPaths) {
  // GBK characters whose trail byte is 0x5C (a backslash) or 0x7C (a pipe) are plain names.
  const std::string trail5c = std::string("C:\\App\\") + "\x81\x5c" + ".txt";
  const std::string trail7c = std::string("C:\\App\\") + "\x81\x7c" + "\\x";
  for (const std::string& path : {std::string("C:\\App"), std::string("d:\\App\\Sub\\tool.exe"),
                                   std::string("C:\\小工具\\说明.txt"), trail5c, trail7c,
                                   std::string("C:\\App\\.hidden"), std::string("C:\\a..b\\c")}) {
    EXPECT_TRUE(sys::IsPlainLocalPath(path)) << path;
  }
}

TEST(LocalPath, EverythingElseIsNotPlain) {
  for (const char* path : {
           "", "C:", "C:\\", "C:tool.exe", "App\\tool.exe", "\\App\\tool.exe", "1:\\App",
           "C:/App/tool.exe", "C:\\App/tool.exe", "\\\\server\\share\\App", "//server/share/App",
           "\\\\?\\C:\\App\\tool.exe", "\\\\.\\C:\\App", "\\\\.\\PhysicalDrive0", "\\??\\C:\\App",
           "C:\\App\\", "C:\\App\\\\tool.exe", "C:\\App\\..\\Windows", "C:\\.\\App", "C:\\App\\NUL",
           "C:\\COM1.txt\\x", "C:\\App\\aux .log", "C:\\App\\tool.exe:stream", "C:\\App\\a*b",
           "C:\\App\\a?b", "C:\\App\\a|b", "C:\\App\\a\"b", "C:\\App\\a<b>", "C:\\App\\tab\tx"}) {
    EXPECT_FALSE(sys::IsPlainLocalPath(path)) << path;
  }
}

TEST(LocalPath, ALongHostilePathCostsOnlyItsLength) {
  std::string path = "C:\\" + std::string(1 << 20, 'a');
  for (size_t i = 4; i + 1 < path.size(); i += 2) path[i] = '\\';
  EXPECT_TRUE(sys::IsPlainLocalPath(path));
  path += "\\..";
  EXPECT_FALSE(sys::IsPlainLocalPath(path));
}

}  // namespace
