// The binary shell link writer: its header fields, a reader from outside (lnkinfo), and the
// decoder's resistance to damaged files.
#include "system/sandbox/ShellLinkFile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include "system/sandbox/Encoding.h"
#include "tests/support/host/SandboxHost.h"

namespace {

using sys::sandbox::DecodeShellLink;
using sys::sandbox::EncodeShellLink;
using testsupport::SandboxHost;

uint32_t U32At(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return v;
}

sys::ShellLink SampleLink() {
  return sys::ShellLink{"C:\\Program Files\\应用\\App.exe", "-x \"y z\"", "应用程序 Tool",
                        "C:\\Program Files\\应用\\", sys::kSwShowNormal};
}

std::string RunCommand(const std::string& command) {
  std::string output;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return output;
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) output.append(buffer.data(), n);
  return output;
}

TEST(ShellLinkFile, HeaderCarriesClsidAndShowCommand) {
  sys::ShellLink link = SampleLink();
  link.showCommand = 7;
  auto bytes = EncodeShellLink(link);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(U32At(*bytes, 0), 0x4Cu);
  EXPECT_EQ(bytes->substr(4, 16), std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
  EXPECT_EQ(U32At(*bytes, sys::sandbox::kShellLinkShowCommandOffset), 7u);
  uint32_t flags = U32At(*bytes, 0x14);
  EXPECT_EQ(flags & 0xF6, 0xB6u);  // LinkInfo, name, working folder, arguments, Unicode
  EXPECT_EQ(U32At(*bytes, bytes->size() - 4), 0u);
}

TEST(ShellLinkFile, EmptyFieldsAreLeftOut) {
  auto bytes = EncodeShellLink(sys::ShellLink{"C:\\a.exe", "", "", "", 1});
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(U32At(*bytes, 0x14), 0x82u);
  auto back = DecodeShellLink(*bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->target, "C:\\a.exe");
  EXPECT_EQ(back->arguments, "");
}

TEST(ShellLinkFile, DecodesWhatItEncodes) {
  auto bytes = EncodeShellLink(SampleLink());
  ASSERT_TRUE(bytes.has_value());
  auto back = DecodeShellLink(*bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->target, SampleLink().target);
  EXPECT_EQ(back->arguments, SampleLink().arguments);
  EXPECT_EQ(back->description, SampleLink().description);
  EXPECT_EQ(back->workingDirectory, SampleLink().workingDirectory);
  EXPECT_EQ(back->showCommand, 1);
}

TEST(ShellLinkFile, DamagedFilesAreRefusedNotOverrun) {
  auto bytes = EncodeShellLink(SampleLink());
  ASSERT_TRUE(bytes.has_value());
  // Every truncation either fails or yields a shorter link; ASan watches the reads.
  for (size_t size = 0; size + 4 < bytes->size(); ++size) {
    auto back = DecodeShellLink(bytes->substr(0, size));
    if (back) {
      EXPECT_NE(back->arguments, SampleLink().arguments) << size;
    }
  }
  std::string wrongClsid = *bytes;
  wrongClsid[5] = 'x';
  EXPECT_EQ(DecodeShellLink(wrongClsid), std::nullopt);
  std::string hugeLinkInfo = *bytes;
  hugeLinkInfo[0x4C + 3] = '\x7f';
  EXPECT_EQ(DecodeShellLink(hugeLinkInfo), std::nullopt);
}

TEST(ShellLinkFile, TooLongTextsAreRefused) {
  sys::ShellLink link = SampleLink();
  link.arguments.assign(70000, 'a');
  EXPECT_EQ(EncodeShellLink(link), std::nullopt);
  link.arguments = "\xff\xff";  // not GBK
  EXPECT_EQ(EncodeShellLink(link), std::nullopt);
}

TEST(ShellLinkFile, WrittenLinkStoresTheFullTarget) {
  SandboxHost host;
  sys::ShellLink link = SampleLink();
  link.target = "c:/program files/应用/./App.exe";
  ASSERT_TRUE(host.platform().WriteShellLink("C:\\App.lnk", link));
  auto back = DecodeShellLink(host.ReadFile("C:\\App.lnk"));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->target, "C:\\program files\\应用\\App.exe");
}

TEST(ShellLinkFile, LnkinfoReadsTheFieldsBack) {
  if (RunCommand("command -v lnkinfo").empty()) GTEST_SKIP() << "lnkinfo is not installed";
  SandboxHost host;
  ASSERT_TRUE(host.platform().WriteShellLink("C:\\Users\\user\\Desktop\\App.lnk", SampleLink()));
  std::string file = host.Host("C:\\Users\\user\\Desktop\\App.lnk").string();
  std::string output = RunCommand("lnkinfo -c windows-936 '" + file + "' 2>&1");
  using sys::sandbox::GbkToUtf8;
  EXPECT_NE(output.find("Local path\t\t\t: " + GbkToUtf8(SampleLink().target) + "\n"), std::string::npos) << output;
  EXPECT_NE(output.find("Description\t\t\t: " + GbkToUtf8(SampleLink().description) + "\n"), std::string::npos)
      << output;
  EXPECT_NE(output.find("Working directory\t\t: " + GbkToUtf8(SampleLink().workingDirectory) + "\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("Command line arguments\t\t: -x \"y z\"\n"), std::string::npos) << output;
  EXPECT_NE(output.find("Drive type\t\t\t: Fixed (3)"), std::string::npos) << output;
}

}  // namespace
