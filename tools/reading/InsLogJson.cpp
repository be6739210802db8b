#include "tools/reading/InsLogJson.h"

#include "system/Platform.h"
#include "tools/host/ToolText.h"
#include "undo/uUnInstall.h"

namespace tool {
namespace {

const char* KindName(uint8_t kind) {
  switch (kind) {
    case undo::kUnInsFile:
      return "file";
    case undo::kUnInsDir:
      return "folder";
    case undo::kUnInsReg:
      return "registry";
    default: return "unknown";
  }
}

const char* RootName(const std::string& rootKey) {
  static const std::pair<sys::RegRoot, const char*> kRoots[] = {
      {sys::kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},   {sys::kHkeyCurrentUser, "HKEY_CURRENT_USER"},
      {sys::kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"}, {sys::kHkeyUsers, "HKEY_USERS"},
      {sys::kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"}};
  for (const auto& [root, name] : kRoots) {
    if (rootKey == std::to_string(root)) return name;
  }
  return nullptr;
}

}  // namespace

nlohmann::ordered_json InsLogToJson(const TUnInstall& log) {
  nlohmann::ordered_json json;
  json["itemName"] = GbkToUtf8Lossy(log.ItemName());
  json["serial"] = GbkToUtf8Lossy(log.Serial());
  json["items"] = nlohmann::ordered_json::array();
  for (const auto& item : log.Items()) {
    nlohmann::ordered_json entry;
    entry["kind"] = KindName(item->Kind);
    if (item->Kind == undo::kUnInsReg) {
      entry["rootKey"] = GbkToUtf8Lossy(item->RootKey);
      if (const char* name = RootName(item->RootKey)) entry["root"] = name;
    }
    entry["path"] = GbkToUtf8Lossy(item->Path);
    if (item->Kind == undo::kUnInsReg) entry["valueName"] = GbkToUtf8Lossy(item->ValueName);
    entry["remove"] = item->Remove != 0;
    json["items"].push_back(std::move(entry));
  }
  return json;
}

}  // namespace tool
