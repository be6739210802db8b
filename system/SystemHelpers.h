// Small operating-system services shared by the start-up, the install steps and the wizard.
// Free functions on the current platform (sys::CurrentPlatform()), no state of their own.
#pragma once

#include <cstdint>
#include <string>

namespace sys {

// "1" Win32s, "2" Windows 95/98/Me, major "." minor on NT ("6.1"), "0" when it cannot be read.
std::string GetOSVersion();
// The version text as a number ("6.1" -> 6.1; "2" -> 2); 0 when it is not a number.
double VersionNumber(const std::string& versionText);
// Runs file elevated ("runas") and waits for it; exitCode receives its exit code. A refused
// prompt throws sys::Abort; other failures return with exitCode unchanged.
void RunElevated(const std::string& file, const std::string& parameters, uint32_t& exitCode);
// Message boxes captioned WizardTitle.
void ShowInfo(const std::string& text);
bool AskYesNo(const std::string& question);
// 1024 or less: the count itself; then KB, MB, GB with two decimals ("1.50KB").
std::string SizeToText(int64_t bytes);
// Free bytes for the current user on the drive of that letter; -1 when it cannot answer.
int64_t GetDiskFree(char driveLetter);
std::string GetSpecialFolder(int csidl);
std::string GetProgramFilesDir();
std::string GetWindowsDir();
std::string GetTempDir();
// Carries out every shell verb of the shortcut whose name contains "锁定到任务栏".
void PinToTaskbar(const std::string& shortcutPath);

// The caption of every message box: "“" + ItemName + "”安装向导", set by the setup run.
extern std::string WizardTitle;

}  // namespace sys
