// Where the product's Uninstall registration lives and what the setup run reads back from it.
// The reading sits here, below both the project (an update installs where the product already
// is) and the install log (which writes the registration), so neither has to reach into the other.
#pragma once

#include <array>
#include <string>

namespace sys {
class Platform;
}

namespace package {

// "\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\" + Serial under HKEY_LOCAL_MACHINE.
std::string UninstallKeyPath(const std::string& serial);

// The values the install log writes into the registration, in the order it writes them;
// anything else in the key is not ours.
inline constexpr std::array<const char*, 8> kUninstallRegistrationValues = {
    "DisplayIcon", "DisplayName",     "DisplayVersion",       "URLInfoAbout",
    "Publisher",   "UninstallString", "QuietUninstallString", "Install Dir"};

// dir := "Install Dir" of the registration of serial (empty when absent); left as it was when
// the key cannot be opened. A value that is not text is sys::Error(kInvalidDataType).
void ReadRegisteredInstallDir(sys::Platform& platform, const std::string& serial,
                              std::string& dir);

}  // namespace package
