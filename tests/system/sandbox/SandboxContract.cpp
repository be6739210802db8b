// Runs the platform contract suite on the sandbox: a fresh machine per test.
#include <atomic>
#include <filesystem>

#include "system/Error.h"
#include "system/sandbox/SandboxPlatform.h"
#include "system/sandbox/ShellLinkFile.h"
#include "tests/support/PlatformContract.h"
#include "tests/support/host/SandboxHost.h"

namespace {

ContractEnv MakeSandboxContractEnv() {
  std::filesystem::path root = testsupport::MakeTempFolder("contract");
  auto platform = std::make_unique<sys::sandbox::SandboxPlatform>(root);
  sys::sandbox::SandboxPlatform* sandbox = platform.get();
  ContractEnv env;
  env.scratch = "C:\\Users\\user\\AppData\\Local\\Temp\\contract";
  platform->ForceDirectories(env.scratch);
  env.registryKey = "Software\\SetupRuntimeTests\\Contract";
  env.readShellLink = [sandbox](const std::string& path) {
    auto stream = sandbox->OpenForRead(path);
    std::string bytes(static_cast<size_t>(stream->Size()), '\0');
    stream->ReadExact(bytes.data(), bytes.size());
    auto link = sys::sandbox::DecodeShellLink(bytes);
    if (!link) throw sys::Error("Not a shell link: " + path);
    return *link;
  };
  // A host symbolic link is the sandbox's junction.
  env.makeFolderLink = [sandbox](const std::string& link, const std::string& target) {
    auto linkHost = sandbox->HostPath(link);
    auto targetHost = sandbox->HostPath(target);
    std::error_code ec;
    if (!linkHost || !targetHost) return false;
    std::filesystem::create_directory_symlink(*targetHost, *linkHost, ec);
    sandbox->ForgetHostListings();
    return !ec;
  };
  env.cleanup = [root] {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  };
  env.platform = std::move(platform);
  return env;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sandbox, PlatformContract, testing::Values(&MakeSandboxContractEnv));
