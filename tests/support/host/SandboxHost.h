// A fresh simulated machine for one test: a SandboxPlatform in its own temporary host folder,
// removed with everything in it when the SandboxHost goes (kept when the environment variable
// SETUP_KEEP_SANDBOX is set, to look at a failing run). The host helpers let a test arrange and
// inspect the drives without going through the platform under test.
#pragma once

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "system/sandbox/SandboxPlatform.h"

namespace testsupport {

// A new empty folder below the host's temporary folder.
std::filesystem::path MakeTempFolder(const std::string& tag);

class SandboxHost {
 public:
  SandboxHost();
  ~SandboxHost();
  SandboxHost(const SandboxHost&) = delete;
  SandboxHost& operator=(const SandboxHost&) = delete;

  sys::sandbox::SandboxPlatform& platform() { return *platform_; }
  const std::filesystem::path& root() const { return root_; }

  // Destroys the platform (saving the registry) and builds a new one on the same root, as a
  // second run on the same machine would.
  void Reopen();
  // Host path of a Windows path; throws sys::Error when the sandbox cannot hold it.
  std::filesystem::path Host(const std::string& windowsPath) const;
  // Whole file content by Windows path, read straight from the host (GBK bytes as stored).
  std::string ReadFile(const std::string& windowsPath) const;
  // Creates the file with its parent folders on the host. Tests that change ROOT by other means
  // call platform().ForgetHostListings() afterwards.
  void WriteFile(const std::string& windowsPath, const std::string& bytes) const;
  // The names in a folder, sorted (GBK), read straight from the host; empty when it is missing.
  std::vector<std::string> FolderNames(const std::string& windowsFolder) const;
  // The journal lines, and registry.json after a Flush().
  std::vector<nlohmann::json> Journal() const;
  nlohmann::json RegistryJson();

 private:
  std::filesystem::path root_;
  std::unique_ptr<sys::sandbox::SandboxPlatform> platform_;
};

}  // namespace testsupport
