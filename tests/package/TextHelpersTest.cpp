#include <gtest/gtest.h>

#include "package/CommaText.h"
#include "package/uCommon.h"
#include "system/Error.h"
#include "system/Platform.h"
#include "system/sandbox/ShellLinkFile.h"
#include "tests/support/host/SandboxHost.h"

namespace {

using List = std::vector<std::string>;

List Split(const std::string& text, const std::string& delimiter) {
  List parts{"stale"};
  SplitText(text, delimiter, parts);
  return parts;
}

TEST(SplitText, DropsEmptyPartsAndFindsTheDelimiterInEitherCase) {
  EXPECT_EQ(Split("", "\\"), List{});
  EXPECT_EQ(Split("aXbxc", "X"), (List{"a", "b", "c"}));
  EXPECT_EQ(Split("a\\\\b\\", "\\"), (List{"a", "b"}));
  EXPECT_EQ(Split("\\a", "\\"), (List{"a"}));
  EXPECT_EQ(Split("one--two", "--"), (List{"one", "two"}));
  EXPECT_EQ(Split("abc", ""), (List{"abc"}));
}

TEST(SplitText, NeverSplitsInsideADoubleByteCharacter) {
  // "表" is B1 ED in GBK; "能" is C4 DC; 0x5C as a trail byte occurs in "\x95\x5C".
  std::string trail = "\x95\x5C";
  EXPECT_EQ(Split("A" + trail + "B\\C", "\\"), (List{"A" + trail + "B", "C"}));
  // A delimiter letter that appears as a trail byte is not a delimiter either ("\x81X").
  EXPECT_EQ(Split("a\x81Xb", "x"), (List{"a\x81Xb"}));
}

TEST(ExpandSystemPath, ExpandsThePlaceholderOnlyAtTheStart) {
  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current(host.platform());
  EXPECT_EQ(ExpandSystemPath("[System ProgramFiles]\\Tools\\Current"),
            "C:\\Program Files\\Tools\\Current");
  EXPECT_EQ(ExpandSystemPath("[system programfiles]\\A"), "C:\\Program Files\\A");
  EXPECT_EQ(ExpandSystemPath("[System ProgramFiles]\\\\A\\"), "C:\\Program Files\\A");
  EXPECT_EQ(ExpandSystemPath("C:\\[System ProgramFiles]\\A"), "C:\\[System ProgramFiles]\\A");
  EXPECT_EQ(ExpandSystemPath("D:\\Apps\\\\X\\"), "D:\\Apps\\\\X\\");
}

TEST(CommaText, QuotesItemsWithBlanksCommasAndQuotes) {
  EXPECT_EQ(package::ToCommaText({}), "");
  EXPECT_EQ(package::ToCommaText({""}), "\"\"");
  EXPECT_EQ(
      package::ToCommaText({"目标计算机\\Program Files\\应用\\", "a", "b,c", "q\"x", "", "t\tab"}),
      "\"目标计算机\\Program Files\\应用\\\",a,\"b,c\",\"q\"\"x\",,\"t\tab\"");
  EXPECT_EQ(package::ToCommaText({"目标计算机\\Windows\\系统"}), "目标计算机\\Windows\\系统");
}

TEST(CommaText, ReadsTheWrittenForm) {
  struct Case {
    std::string text;
    List items;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"a,b", {"a", "b"}},
      {"  a , b  ", {"a", "b"}},
      {"a,", {"a", ""}},
      {"a,,b", {"a", "", "b"}},
      {"\"x y\",\"q\"\"z\"", {"x y", "q\"z"}},
      {"\"\"", {""}},
      {"a b", {"a", "b"}},  // an unquoted item ends at a blank
      {"\"open", {"open"}},
      {std::string("a\0b", 3), {"a"}},
  };
  for (const Case& c : cases) EXPECT_EQ(package::FromCommaText(c.text), c.items) << c.text;
}

TEST(CommaText, RoundTripsFolderLists) {
  const List lists[] = {
      {},
      {""},
      {"目标计算机\\Program Files\\我的软件\\", "指定目录\\D:\\Data, Old\\", "\"quoted\""},
      {"", "", "x"},
  };
  for (const List& items : lists)
    EXPECT_EQ(package::FromCommaText(package::ToCommaText(items)), items);
}

TEST(ShortcutFiles, InternetShortcutPathIsTheSameWithOrWithoutTrailingSeparator) {
  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current(host.platform());
  host.platform().ForceDirectories("C:\\Links");
  CreateInternetShortcut("Home", "http://a.example/", "C:\\Links\\");
  EXPECT_EQ(host.ReadFile("C:\\Links\\Home.url"), "[InternetShortcut]\r\nURL=http://a.example/\r\n");
  CreateInternetShortcut("Home", "http://b.example/", "C:\\Links");
  EXPECT_EQ(host.ReadFile("C:\\Links\\Home.url"), "[InternetShortcut]\r\nURL=http://b.example/\r\n");
}

TEST(ShortcutFiles, InternetShortcutIntoAMissingFolderFails) {
  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current(host.platform());
  EXPECT_THROW(CreateInternetShortcut("Home", "http://a/", "D:\\Missing"), sys::Error);
}

TEST(ShortcutFiles, ShellLinkWorksInTheTargetsFolder) {
  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current(host.platform());
  host.platform().ForceDirectories("C:\\Links");
  CreateShellLink("C:\\Links", "应用.lnk", "C:\\Program Files\\App\\app.exe", "-q", "说明");
  auto link = sys::sandbox::DecodeShellLink(host.ReadFile("C:\\Links\\应用.lnk"));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, "C:\\Program Files\\App\\app.exe");
  EXPECT_EQ(link->arguments, "-q");
  EXPECT_EQ(link->description, "说明");
  EXPECT_EQ(link->workingDirectory, "C:\\Program Files\\App\\");
  EXPECT_EQ(link->showCommand, sys::kSwShowNormal);
}

}  // namespace
