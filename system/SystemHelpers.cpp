#include "system/SystemHelpers.h"

#include <cmath>
#include <string>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/Platform.h"

namespace sys {

std::string WizardTitle;

std::string GetOSVersion() {
  std::optional<VersionInfo> version = CurrentPlatform().Version();
  if (!version) return "0";
  switch (version->platformId) {
    case 0: return "1";
    case 1: return "2";
    case 2: return std::to_string(version->major) + "." + std::to_string(version->minor);
    default: return "0";
  }
}

double VersionNumber(const std::string& versionText) {
  // Digits with at most one "." between digits; anything else is not a version number.
  double value = 0;
  double scale = 0;
  bool sawDigit = false;
  for (char c : versionText) {
    if (c >= '0' && c <= '9') {
      sawDigit = true;
      if (scale == 0) {
        value = value * 10 + (c - '0');
      } else {
        value += (c - '0') * scale;
        scale /= 10;
      }
    } else if (c == '.' && scale == 0 && sawDigit) {
      scale = 0.1;
    } else {
      return 0;
    }
  }
  return value;
}

void RunElevated(const std::string& file, const std::string& parameters, uint32_t& exitCode) {
  ShellRequest request;
  request.verb = "runas";
  request.file = file;
  request.parameters = parameters;
  request.showCommand = kSwShowNormal;
  request.quiet = true;
  ShellOutcome outcome = CurrentPlatform().ShellRunAndWait(request);
  if (!outcome.started) {
    if (outcome.error == kErrorCancelled) throw Abort();
    return;
  }
  if (outcome.exitCode) exitCode = *outcome.exitCode;
}

void ShowInfo(const std::string& text) {
  CurrentPlatform().ShowMessageBox(text, WizardTitle, kMbOk | kMbIconInformation);
}

bool AskYesNo(const std::string& question) {
  return CurrentPlatform().ShowMessageBox(question, WizardTitle, kMbYesNo | kMbIconQuestion) ==
         kIdYes;
}

std::string SizeToText(int64_t bytes) {
  struct Unit {
    int64_t divisor;
    const char* name;
  };
  static constexpr Unit kUnits[] = {{1073741824, "GB"}, {1048576, "MB"}, {1024, "KB"}};
  for (const Unit& unit : kUnits) {
    if (bytes <= unit.divisor) continue;
    // The quotient becomes a fixed-point value of four decimals (to nearest, ties to even),
    // which is then shown with two decimals, halves rounded away from zero.
    long double quotient = static_cast<long double>(bytes) / unit.divisor;
    auto tenThousandths = static_cast<int64_t>(std::nearbyintl(quotient * 10000));
    int64_t hundredths = (tenThousandths + 50) / 100;
    int64_t cents = hundredths % 100;
    return std::to_string(hundredths / 100) + (cents < 10 ? ".0" : ".") + std::to_string(cents) +
           unit.name;
  }
  return std::to_string(bytes);
}

int64_t GetDiskFree(char driveLetter) {
  bool isLetter = (driveLetter >= 'A' && driveLetter <= 'Z') || (driveLetter >= 'a' && driveLetter <= 'z');
  if (!isLetter) return -1;
  return CurrentPlatform().FreeDiskSpace(std::string(1, driveLetter) + ":\\");
}

std::string GetSpecialFolder(int csidl) { return CurrentPlatform().SpecialFolder(csidl); }

std::string GetProgramFilesDir() { return GetSpecialFolder(kCsidlProgramFiles); }

std::string GetWindowsDir() { return CurrentPlatform().WindowsDirectory(); }

std::string GetTempDir() { return CurrentPlatform().TempDirectory(); }

void PinToTaskbar(const std::string& shortcutPath) {
  CurrentPlatform().ForEachShellVerb(shortcutPath, [](const std::string& name) {
    return ContainsText(name, "锁定到任务栏");
  });
}

}  // namespace sys
