// The stored-string base class and the records of the project's lists.
//
// A stored string is a 32-bit little-endian byte count followed by that many GBK bytes, no
// terminator. Every stored structure of the package and of Ins.log is built from stored strings,
// counts and fixed-width fields; the field order of each record below is the order of the
// configuration stream.
//
// ReadString never trusts the count: a count that is negative or larger than what remains in the
// stream is a damaged package (sys::Error(kDamagedPackage)), never a huge allocation.
#pragma once

#include <cstdint>
#include <string>

#include "system/Stream.h"

namespace package {
// Message of every structural fault of a package or log (lengths, counts, offsets, names).
inline constexpr const char* kDamagedPackage = "安装包已损坏";
}  // namespace package

class TElement {
 public:
  virtual ~TElement() = default;

  static std::string ReadString(sys::Stream& stream);
  static void WriteString(const std::string& text, sys::Stream& stream);
};

// One setting: basic settings (group 0), page switches (1), page attributes (2, 3, 5..12).
struct TCompileData {
  std::string Caption;
  std::string Value;
  uint8_t Group = 0;
};

// One file, folder or embedded resource.
struct TCompileFileData {
  std::string EntryName;
  std::string SourcePath;
  std::string DestFolder;
  uint8_t RunAtStartup = 0;
  uint8_t KeepOnUninstall = 0;
  uint8_t NoOverwrite = 0;
  uint8_t IsComponent = 0;
  uint8_t IsService = 0;
  uint8_t RunAfterInstall = 0;
  uint8_t IsPatch = 0;
  std::string TargetOs;
  int64_t DataStart = 0;
  int64_t DataEnd = 0;
  int64_t FileSize = 0;
  uint8_t EntryKind = 0;  // 0 file, 1 folder, 2 .reg, 3 component file, 4 page resource, 5 uninstaller
  double FileTime = 0;    // days since 1899-12-30, time of day as the fraction; -1.0 for folders
};

// One registry value.
struct TRegInfoData {
  std::string KeyPath;
  std::string ValueName;
  std::string ValueData;
  std::string TargetOs;
  uint8_t ValueType = 0;  // 0 REG_SZ, 1 REG_DWORD from hex digits, 2 REG_BINARY from hex pairs
};

// One shortcut.
struct TShotCutData {
  std::string LinkFolder;
  std::string LinkName;
  std::string LinkTarget;
  std::string LinkArguments;
  std::string LinkDescription;
  uint8_t LinkKind = 0;  // 0 shell link (.lnk), 1 Internet shortcut (.url)
};

// One component package.
struct TCompileCompData {
  std::string CompName;
  int64_t CompSize = 0;
};

namespace package {

// Entry kinds.
inline constexpr uint8_t kEntryFile = 0;
inline constexpr uint8_t kEntryFolder = 1;
inline constexpr uint8_t kEntryRegFile = 2;
inline constexpr uint8_t kEntryComponentFile = 3;
inline constexpr uint8_t kEntryResource = 4;
inline constexpr uint8_t kEntryUninstaller = 5;

}  // namespace package
