// The description of the simulated machine, kept in ROOT/machine.json (UTF-8) and created with the
// defaults below when missing: a Chinese Windows 7 (version "6.1") in UTC+8 whose user "user"
// runs setup.exe from the Downloads folder.
//
// machine.json fields (all optional; a missing field keeps its default):
//   "versionText"       "6.1"; "2" is Windows 98 (4.10), "1" Win32s, "0" a failing query,
//                       "a.b" NT a.b
//   "windowsDirectory"  "C:\\Windows"
//   "tempDirectory"     "C:\\Users\\user\\AppData\\Local\\Temp\\"
//   "specialFolders"    {"0": Desktop, "2": Programs, "23": common Programs, "26": AppData,
//                        "38": Program Files}
//   "utcOffsetMinutes"  480
//   "freeSpace"         {"C": 53687091200}; a drive not listed falls back to the host volume
//                       when its drive folder exists, else -1
//   "answers"           ["yes", "no", ...] answers to question boxes, consumed in order by
//                       each platform instance (the file keeps the whole script)
//   "defaultAnswer"     "no", once the scripted answers are used up
//   "elevation"         "accept" or "refuse" (the "runas" prompt)
//   "exitCode"          exit code of every waited-for program, 0
//   "exePath"           "C:\\Users\\user\\Downloads\\setup.exe"; "paramCount" 0
//   "workingDirectory"  "C:\\Users\\user\\Downloads"
//   "shellVerbs"        verb names the shell offers for an item (a Chinese shell by default)
// In memory every text is GBK, like the rest of the runtime.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace sys::sandbox {

struct MachineConfig {
  std::string versionText = "6.1";
  std::string windowsDirectory;
  std::string tempDirectory;
  std::map<int, std::string> specialFolders;
  int utcOffsetMinutes = 480;
  std::map<char, int64_t> freeSpace;  // by upper-case drive letter
  std::vector<int> answers;           // kIdYes, kIdNo, kIdOk, ...
  int defaultAnswer = 7;              // kIdNo
  bool elevationAccepted = true;
  uint32_t exitCode = 0;
  std::string exePath;
  int paramCount = 0;
  std::string workingDirectory;
  std::vector<std::string> shellVerbs;

  static MachineConfig Defaults();
  // Throws sys::Error for a field of the wrong kind or text that is not valid UTF-8/GBK.
  static MachineConfig FromJson(const nlohmann::json& json);
  nlohmann::json ToJson() const;

  // Reads file, or writes the defaults there when it does not exist.
  static MachineConfig LoadOrCreate(const std::filesystem::path& file);
  void Save(const std::filesystem::path& file) const;
};

// The shell verbs of an English Windows 7, for tests of a shell that cannot pin.
std::vector<std::string> EnglishShellVerbs();

}  // namespace sys::sandbox
