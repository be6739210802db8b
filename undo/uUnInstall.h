// The recorder of everything an install run adds to the machine, its file Ins.log, and the
// product's Uninstall registration under HKEY_LOCAL_MACHINE.
//
// Ins.log body: ItemName, Serial (stored strings), item count (32-bit), then per item RootKey,
// Path, ValueName (stored strings) and Remove, Kind (one byte each); on disk the body is a chunk
// run of 8,192-byte slices at zlib level 9 (stored slices in the log uninst.exe keeps), with no
// header or trailer of its own.
//
// Duplicates are dropped as the log has always dropped them (first record wins, order kept,
// strings compared ignoring ASCII case), but through an index instead of a linear search, so
// recording stays linear in the number of items.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "package/UninstallRegistration.h"
#include "package/uKernal.h"
#include "system/Platform.h"

struct TUnInsData {
  std::string RootKey;    // registry items: the root's handle value in decimal
  std::string Path;       // file, shortcut or folder path; for registry items the key path
  std::string ValueName;  // registry items: the value name; empty for a created key
  uint8_t Remove = 1;     // 1: the uninstaller removes the item
  uint8_t Kind = 0;       // 0 file or shortcut, 1 folder, 2 registry key or value
};

namespace undo {
// TUnInsData::Kind.
inline constexpr uint8_t kUnInsFile = 0;
inline constexpr uint8_t kUnInsDir = 1;
inline constexpr uint8_t kUnInsReg = 2;
}  // namespace undo

class TUnInstall : public TElement {
 public:
  explicit TUnInstall(sys::Platform& platform);
  ~TUnInstall() override;
  TUnInstall(const TUnInstall&) = delete;
  TUnInstall& operator=(const TUnInstall&) = delete;

  const std::vector<std::unique_ptr<TUnInsData>>& Items() const { return items_; }
  const std::string& ItemName() const { return itemName_; }
  const std::string& Serial() const { return serial_; }

  void Clear();
  void SetItemName(const std::string& text) { itemName_ = text; }
  void SetSerial(const std::string& text) { serial_ = text; }

  void AddFile(const std::string& path, uint8_t remove);
  void AddDir(const std::string& path);
  void AddRegValue(const std::string& rootKey, const std::string& keyPath,
                   const std::string& valueName);
  // Creates the missing levels of a folder path and records each one, outermost first.
  void ForceDir(const std::string& path);
  // Creates the missing levels of a key below root and records each one; throws
  // sys::Error(Format(kFailedToCreateKey, level)) when a level cannot be created.
  void ForceRegKey(const std::string& keyPath, sys::RegRoot root);

  // Replaces header and items by those of the log file, when it exists. A log whose lengths or
  // item count its bytes cannot hold, or whose body would pass 32 MiB, is
  // sys::Error(kDamagedPackage) before anything of that size is allocated.
  void LoadFromFile(const std::string& fileName);
  // The same from an open log, read from its start.
  void LoadFromStream(sys::Stream& file);
  // Writes the log; an existing log is replaced only once the new one is complete.
  void SaveToFile(const std::string& fileName);
  // The same with the body stored, not compressed (every reader takes either): for uninst.exe,
  // whose log of what stays is small and rare, and which then carries no compressor.
  void SaveUncompressedToFile(const std::string& fileName);

  // UninstallString holds the uninstaller's path in double quotes (a command line); DisplayIcon
  // and the other values hold the texts as given.
  void WriteUninstallEntry(const std::string& uninstaller, const std::string& itemName,
                           const std::string& version, const std::string& url,
                           const std::string& author, const std::string& serial,
                           const std::string& installDir);
  // dir := "Install Dir" of the registration of serial (empty when absent); left as it was
  // when the key cannot be opened.
  void GetInstallDir(const std::string& serial, std::string& dir);

 private:
  void Append(std::unique_ptr<TUnInsData> item);
  // Writes the body through pack (source, target) to a file beside fileName, then replaces it.
  void Save(const std::string& fileName, void (*pack)(sys::Stream&, sys::Stream&)) const;

  sys::Platform* platform_;
  std::vector<std::unique_ptr<TUnInsData>> items_;
  std::unordered_set<std::string> index_;  // kind + ASCII-folded identity of every item
  std::string itemName_;
  std::string serial_;
};
