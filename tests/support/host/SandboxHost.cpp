#include "tests/support/host/SandboxHost.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"

namespace testsupport {

namespace fs = std::filesystem;

fs::path MakeTempFolder(const std::string& tag) {
  std::string pattern = (fs::temp_directory_path() / ("setup-" + tag + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw sys::Error("Cannot make a temporary folder " + pattern);
  return pattern;
}

SandboxHost::SandboxHost()
    : root_(MakeTempFolder("sandbox")), platform_(std::make_unique<sys::sandbox::SandboxPlatform>(root_)) {}

SandboxHost::~SandboxHost() {
  platform_.reset();
  if (std::getenv("SETUP_KEEP_SANDBOX") == nullptr) {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
}

void SandboxHost::Reopen() {
  platform_.reset();
  platform_ = std::make_unique<sys::sandbox::SandboxPlatform>(root_);
}

fs::path SandboxHost::Host(const std::string& windowsPath) const {
  auto host = platform_->HostPath(windowsPath);
  if (!host) throw sys::Error("The sandbox cannot hold " + windowsPath);
  return *host;
}

std::string SandboxHost::ReadFile(const std::string& windowsPath) const {
  std::ifstream in(Host(windowsPath), std::ios::binary);
  if (!in) throw sys::Error("No host file for " + windowsPath);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> SandboxHost::FolderNames(const std::string& windowsFolder) const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(Host(windowsFolder), ec)) {
    names.push_back(sys::sandbox::Utf8ToGbk(entry.path().filename().string()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

void SandboxHost::WriteFile(const std::string& windowsPath, const std::string& bytes) const {
  fs::path host = Host(windowsPath);
  fs::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw sys::Error("Cannot write host file for " + windowsPath);
  platform_->ForgetHostListings();
}

std::vector<nlohmann::json> SandboxHost::Journal() const { return platform_->ReadJournal(); }

nlohmann::json SandboxHost::RegistryJson() {
  platform_->Flush();
  std::ifstream in(root_ / "registry.json", std::ios::binary);
  return nlohmann::json::parse(in);
}

}  // namespace testsupport
