// Registry of Win32Platform: values through the W functions with strings converted from and to
// GBK. Each key is opened with only the access its use needs: full access would fail on a key
// the run may read but not write (HKEY_LOCAL_MACHINE without raised rights).
#include <string>

#include <windows.h>

#include "system/Error.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Error.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

// Only the predefined roots: a root number from a package must not reach the API as an
// arbitrary handle value, which could name a key this process happens to hold open.
HKEY RootKey(RegRoot root) {
  switch (root) {
    case kHkeyClassesRoot: return HKEY_CLASSES_ROOT;
    case kHkeyCurrentUser: return HKEY_CURRENT_USER;
    case kHkeyLocalMachine: return HKEY_LOCAL_MACHINE;
    case kHkeyUsers: return HKEY_USERS;
    case kHkeyCurrentConfig: return HKEY_CURRENT_CONFIG;
    default: return nullptr;
  }
}

// REG_SZ data as the API stores it: UTF-16 with its terminating NUL.
std::wstring StoredString(const std::wstring& value) { return value + L'\0'; }

constexpr REGSAM kReadWrite = KEY_QUERY_VALUE | KEY_SET_VALUE;

// The text of a string value as GBK. Text GBK cannot hold is not handed on changed: a path that
// exists comes in its short form, anything else fails the read.
std::string TextFromData(const std::string& name, const std::string& data, DWORD type) {
  std::wstring wide(data.size() / sizeof(wchar_t), L'\0');
  data.copy(reinterpret_cast<char*>(wide.data()), wide.size() * sizeof(wchar_t));
  // A single string ends at its first NUL; values written without one are taken whole.
  if (type != REG_MULTI_SZ) {
    size_t end = wide.find(L'\0');
    if (end != std::wstring::npos) wide.resize(end);
  } else if (!wide.empty() && wide.back() == L'\0') {
    wide.pop_back();
  }
  if (auto exact = FromWideExact(wide)) return *exact;
  if (type != REG_MULTI_SZ && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return PathFromWide(wide);
  }
  Raise(Format(kFailedToGetData, name), ERROR_NO_UNICODE_TRANSLATION);
}

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(ScopedKey key) : key_(std::move(key)) {}

  void WriteString(const std::string& name, const std::string& value) override {
    std::wstring data = StoredString(ToWide(value));
    Set(name, REG_SZ, data.data(), data.size() * sizeof(wchar_t));
  }

  void WriteInteger(const std::string& name, uint32_t value) override {
    DWORD data = value;
    Set(name, REG_DWORD, &data, sizeof data);
  }

  void WriteBinary(const std::string& name, const std::string& bytes) override {
    Set(name, REG_BINARY, bytes.data(), bytes.size());
  }

  std::optional<RegValue> QueryValue(const std::string& name) const override {
    std::wstring wideName = ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key_.Get(), wideName.c_str(), nullptr, &type, nullptr, &size);
    std::string data;
    // The value may grow between the two calls; ask again until the buffer is big enough.
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
      data.resize(size);
      DWORD got = size;
      rc = RegQueryValueExW(key_.Get(), wideName.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &got);
      if (rc == ERROR_SUCCESS) {
        data.resize(got);
        break;
      }
      if (rc == ERROR_MORE_DATA) size = got > size ? got : size * 2;
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;
    RegValue value;
    value.type = type;
    value.data = (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
                     ? TextFromData(name, data, type)
                     : std::move(data);
    return value;
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueW(key_.Get(), ToWide(name).c_str()) == ERROR_SUCCESS;
  }

 private:
  void Set(const std::string& name, DWORD type, const void* data, size_t size) {
    LONG rc = RegSetValueExW(key_.Get(), ToWide(name).c_str(), 0, type,
                             static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    if (rc != ERROR_SUCCESS) Raise(Format(kFailedToSetData, name), static_cast<uint32_t>(rc));
  }

  ScopedKey key_;
};

LONG Create(RegRoot root, const std::string& subkey, REGSAM access, ScopedKey& key) {
  HKEY rootKey = RootKey(root);
  if (!rootKey) return ERROR_INVALID_HANDLE;
  return RegCreateKeyExW(rootKey, WideSubkey(subkey).c_str(), 0, nullptr,
                         REG_OPTION_NON_VOLATILE, access, nullptr, key.Receive(), nullptr);
}

LONG Open(RegRoot root, const std::string& subkey, REGSAM access, ScopedKey& key) {
  HKEY rootKey = RootKey(root);
  if (!rootKey) return ERROR_INVALID_HANDLE;
  return RegOpenKeyExW(rootKey, WideSubkey(subkey).c_str(), 0, access, key.Receive());
}

}  // namespace

bool Win32Platform::KeyExists(RegRoot root, const std::string& subkey) const {
  ScopedKey key;
  return Open(root, subkey, KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

void Win32Platform::CreateKey(RegRoot root, const std::string& subkey) {
  ScopedKey key;
  LONG rc = Create(root, subkey, KEY_CREATE_SUB_KEY, key);
  if (rc != ERROR_SUCCESS) Raise(Format(kFailedToCreateKey, subkey), static_cast<uint32_t>(rc));
}

std::unique_ptr<RegistryKey> Win32Platform::OpenKey(RegRoot root, const std::string& subkey,
                                                    bool canCreate) {
  ScopedKey key;
  LONG rc = canCreate ? Create(root, subkey, kReadWrite, key) : Open(root, subkey, kReadWrite, key);
  if (rc != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(std::move(key));
}

Removal Win32Platform::RemoveEmptyKey(RegRoot root, const std::string& subkey) {
  HKEY rootKey = RootKey(root);
  std::wstring wide = WideSubkey(subkey);
  if (!rootKey || wide.empty()) return Removal::Failed;
  ScopedKey key;
  if (RegOpenKeyExW(rootKey, wide.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) {
    return Removal::Failed;
  }
  DWORD subkeys = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return Removal::Failed;
  }
  if (subkeys != 0 || values != 0) return Removal::NotEmpty;
  key.Reset();
  return RegDeleteKeyW(rootKey, wide.c_str()) == ERROR_SUCCESS ? Removal::Removed
                                                                : Removal::Failed;
}

std::unique_ptr<RegistryKey> Win32Platform::OpenKeyToRead(RegRoot root,
                                                          const std::string& subkey) {
  ScopedKey key;
  if (Open(root, subkey, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(std::move(key));
}

}  // namespace sys::win32
