// A vendor packs, then signs: the demo packed behind a real PE stub and signed by osslsigncode
// with a self-signed test certificate inspects, verifies and installs exactly like the unsigned
// file, and the signature's digest covers the package. Signing in the wrong order, or changing
// the file after signing, is reported.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <regex>

#include "tests/support/PeImage.h"
#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

struct ProgramResult {
  int code = -1;
  std::string output;  // stdout and stderr together
};

ProgramResult RunProgram(const std::string& commandLine) {
  ProgramResult result;
  FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Each run unpacks into a folder of its own with a random name; two runs differ only there.
std::string WithoutRunFolder(const std::string& text) {
  static const std::regex kRunFolder("~stp[0-9a-f]{8}");
  return std::regex_replace(text, kRunFolder, "~stpXXXXXXXX");
}

// Every file below root by relative path, with its content (the run folder's name left out).
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    if (item.is_regular_file()) {
      std::ifstream input(item.path(), std::ios::binary);
      std::stringstream bytes;
      bytes << input.rdbuf();
      files[fs::relative(item.path(), root).generic_string()] = WithoutRunFolder(bytes.str());
    }
  }
  return files;
}

class SignedSetupTest : public ToolTest {
 protected:
  void SetUp() override {
    for (const char* program : {"osslsigncode", "openssl"}) {
      ASSERT_EQ(RunProgram(std::string("command -v ") + program).code, 0)
          << program << " is missing; scripts/deps.sh installs it";
    }
    ProgramResult made =
        RunProgram("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Test -keyout " +
                   Quoted(dir_ / "key.pem") + " -out " + Quoted(dir_ / "cert.pem"));
    ASSERT_EQ(made.code, 0) << made.output;
    Write("pe-stub.exe", testsupport::BuildPeImage());
  }

  fs::path BuildDemo(const fs::path& folder, const fs::path& stub,
                     std::string* warnings = nullptr) {
    fs::create_directories(dir_ / folder);
    fs::path setup = dir_ / folder / "DemoSetup.exe";
    ToolResult built = Run({"build", SETUP_SOURCE_DIR "/examples/demo/project.json", "--stub",
                            stub.string(), "-o", setup.string()});
    EXPECT_EQ(built.code, 0) << built.err;
    if (warnings) *warnings = built.err;
    return setup;
  }

  fs::path Sign(const fs::path& in, const fs::path& folder) {
    fs::create_directories(dir_ / folder);
    fs::path out = dir_ / folder / in.filename();
    ProgramResult signedRun =
        RunProgram("osslsigncode sign -certs " + Quoted(dir_ / "cert.pem") + " -key " +
                   Quoted(dir_ / "key.pem") + " -in " + Quoted(in) + " -out " + Quoted(out));
    EXPECT_EQ(signedRun.code, 0) << signedRun.output;
    return out;
  }

  ProgramResult CheckSignature(const fs::path& setup) {
    return RunProgram("osslsigncode verify -CAfile " + Quoted(dir_ / "cert.pem") + " -in " +
                      Quoted(setup));
  }

  // simulate into its own machine; the output with that machine's folder named ROOT.
  std::string Simulate(const fs::path& setup, const std::string& machine) {
    const fs::path root = dir_ / machine;
    ToolResult result = Run({"simulate", setup.string(), "--root", root.string()});
    EXPECT_EQ(result.code, 0) << result.err;
    std::string out = result.out;
    for (size_t at; (at = out.find(root.string())) != std::string::npos;) {
      out.replace(at, root.string().size(), "ROOT");
    }
    return out;
  }

  void FlipByte(const fs::path& path, int64_t offset) {
    std::string bytes = Read(path);
    bytes[static_cast<size_t>(offset)] ^= 0x01;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
};

TEST_F(SignedSetupTest, SignedDemoInspectsVerifiesAndInstallsLikeTheUnsigned) {
  std::string warnings;
  const fs::path plain = BuildDemo("plain", dir_ / "pe-stub.exe", &warnings);
  EXPECT_EQ(warnings, "");
  const fs::path signedSetup = Sign(plain, "signed");
  const auto plainLength = static_cast<int64_t>(fs::file_size(plain));

  ToolResult verified = Run({"verify", signedSetup.string()});
  EXPECT_EQ(verified.code, 0) << verified.err;
  EXPECT_NE(verified.out.find("signed: the package ends at " + std::to_string(plainLength)),
            std::string::npos)
      << verified.out;
  EXPECT_NE(Run({"verify", plain.string()}).out.find("; unsigned\n"), std::string::npos);

  Json inspected = Json::parse(Run({"inspect", signedSetup.string()}).out);
  Json plainInspected = Json::parse(Run({"inspect", plain.string()}).out);
  const Json& package = inspected["package"];
  EXPECT_EQ(package["packageEnd"], plainLength);
  EXPECT_EQ(package["fileLength"], static_cast<int64_t>(fs::file_size(signedSetup)));
  EXPECT_EQ(package["signature"]["endsPackage"], true);
  EXPECT_GE(package["signature"]["certificateTableOffset"].get<int64_t>(), plainLength);
  EXPECT_EQ(plainInspected["package"]["signature"], nullptr);
  for (const char* differs : {"fileLength", "signature"}) {
    inspected["package"].erase(differs);
    plainInspected["package"].erase(differs);
  }
  EXPECT_EQ(inspected, plainInspected);

  EXPECT_EQ(WithoutRunFolder(Simulate(signedSetup, "signed-machine")),
            WithoutRunFolder(Simulate(plain, "plain-machine")));
  auto signedTree = Tree(dir_ / "signed-machine");
  auto plainTree = Tree(dir_ / "plain-machine");
  // The setup program itself is copied onto the machine; only it may differ.
  const std::string self = "drive_c/Users/user/Downloads/DemoSetup.exe";
  ASSERT_EQ(signedTree.count(self), 1u);
  signedTree.erase(self);
  plainTree.erase(self);
  EXPECT_GT(signedTree.size(), 10u);
  EXPECT_TRUE(signedTree == plainTree);

  ProgramResult digest = CheckSignature(signedSetup);
  EXPECT_EQ(digest.code, 0) << digest.output;
  EXPECT_NE(digest.output.find("Calculated message digest"), std::string::npos) << digest.output;
  EXPECT_EQ(digest.output.find("MISMATCH"), std::string::npos) << digest.output;
}

TEST_F(SignedSetupTest, ByteChangedInThePackageAfterSigning) {
  const fs::path plain = BuildDemo("plain", dir_ / "pe-stub.exe");
  const fs::path signedSetup = Sign(plain, "signed");
  // Inside the configuration block's zlib data.
  const int64_t directory =
      Json::parse(Run({"inspect", plain.string()}).out)["package"]["directoryOffset"]
          .get<int64_t>();
  FlipByte(signedSetup, directory + 40);

  ProgramResult digest = CheckSignature(signedSetup);
  EXPECT_NE(digest.code, 0) << digest.output;
  EXPECT_NE(digest.output.find("MISMATCH"), std::string::npos) << digest.output;

  ToolResult verified = Run({"verify", signedSetup.string()});
  EXPECT_EQ(verified.code, 1);
  EXPECT_EQ(
      verified.err.rfind("DAMAGED: configuration block: offset " + std::to_string(directory), 0),
      0u)
      << verified.err;
  ToolResult installed =
      Run({"simulate", signedSetup.string(), "--root", (dir_ / "machine").string()});
  EXPECT_NE(installed.code, 0);
  EXPECT_NE(installed.err, "");
}

TEST_F(SignedSetupTest, BytesAppendedAfterSigningFailVerify) {
  const fs::path signedSetup = Sign(BuildDemo("plain", dir_ / "pe-stub.exe"), "signed");
  std::ofstream(signedSetup, std::ios::binary | std::ios::app) << std::string(24, '\0');

  ToolResult verified = Run({"verify", signedSetup.string()});
  EXPECT_EQ(verified.code, 1);
  EXPECT_NE(verified.err.find("DAMAGED: signature: the certificate table at "), std::string::npos)
      << verified.err;
  EXPECT_NE(CheckSignature(signedSetup).code, 0);
}

TEST_F(SignedSetupTest, PackedAfterSigningTheStubFailsVerifyButStillReads) {
  const fs::path signedStub = Sign(dir_ / "pe-stub.exe", "signed-stub");
  std::string warnings;
  const fs::path setup = BuildDemo("plain", signedStub, &warnings);
  EXPECT_EQ(warnings,
            "warning: the stub is signed; its signature will not cover the package. Sign the "
            "setup program after building it, from an unsigned stub\n");

  ToolResult verified = Run({"verify", setup.string()});
  EXPECT_EQ(verified.code, 1);
  EXPECT_NE(verified.err.find("does not start right after the package's trailer"),
            std::string::npos)
      << verified.err;
  ToolResult inspected = Run({"inspect", setup.string()});
  ASSERT_EQ(inspected.code, 0) << inspected.err;
  const Json package = Json::parse(inspected.out)["package"];
  EXPECT_EQ(package["signature"]["endsPackage"], false);
  EXPECT_EQ(package["packageEnd"], package["fileLength"]);
  EXPECT_NE(CheckSignature(setup).code, 0);
}

}  // namespace
}  // namespace tooltest
