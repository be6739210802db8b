#include "system/win32/AdministratorsOnly.h"

#include <memory>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

namespace sys::win32 {
namespace {

// Any of these lets the holder change what the file says or replace it.
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC |
                                      WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED;

// SYSTEM, the Administrators and TrustedInstaller (the service that owns the system's files).
constexpr const wchar_t* kAdministrativeSids[] = {
    L"S-1-5-18", L"S-1-5-32-544",
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"};

bool IsAdministrative(PSID sid) {
  for (const wchar_t* text : kAdministrativeSids) {
    PSID known = nullptr;
    if (!ConvertStringSidToSidW(text, &known)) continue;
    const bool same = EqualSid(sid, known) != FALSE;
    LocalFree(known);
    if (same) return true;
  }
  return false;
}

bool GrantsChangeToOthers(void* ace) {
  const auto* header = static_cast<const ACE_HEADER*>(ace);
  if (header->AceFlags & INHERIT_ONLY_ACE) return false;
  switch (header->AceType) {
    case ACCESS_DENIED_ACE_TYPE:
    case ACCESS_DENIED_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE: return false;
    case ACCESS_ALLOWED_ACE_TYPE: {
      auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
      return (allowed->Mask & kChangeRights) != 0 && !IsAdministrative(&allowed->SidStart);
    }
    default: return true;
  }
}

}  // namespace

bool OnlyAdministratorsMayChange(const void* descriptor) {
  auto* sd = const_cast<PSECURITY_DESCRIPTOR>(descriptor);
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!sd || !GetSecurityDescriptorOwner(sd, &owner, &defaulted) || !owner ||
      !IsAdministrative(owner)) {
    return false;
  }
  BOOL present = FALSE;
  PACL list = nullptr;
  // No list at all grants everyone everything.
  if (!GetSecurityDescriptorDacl(sd, &present, &list, &defaulted) || !present || !list) return false;
  for (DWORD i = 0; i < list->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(list, i, &ace) || GrantsChangeToOthers(ace)) return false;
  }
  return true;
}

bool OnlyAdministratorsMayChangeFile(void* file) {
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                      nullptr, nullptr, nullptr, nullptr, &raw) != ERROR_SUCCESS) {
    return false;
  }
  std::unique_ptr<void, decltype(&LocalFree)> descriptor(raw, &LocalFree);
  return OnlyAdministratorsMayChange(descriptor.get());
}

}  // namespace sys::win32
