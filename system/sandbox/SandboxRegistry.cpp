#include "system/sandbox/SandboxRegistry.h"

#include <cstdio>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/Encoding.h"

namespace sys::sandbox {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;

constexpr uint32_t kErrorInvalidHandle = 6;

constexpr std::pair<RegRoot, const char*> kRootNames[] = {
    {kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},   {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"}, {kHkeyUsers, "HKEY_USERS"},
    {kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
};

// Key levels, split only at backslashes that start a character.
std::vector<std::string> SplitKey(const std::string& subkey) {
  std::vector<std::string> levels;
  std::string current;
  // One pass by characters: asking IsCharStart at every separator would rescan the key from
  // its start each time, quadratic in a key of many levels.
  for (size_t at = 0; at < subkey.size();) {
    const size_t length = CharLength(subkey, at);
    if (length == 1 && subkey[at] == '\\') {
      if (!current.empty()) levels.push_back(std::move(current));
      current.clear();
    } else {
      current.append(subkey, at, length);
    }
    at += length;
  }
  if (!current.empty()) levels.push_back(std::move(current));
  return levels;
}

std::string ToHex(const std::string& bytes) {
  std::string hex;
  char digits[3];
  for (unsigned char b : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", b);
    hex += digits;
  }
  return hex;
}

std::string FromHex(const std::string& hex) {
  auto nibble = [&](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw Error("registry.json: bad hex digit in " + hex);
  };
  if (hex.size() % 2 != 0) throw Error("registry.json: odd hex length in " + hex);
  std::string bytes;
  for (size_t at = 0; at < hex.size(); at += 2)
    bytes += static_cast<char>(nibble(hex[at]) * 16 + nibble(hex[at + 1]));
  return bytes;
}

uint32_t Dword(const std::string& data) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4 && i < data.size(); ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  return value;
}

std::string DwordBytes(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

ordered_json ValueJson(const RegValue& value) {
  ordered_json j;
  if (value.type == kRegSz) {
    j["type"] = "REG_SZ";
    try {
      j["data"] = GbkToUtf8(value.data);
    } catch (const Error&) {
      j["hex"] = ToHex(value.data);
    }
  } else if (value.type == kRegDword && value.data.size() == 4) {
    j["type"] = "REG_DWORD";
    j["data"] = Dword(value.data);
  } else if (value.type == kRegBinary) {
    j["type"] = "REG_BINARY";
    j["data"] = ToHex(value.data);
  } else {
    j["type"] = value.type;
    j["hex"] = ToHex(value.data);
  }
  return j;
}

RegValue ValueFromJson(const ordered_json& j) {
  RegValue value;
  const ordered_json& type = j.at("type");
  if (type.is_number()) {
    value.type = type.get<uint32_t>();
    value.data = FromHex(j.at("hex").get<std::string>());
    return value;
  }
  std::string name = type.get<std::string>();
  if (name == "REG_SZ") {
    value.type = kRegSz;
    value.data = j.contains("hex") ? FromHex(j["hex"].get<std::string>()) : Utf8ToGbk(j.at("data").get<std::string>());
  } else if (name == "REG_DWORD") {
    value.type = kRegDword;
    value.data = DwordBytes(j.at("data").get<uint32_t>());
  } else if (name == "REG_BINARY") {
    value.type = kRegBinary;
    value.data = FromHex(j.at("data").get<std::string>());
  } else {
    throw Error("registry.json: unknown value type " + name);
  }
  return value;
}

SandboxRegistry::Node* FindChild(const SandboxRegistry::Node& node, const std::string& name) {
  for (const auto& child : node.children)
    if (SameText(child->name, name)) return child.get();
  return nullptr;
}

void AddKeys(const SandboxRegistry::Node& node, const std::string& path, ordered_json& out) {
  ordered_json values = ordered_json::object();
  for (const auto& value : node.values) values[GbkToUtf8(value.name)] = ValueJson(value.value);
  out[GbkToUtf8(path)] = values;
  for (const auto& child : node.children)
    AddKeys(*child, path.empty() ? child->name : path + "\\" + child->name, out);
}

}  // namespace

// An open key: a borrowed node of the registry that opened it, which outlives it.
class SandboxRegistryKey : public RegistryKey {
 public:
  SandboxRegistryKey(SandboxRegistry& registry, SandboxRegistry::Node& node, bool failWrites)
      : registry_(registry), node_(node), failWrites_(failWrites) {}

  void WriteString(const std::string& name, const std::string& value) override {
    Set(name, RegValue{kRegSz, value});
  }
  void WriteInteger(const std::string& name, uint32_t value) override {
    Set(name, RegValue{kRegDword, DwordBytes(value)});
  }
  void WriteBinary(const std::string& name, const std::string& bytes) override {
    Set(name, RegValue{kRegBinary, bytes});
  }

  std::optional<RegValue> QueryValue(const std::string& name) const override {
    for (const auto& value : node_.values)
      if (SameText(value.name, name)) return value.value;
    return std::nullopt;
  }

  bool DeleteValue(const std::string& name) override {
    if (failWrites_) return false;
    for (auto it = node_.values.begin(); it != node_.values.end(); ++it) {
      if (SameText(it->name, name)) {
        if (registry_.Step("delete value " + name)) return false;
        node_.values.erase(it);
        registry_.MarkDirty();
        return true;
      }
    }
    return false;
  }

 private:
  void Set(const std::string& name, RegValue value) {
    if (failWrites_) throw Error(Format(kFailedToSetData, name), kErrorAccessDenied);
    if (auto code = registry_.Step("set value " + name)) throw Error(Format(kFailedToSetData, name), *code);
    registry_.MarkDirty();
    for (auto& existing : node_.values) {
      if (SameText(existing.name, name)) {
        existing.value = std::move(value);
        return;
      }
    }
    node_.values.push_back({name, std::move(value)});
  }

  SandboxRegistry& registry_;
  SandboxRegistry::Node& node_;
  bool failWrites_;
};

std::optional<std::string> RegRootName(RegRoot root) {
  for (const auto& [value, name] : kRootNames)
    if (value == root) return name;
  return std::nullopt;
}

std::optional<RegRoot> RegRootFromName(const std::string& name) {
  for (const auto& [value, rootName] : kRootNames)
    if (SameText(rootName, name)) return value;
  return std::nullopt;
}

SandboxRegistry::SandboxRegistry() {
  for (const auto& [value, name] : kRootNames) {
    roots_[value] = std::make_unique<Node>();
    roots_[value]->name = name;
  }
}

SandboxRegistry::~SandboxRegistry() = default;

SandboxRegistry::Node* SandboxRegistry::Root(RegRoot root) const {
  auto it = roots_.find(root);
  return it == roots_.end() ? nullptr : it->second.get();
}

SandboxRegistry::Node* SandboxRegistry::Find(RegRoot root, const std::string& subkey, bool create,
                                             bool* denied) {
  *denied = false;
  Node* node = Root(root);
  if (!node) return nullptr;
  for (const std::string& level : SplitKey(subkey)) {
    if (node->denied) break;
    Node* child = FindChild(*node, level);
    if (!child) {
      if (!create || Step("create key " + subkey)) return nullptr;
      node->children.push_back(std::make_unique<Node>());
      child = node->children.back().get();
      child->name = level;
      MarkDirty();
    }
    node = child;
  }
  if (node->denied) {
    *denied = true;
    return nullptr;
  }
  return node;
}

bool SandboxRegistry::KeyExists(RegRoot root, const std::string& subkey) const {
  const Node* node = Root(root);
  if (!node) return false;
  for (const std::string& level : SplitKey(subkey)) {
    node = FindChild(*node, level);
    if (!node) return false;
  }
  return true;
}

void SandboxRegistry::CreateKey(RegRoot root, const std::string& subkey) {
  bool denied = false;
  if (!Find(root, subkey, true, &denied))
    throw Error(Format(kFailedToCreateKey, subkey), denied ? kErrorAccessDenied : kErrorInvalidHandle);
}

std::unique_ptr<RegistryKey> SandboxRegistry::OpenKey(RegRoot root, const std::string& subkey,
                                                      bool canCreate) {
  bool denied = false;
  Node* node = Find(root, subkey, canCreate, &denied);
  if (!node) return nullptr;
  // Writes fail when the key or any level above it is marked.
  const Node* walk = Root(root);
  bool failWrites = walk->failWrites;
  for (const std::string& level : SplitKey(subkey)) {
    walk = FindChild(*walk, level);
    failWrites = failWrites || walk->failWrites;
  }
  return std::make_unique<SandboxRegistryKey>(*this, *node, failWrites);
}

Removal SandboxRegistry::RemoveEmptyKey(RegRoot root, const std::string& subkey) {
  std::vector<std::string> levels = SplitKey(subkey);
  Node* parent = Root(root);
  if (!parent || levels.empty()) return Removal::Failed;
  bool blocked = parent->failWrites;
  for (size_t i = 0; i + 1 < levels.size(); ++i) {
    parent = FindChild(*parent, levels[i]);
    if (!parent) return Removal::Failed;
    blocked = blocked || parent->denied || parent->failWrites;
  }
  Node* node = FindChild(*parent, levels.back());
  if (!node) return Removal::Failed;
  if (blocked || node->denied || node->failWrites) return Removal::Failed;
  if (!node->children.empty() || !node->values.empty()) return Removal::NotEmpty;
  if (Step("remove key " + subkey)) return Removal::Failed;
  std::erase_if(parent->children, [node](const std::unique_ptr<Node>& child) { return child.get() == node; });
  MarkDirty();
  return Removal::Removed;
}

std::unique_ptr<RegistryKey> SandboxRegistry::OpenKeyToRead(RegRoot root,
                                                            const std::string& subkey) {
  Node* node = Root(root);
  if (!node) return nullptr;
  for (const std::string& level : SplitKey(subkey)) {
    node = FindChild(*node, level);
    if (!node) return nullptr;
  }
  return std::make_unique<SandboxRegistryKey>(*this, *node, true);
}

void SandboxRegistry::InjectFault(RegRoot root, const std::string& subkey, RegistryFault fault) {
  Node* node = Root(root);
  if (!node) return;
  for (const std::string& level : SplitKey(subkey)) {
    Node* child = FindChild(*node, level);
    if (!child) {
      node->children.push_back(std::make_unique<Node>());
      child = node->children.back().get();
      child->name = level;
    }
    node = child;
  }
  if (fault == RegistryFault::DenyAccess) node->denied = true;
  if (fault == RegistryFault::FailWrites) node->failWrites = true;
}

ordered_json SandboxRegistry::ToJson() const {
  ordered_json out = ordered_json::object();
  for (const auto& [value, name] : kRootNames) {
    ordered_json keys = ordered_json::object();
    AddKeys(*roots_.at(value), "", keys);
    out[name] = keys;
  }
  return out;
}

void SandboxRegistry::Load(const ordered_json& j) {
  for (auto& [value, node] : roots_) node->children.clear(), node->values.clear();
  try {
    for (const auto& [rootName, keys] : j.items()) {
      auto root = RegRootFromName(rootName);
      if (!root) throw Error("registry.json: unknown root " + rootName);
      for (const auto& [path, values] : keys.items()) {
        bool denied = false;
        Node* node = Find(*root, Utf8ToGbk(path), true, &denied);
        for (const auto& [name, value] : values.items())
          node->values.push_back({Utf8ToGbk(name), ValueFromJson(value)});
      }
    }
  } catch (const json::exception& e) {
    throw Error(std::string("registry.json: ") + e.what());
  }
  dirty_ = false;
}

}  // namespace sys::sandbox
