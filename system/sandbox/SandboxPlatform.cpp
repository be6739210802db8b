// Construction, persistence, machine facts, the registry and the setters of SandboxPlatform.
// Files live in SandboxFiles.cpp, the shell, dialogs, links and profiles in SandboxShell.cpp.
#include "system/sandbox/SandboxPlatform.h"

#include <sys/statvfs.h>

#include <fstream>
#include <sstream>

#include "system/Error.h"
#include "system/Gbk.h"

namespace sys::sandbox {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kTicksPerMinute = 60LL * 10'000'000;

MachineConfig PrepareRoot(const fs::path& root) {
  std::error_code ec;
  fs::create_directories(root, ec);
  if (!fs::is_directory(root)) throw Error("Cannot create the sandbox folder " + root.string());
  return MachineConfig::LoadOrCreate(root / "machine.json");
}

std::string WithoutTrailingBackslash(std::string folder) {
  if (folder.size() > 3 && folder.back() == '\\' && IsCharStart(folder, folder.size() - 1)) folder.pop_back();
  return folder;
}

bool ParseNumber(const std::string& text, uint32_t& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  return true;
}

}  // namespace

SandboxPlatform::SandboxPlatform(fs::path root)
    : config_(PrepareRoot(root)),
      mapper_(root, config_.workingDirectory),
      journal_(root / "journal.jsonl"),
      protectedFiles_(root / "protected") {
  std::ifstream in(root / "registry.json", std::ios::binary);
  if (in) {
    std::stringstream text;
    text << in.rdbuf();
    auto json = nlohmann::ordered_json::parse(text.str(), nullptr, false);
    if (json.is_discarded() || !json.is_object()) throw Error("registry.json is damaged: " + root.string());
    registry_.Load(json);
  } else {
    // A fresh machine has the keys every Windows installation has, so that an install run
    // records only what it really creates.
    for (const char* key : {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}) {
      registry_.CreateKey(kHkeyLocalMachine, key);
    }
    registry_.CreateKey(kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    registry_.CreateKey(kHkeyUsers, ".DEFAULT\\Software");
  }
  ApplyMachine();
  registry_.CountSteps(steps_.get());
}

SandboxPlatform::~SandboxPlatform() {
  try {
    if (registry_.dirty()) Flush();
  } catch (...) {
    // A destructor must not throw; an explicit Flush() reports the failure.
  }
}

void SandboxPlatform::Flush() {
  fs::path file = root() / "registry.json";
  fs::path temporary = root() / "registry.json.tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << registry_.ToJson().dump(2) << "\n";
    if (!out) throw Error("Cannot write " + temporary.string());
  }
  std::error_code ec;
  fs::rename(temporary, file, ec);
  if (ec) throw Error("Cannot replace " + file.string());
  registry_.MarkSaved();
}

// Makes the folders a real machine has and the drives it lists.
void SandboxPlatform::ApplyMachine() {
  mapper_.SetWorkingDirectory(config_.workingDirectory);
  std::error_code ec;
  fs::create_directories(mapper_.DriveFolder('C'), ec);
  for (const auto& [drive, bytes] : config_.freeSpace) fs::create_directories(mapper_.DriveFolder(drive), ec);
  std::vector<std::string> folders = {config_.windowsDirectory, config_.tempDirectory,
                                      config_.workingDirectory, ExtractFilePath(config_.exePath)};
  for (const auto& [csidl, folder] : config_.specialFolders) folders.push_back(folder);
  folders.push_back(config_.windowsDirectory + "\\system32");
  if (auto appData = config_.specialFolders.find(kCsidlAppData); appData != config_.specialFolders.end()) {
    folders.push_back(appData->second + "\\Microsoft\\Internet Explorer\\Quick Launch");
  }
  // A drive that holds one of these folders exists on the machine.
  for (const std::string& folder : folders) {
    auto resolved = mapper_.Resolve(folder);
    if (!resolved) continue;
    fs::create_directories(mapper_.DriveFolder(resolved->drive), ec);
    ForceDirectories(folder);
  }
}

void SandboxPlatform::SaveMachine() const { config_.Save(root() / "machine.json"); }

std::optional<SandboxPlatform::Target> SandboxPlatform::Map(const std::string& path) const {
  auto resolved = mapper_.Resolve(path);
  if (!resolved) return std::nullopt;
  try {
    HostEntry seen = HostEntry::Unknown;
    fs::path host = mapper_.ToHost(*resolved, &seen);
    return Target{resolved->Text(), std::move(host), seen};
  } catch (const Error&) {
    return std::nullopt;
  }
}

std::optional<fs::path> SandboxPlatform::HostPath(const std::string& windowsPath) const {
  return mapper_.ToHost(windowsPath);
}

std::optional<std::string> SandboxPlatform::NormalizePath(const std::string& windowsPath) const {
  return mapper_.Normalize(windowsPath);
}

// --- Machine facts --------------------------------------------------------------------------

FileTime SandboxPlatform::LocalToUtc(FileTime local) const {
  return local - static_cast<FileTime>(static_cast<int64_t>(config_.utcOffsetMinutes) * kTicksPerMinute);
}

int64_t SandboxPlatform::FreeDiskSpace(const std::string& root) const {
  if (root.empty()) return -1;
  char letter = root[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') return -1;
  auto listed = config_.freeSpace.find(letter);
  if (listed != config_.freeSpace.end()) return listed->second;
  fs::path drive = mapper_.DriveFolder(letter);
  struct statvfs info {};
  if (!fs::is_directory(drive) || ::statvfs(drive.c_str(), &info) != 0) return -1;
  return static_cast<int64_t>(info.f_bavail) * static_cast<int64_t>(info.f_frsize);
}

std::optional<VersionInfo> SandboxPlatform::Version() const {
  const std::string& text = config_.versionText;
  if (text == "1") return VersionInfo{0, 3, 10};
  if (text == "2") return VersionInfo{1, 4, 10};
  size_t dot = text.find('.');
  VersionInfo info{2, 0, 0};
  if (dot == std::string::npos || !ParseNumber(text.substr(0, dot), info.major) ||
      !ParseNumber(text.substr(dot + 1), info.minor))
    return std::nullopt;
  return info;
}

std::string SandboxPlatform::WindowsDirectory() const { return WithoutTrailingBackslash(config_.windowsDirectory); }

std::string SandboxPlatform::TempDirectory() const {
  std::string folder = config_.tempDirectory;
  if (folder.empty() || folder.back() != '\\' || !IsCharStart(folder, folder.size() - 1)) folder += '\\';
  return folder;
}

std::string SandboxPlatform::SpecialFolder(int csidl) const {
  auto it = config_.specialFolders.find(csidl);
  return it == config_.specialFolders.end() ? std::string() : WithoutTrailingBackslash(it->second);
}

std::string SandboxPlatform::ExePath() const { return config_.exePath; }

int SandboxPlatform::ParamCount() const { return config_.paramCount; }

// --- Registry -------------------------------------------------------------------------------

bool SandboxPlatform::KeyExists(RegRoot root, const std::string& subkey) const {
  return registry_.KeyExists(root, subkey);
}

void SandboxPlatform::CreateKey(RegRoot root, const std::string& subkey) { registry_.CreateKey(root, subkey); }

std::unique_ptr<RegistryKey> SandboxPlatform::OpenKeyToRead(RegRoot root,
                                                           const std::string& subkey) {
  return registry_.OpenKeyToRead(root, subkey);
}

std::unique_ptr<RegistryKey> SandboxPlatform::OpenKey(RegRoot root, const std::string& subkey, bool canCreate) {
  return registry_.OpenKey(root, subkey, canCreate);
}

Removal SandboxPlatform::RemoveEmptyKey(RegRoot root, const std::string& subkey) {
  return registry_.RemoveEmptyKey(root, subkey);
}

// --- Setters --------------------------------------------------------------------------------

void SandboxPlatform::SetMachine(const MachineConfig& config) {
  config_ = config;
  answersUsed_ = 0;
  ApplyMachine();
  SaveMachine();
}

void SandboxPlatform::SetVersionText(const std::string& versionText) {
  config_.versionText = versionText;
  SaveMachine();
}

void SandboxPlatform::SetAnswers(std::vector<int> answers, int defaultAnswer) {
  config_.answers = std::move(answers);
  config_.defaultAnswer = defaultAnswer;
  answersUsed_ = 0;
  SaveMachine();
}

void SandboxPlatform::SetElevation(bool accept) {
  config_.elevationAccepted = accept;
  SaveMachine();
}

void SandboxPlatform::SetExitCode(uint32_t exitCode) {
  config_.exitCode = exitCode;
  SaveMachine();
}

void SandboxPlatform::SetExePath(const std::string& exePath, int paramCount) {
  config_.exePath = exePath;
  config_.paramCount = paramCount;
  ApplyMachine();
  SaveMachine();
}

void SandboxPlatform::SetFreeSpace(char drive, int64_t bytes) {
  if (drive >= 'a' && drive <= 'z') drive = static_cast<char>(drive - 'a' + 'A');
  if (bytes < 0) {
    config_.freeSpace.erase(drive);
  } else {
    config_.freeSpace[drive] = bytes;
    std::error_code ec;
    fs::create_directories(mapper_.DriveFolder(drive), ec);
  }
  SaveMachine();
}

void SandboxPlatform::SetShellVerbs(std::vector<std::string> verbs) {
  config_.shellVerbs = std::move(verbs);
  SaveMachine();
}

void SandboxPlatform::SetSpecialFolder(int csidl, const std::string& folder) {
  config_.specialFolders[csidl] = folder;
  ApplyMachine();
  SaveMachine();
}

void SandboxPlatform::SetWindowsDirectory(const std::string& folder) {
  config_.windowsDirectory = folder;
  ApplyMachine();
  SaveMachine();
}

void SandboxPlatform::SetTempDirectory(const std::string& folder) {
  config_.tempDirectory = folder;
  ApplyMachine();
  SaveMachine();
}

void SandboxPlatform::SetUtcOffsetMinutes(int minutes) {
  config_.utcOffsetMinutes = minutes;
  SaveMachine();
}

void SandboxPlatform::SetWorkingDirectory(const std::string& folder) {
  config_.workingDirectory = folder;
  ApplyMachine();
  SaveMachine();
}

}  // namespace sys::sandbox
