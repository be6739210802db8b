#include "undo/uUnInstall.h"

#include <limits>
#include <string>
#include <utility>

#include "package/LittleEndian.h"
#include "package/uCommon.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/Stream.h"
#include "system/UserFolders.h"
#include "undo/ReplacingFile.h"

namespace {

// RootKey, Path, ValueName counts (4 bytes each) and the Remove and Kind bytes: the least one
// stored item can take, so a count that the body cannot hold is refused before any allocation.
constexpr int64_t kMinStoredItem = 3 * 4 + 2;

// A log body larger than this is refused as damaged before it is inflated further: chunks
// inflate up to a thousandfold, so a small hostile file could otherwise ask for gigabytes. The
// body of a log of a hundred thousand items is a few megabytes.
constexpr int64_t kMaxLogBody = 32 << 20;

// The body of a log, refusing to grow past kMaxLogBody.
class LogBody : public sys::MemoryStream {
 public:
  void Write(const void* buffer, size_t count) override {
    if (static_cast<int64_t>(count) > kMaxLogBody - Position())
      throw sys::Error(package::kDamagedPackage);
    MemoryStream::Write(buffer, count);
  }
};


// Length-prefixed folded fields, so that no two different identities share a key whatever
// bytes the strings hold.
void AppendField(std::string& key, const std::string& text) {
  uint32_t n = static_cast<uint32_t>(text.size());
  for (int i = 0; i < 4; ++i) key.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
  key += sys::AsciiLower(text);
}

// The identity the no-duplicates rule compares: files and folders by path alone, registry
// items by root, key path and value name.
std::string IdentityKey(const TUnInsData& item) {
  std::string key(1, static_cast<char>(item.Kind));
  if (item.Kind == undo::kUnInsReg) {
    AppendField(key, item.RootKey);
    AppendField(key, item.Path);
    AppendField(key, item.ValueName);
  } else {
    AppendField(key, item.Path);
  }
  return key;
}

int32_t ReadInt32(sys::Stream& stream) {
  unsigned char bytes[4];
  if (stream.Read(bytes, 4) != 4) throw sys::Error(package::kDamagedPackage);
  uint32_t u = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
  return static_cast<int32_t>(u);
}

uint8_t ReadByte(sys::Stream& stream) {
  uint8_t b = 0;
  if (stream.Read(&b, 1) != 1) throw sys::Error(package::kDamagedPackage);
  return b;
}

// Appends item unless an item of the same identity is there already: one hash lookup, where the
// log has always searched the whole list.
void AddUnique(std::unordered_set<std::string>& index,
               std::vector<std::unique_ptr<TUnInsData>>& items, std::unique_ptr<TUnInsData> item) {
  if (index.insert(IdentityKey(*item)).second) items.push_back(std::move(item));
}

}  // namespace

TUnInstall::TUnInstall(sys::Platform& platform) : platform_(&platform) {}

TUnInstall::~TUnInstall() { Clear(); }

void TUnInstall::Clear() {
  items_.clear();
  index_.clear();
}

void TUnInstall::Append(std::unique_ptr<TUnInsData> item) {
  index_.insert(IdentityKey(*item));
  items_.push_back(std::move(item));
}

void TUnInstall::AddFile(const std::string& path, uint8_t remove) {
  auto item = std::make_unique<TUnInsData>();
  item->Path = path;
  item->Remove = remove;
  item->Kind = undo::kUnInsFile;
  AddUnique(index_, items_, std::move(item));
}

void TUnInstall::AddDir(const std::string& path) {
  auto item = std::make_unique<TUnInsData>();
  item->Path = path;
  item->Remove = 1;
  item->Kind = undo::kUnInsDir;
  AddUnique(index_, items_, std::move(item));
}

void TUnInstall::AddRegValue(const std::string& rootKey, const std::string& keyPath,
                             const std::string& valueName) {
  auto item = std::make_unique<TUnInsData>();
  item->RootKey = rootKey;
  item->Path = keyPath;
  item->ValueName = valueName;
  item->Remove = 1;
  item->Kind = undo::kUnInsReg;
  AddUnique(index_, items_, std::move(item));
}

void TUnInstall::ForceDir(const std::string& path) {
  TStringList parts;
  SplitText(path, "\\", parts);
  if (parts.empty()) return;
  // The first part is the drive and is never created; a UNC path keeps its leading "\\" so
  // that the levels below the server stay absolute.
  std::string current = parts[0];
  if (path.starts_with("\\\\")) current = "\\\\" + current;
  for (size_t i = 1; i < parts.size(); ++i) {
    current += "\\" + parts[i];
    if (platform_->DirectoryExists(current)) continue;
    sys::CreateFolders(*platform_, current);
    // Recorded even when creation failed: the uninstaller tolerates a folder that is not there.
    AddDir(current);
  }
}

void TUnInstall::ForceRegKey(const std::string& keyPath, sys::RegRoot root) {
  TStringList parts;
  SplitText(keyPath, "\\", parts);
  std::string current;
  for (const std::string& part : parts) {
    current = current.empty() ? part : current + "\\" + part;
    if (platform_->KeyExists(root, current)) continue;
    platform_->CreateKey(root, current);
    AddRegValue(std::to_string(root), current, "");
  }
}

void TUnInstall::LoadFromFile(const std::string& fileName) {
  if (!platform_->FileExists(fileName)) return;
  LoadFromStream(*platform_->OpenForRead(fileName));
}

void TUnInstall::LoadFromStream(sys::Stream& file) {
  Clear();
  LogBody body;
  file.Seek(0);
  DecompressStream(file, body);
  itemName_ = ReadString(body);
  serial_ = ReadString(body);
  int32_t count = ReadInt32(body);
  if (count < 0 || count > body.Remaining() / kMinStoredItem)
    throw sys::Error(package::kDamagedPackage);
  items_.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    auto item = std::make_unique<TUnInsData>();
    item->RootKey = ReadString(body);
    item->Path = ReadString(body);
    item->ValueName = ReadString(body);
    item->Remove = ReadByte(body);
    item->Kind = ReadByte(body);
    // A log may hold duplicates written by older runs; they are kept as they are.
    Append(std::move(item));
  }
}

void TUnInstall::Save(const std::string& fileName,
                      void (*pack)(sys::Stream&, sys::Stream&)) const {
  sys::MemoryStream body;
  WriteString(itemName_, body);
  WriteString(serial_, body);
  if (items_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw sys::Error(sys::Format(sys::kCannotCreateFile, fileName));
  }
  le::WriteI32(body, static_cast<int32_t>(items_.size()));
  for (const auto& item : items_) {
    WriteString(item->RootKey, body);
    WriteString(item->Path, body);
    WriteString(item->ValueName, body);
    body.Write(&item->Remove, 1);
    body.Write(&item->Kind, 1);
  }

  // The new log goes to a file beside the old one and replaces it only when complete, so a
  // full disk or a crash while saving never costs the log of the earlier installation.
  undo::ReplacingFile log(*platform_, fileName);
  pack(body, log.Open());
  log.Commit();
}

void TUnInstall::WriteUninstallEntry(const std::string& uninstaller, const std::string& itemName,
                                     const std::string& version, const std::string& url,
                                     const std::string& author, const std::string& serial,
                                     const std::string& installDir) {
  // Without a serial the key would be the shared Uninstall key itself.
  if (serial.empty()) return;
  std::unique_ptr<sys::RegistryKey> key =
      platform_->OpenKey(sys::kHkeyLocalMachine, package::UninstallKeyPath(serial), true);
  if (!key) return;
  key->WriteString("DisplayIcon", uninstaller);
  key->WriteString("DisplayName", itemName + version);
  key->WriteString("DisplayVersion", version);
  key->WriteString("URLInfoAbout", url);
  key->WriteString("Publisher", author);
  // Quoted: Windows runs the value as a command line (see QuotedPath). A run without an
  // uninstaller has none to name.
  key->WriteString("UninstallString", uninstaller.empty() ? "" : sys::QuotedPath(uninstaller));
  // What deployment tools run to remove the product without a window.
  if (!uninstaller.empty()) key->WriteString("QuietUninstallString", sys::QuotedPath(uninstaller) + " /S");
  key->WriteString("Install Dir", installDir);
}

void TUnInstall::GetInstallDir(const std::string& serial, std::string& dir) {
  package::ReadRegisteredInstallDir(*platform_, serial, dir);
}
