// One setup or uninstaller of a product at a time. Both programs claim the same machine-wide
// name, made from the product's name (ItemName, which Ins.log also keeps), before they change
// anything; a second one finds it held and says so instead of racing the first.
#pragma once

#include <string>

namespace sys {

// "SetupRuntime-" and 16 hex digits of a hash of the name with its ASCII letters in upper case
// (names that Windows compares alike claim alike). No backslash: it is an object name.
std::string ProductRunName(const std::string& productName);

// The box a person sees when another run holds the product ("“name”的另一个安装或卸载程序正在运行…").
std::string AnotherRunText(const std::string& productName);

// What deployment tools read for "another install is running".
inline constexpr int kExitAnotherRun = 1618;

}  // namespace sys
