// The simulated registry: an in-memory tree of keys under the predefined roots, saved as JSON.
// Key and value names keep the case they were created with and are found ignoring ASCII case.
// A leading "\" of a subkey is ignored and empty levels ("A\\B") are skipped.
//
// JSON form (UTF-8), every key listed by its full path, parents before children:
//   {"HKEY_LOCAL_MACHINE": {"Software\\Vendor": {"Name": {"type": "REG_SZ", "data": "text"},
//                                                  "Count": {"type": "REG_DWORD", "data": 5},
//                                                  "Blob": {"type": "REG_BINARY", "data": "0aff"}}}}
// The root key itself is listed as "". A text that is not valid GBK is stored as hex under
// "hex" instead of "data"; other value types are stored as {"type": <number>, "hex": ...}.
//
// Faults for tests: DenyAccess on a key makes it and everything below it unopenable with full
// access (CreateKey throws, OpenKey returns nullptr, RemoveEmptyKey fails); FailWrites lets the
// keys open but makes every value write and key removal below them fail. Marking a key creates
// it, as a key protected by its access list exists even though it cannot be opened. A key opened
// only to read (OpenKeyToRead) opens also where DenyAccess is marked, as a key that a user
// without raised rights may read but not write does; its writes always throw.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "system/Platform.h"
#include "system/sandbox/FaultInjection.h"

namespace sys::sandbox {

enum class RegistryFault { DenyAccess, FailWrites };

// "HKEY_LOCAL_MACHINE" for kHkeyLocalMachine, ...; nullopt for an unknown root.
std::optional<std::string> RegRootName(RegRoot root);
std::optional<RegRoot> RegRootFromName(const std::string& name);

class SandboxRegistry {
 public:
  SandboxRegistry();
  ~SandboxRegistry();
  SandboxRegistry(const SandboxRegistry&) = delete;
  SandboxRegistry& operator=(const SandboxRegistry&) = delete;

  // Replaces the content; throws sys::Error for malformed JSON content.
  void Load(const nlohmann::ordered_json& json);
  nlohmann::ordered_json ToJson() const;
  bool dirty() const { return dirty_; }
  void MarkSaved() { dirty_ = false; }

  bool KeyExists(RegRoot root, const std::string& subkey) const;
  void CreateKey(RegRoot root, const std::string& subkey);
  std::unique_ptr<RegistryKey> OpenKey(RegRoot root, const std::string& subkey, bool canCreate);
  // Frees the node: keys of it still open must not be used afterwards.
  Removal RemoveEmptyKey(RegRoot root, const std::string& subkey);
  std::unique_ptr<RegistryKey> OpenKeyToRead(RegRoot root, const std::string& subkey);
  void InjectFault(RegRoot root, const std::string& subkey, RegistryFault fault);
  // Every key created, value written or deleted and key removed is one step of steps.
  void CountSteps(StepFaults* steps) { steps_ = steps; }

  struct Value {
    std::string name;
    RegValue value;
  };
  struct Node {
    std::string name;
    std::vector<std::unique_ptr<Node>> children;  // stable addresses for open keys
    std::vector<Value> values;
    bool denied = false;
    bool failWrites = false;
  };

 private:
  friend class SandboxRegistryKey;
  Node* Root(RegRoot root) const;
  // Walks to the key; with create, adds missing levels unless a denied level is crossed.
  // nullptr when the key is missing or denied.
  Node* Find(RegRoot root, const std::string& subkey, bool create, bool* denied);
  void MarkDirty() { dirty_ = true; }
  // The code a counted step fails with, nullopt to go on.
  std::optional<uint32_t> Step(const std::string& what) {
    return steps_ ? steps_->Next(what) : std::nullopt;
  }

  std::map<RegRoot, std::unique_ptr<Node>> roots_;
  bool dirty_ = false;
  StepFaults* steps_ = nullptr;
};

}  // namespace sys::sandbox
