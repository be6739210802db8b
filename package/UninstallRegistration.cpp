#include "package/UninstallRegistration.h"

#include <memory>
#include <optional>

#include "system/Error.h"
#include "system/Platform.h"

namespace package {

std::string UninstallKeyPath(const std::string& serial) {
  return "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + serial;
}

void ReadRegisteredInstallDir(sys::Platform& platform, const std::string& serial,
                              std::string& dir) {
  if (serial.empty()) return;
  // Read access first: a run without raised rights may read the registration but not write it.
  // Only a missing key is created, as the registration is otherwise.
  std::unique_ptr<sys::RegistryKey> key =
      platform.OpenKeyToRead(sys::kHkeyLocalMachine, UninstallKeyPath(serial));
  if (!key) key = platform.OpenKey(sys::kHkeyLocalMachine, UninstallKeyPath(serial), true);
  if (!key) return;
  std::optional<sys::RegValue> value = key->QueryValue("Install Dir");
  if (!value) {
    dir.clear();
    return;
  }
  // REG_EXPAND_SZ is a string as well; anything else is not a folder.
  constexpr uint32_t kRegExpandSz = 2;
  if (value->type != sys::kRegSz && value->type != kRegExpandSz) {
    throw sys::Error(sys::Format(sys::kInvalidDataType, "Install Dir"));
  }
  dir = value->data;
}

}  // namespace package
