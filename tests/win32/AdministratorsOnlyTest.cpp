// Whether only the administrators can change a file, on the real API. The judgement is tested on
// descriptors made from their text form, which Wine handles like Windows; what a file on disk
// reports is tested too, and there Wine differs: it keeps no owner or access list of its own, so
// under Wine a file made protected is (rightly) never judged so, and only Windows shows the
// protected case on a real file.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "system/Platform.h"
#include "system/win32/AdministratorsOnly.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/WideText.h"
#include "system/win32/Win32Platform.h"
#include "tests/support/win32/ScratchFolder.h"

namespace sys::win32 {
namespace {

bool Judge(const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                   &descriptor, nullptr))
      << "the test's own descriptor text";
  const bool only = OnlyAdministratorsMayChange(descriptor);
  LocalFree(descriptor);
  return only;
}

TEST(AdministratorsOnly, JudgesOwnerAndEveryGrantThatCouldChangeTheFile) {
  struct Case {
    const wchar_t* sddl;
    bool only;
  };
  const Case cases[] = {
      {kAdministratorsOnlyFile, true},
      {L"O:SYD:P(A;;FA;;;SY)(A;;FA;;;BA)", true},
      // TrustedInstaller owns the system's own files; readers and runners may be anyone.
      {L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
       L"D:(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)(A;;0x1200a9;;;BU)(A;;0x1200a9;;;WD)",
       true},
      // Denials only take away; entries that only pass to children do not apply to the file.
      {L"O:BAD:(D;;FA;;;WD)(A;;FA;;;BA)", true},
      {L"O:BAD:(A;OICIIO;FA;;;BU)(A;;FA;;;BA)", true},
      // The owner is the person's, or missing; a missing list lets everyone do everything.
      {L"O:S-1-5-21-1-2-3-1000D:P(A;;FA;;;SY)(A;;FA;;;BA)", false},
      {L"D:P(A;;FA;;;SY)(A;;FA;;;BA)", false},
      {L"O:BA", false},
      // Each right that changes the file, granted to someone else.
      {L"O:BAD:P(A;;FA;;;BA)(A;;FW;;;BU)", false},
      {L"O:BAD:P(A;;FA;;;BA)(A;;0x4;;;BU)", false},       // append
      {L"O:BAD:P(A;;FA;;;BA)(A;;SD;;;AU)", false},        // delete
      {L"O:BAD:P(A;;FA;;;BA)(A;;WD;;;WD)", false},        // change the list
      {L"O:BAD:P(A;;FA;;;BA)(A;;WO;;;IU)", false},        // take ownership
      {L"O:BAD:P(A;;FA;;;BA)(A;;GA;;;S-1-5-21-1-2-3-1000)", false},
      {L"O:BAD:P(A;;FA;;;BA)(A;;GW;;;BU)", false},
      // An empty list grants nothing; reading and attributes change nothing the run obeys.
      {L"O:BAD:P", true},
      {L"O:BAD:P(A;;FA;;;BA)(A;;FR;;;BU)(A;;0x100;;;BU)", true},
  };
  for (const Case& c : cases) EXPECT_EQ(Judge(c.sddl), c.only) << Utf8FromWide(c.sddl);
}

TEST(AdministratorsOnly, AProtectedFileIsMadeAnewNotWrittenThroughAnotherNameOfTheOldOne) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  const std::wstring other = ToWide(scratch.path() + "\\system.dll");
  const std::wstring name = ToWide(scratch.path() + "\\Ins.log.journal");
  {
    auto file = platform.CreateForWrite(scratch.path() + "\\system.dll");
    file->Write("system", 6);
  }
  if (!CreateHardLinkW(name.c_str(), other.c_str(), nullptr)) {
    GTEST_SKIP() << "no hard links on this volume (error " << GetLastError() << ")";
  }
  {
    auto file = platform.CreateProtectedFile(scratch.path() + "\\Ins.log.journal");
    file->Write("journal", 7);
  }
  auto kept = platform.OpenForRead(scratch.path() + "\\system.dll");
  std::string bytes(16, '\0');
  bytes.resize(kept->Read(bytes.data(), bytes.size()));
  EXPECT_EQ(bytes, "system");
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring OwnerAndList(HANDLE file, SECURITY_DESCRIPTOR_CONTROL* control) {
  PSECURITY_DESCRIPTOR raw = nullptr;
  const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  if (GetSecurityInfo(file, SE_FILE_OBJECT, parts, nullptr, nullptr, nullptr, nullptr, &raw) !=
      ERROR_SUCCESS) {
    return L"?";
  }
  DWORD revision = 0;
  GetSecurityDescriptorControl(raw, control, &revision);
  wchar_t* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorW(raw, SDDL_REVISION_1, parts, &text, nullptr);
  std::wstring result = text ? text : L"?";
  LocalFree(text);
  LocalFree(raw);
  return result;
}

// Wine keeps no descriptor: the owner it reports is the user, whatever the file was created
// with, so the run never trusts a journal there. Should a Wine ever keep them, this says so.
TEST(AdministratorsOnly, WhatAFileMadeProtectedReportsOnThisSystem) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  auto file = platform.CreateProtectedFile(scratch.path() + "\\j");
  ScopedHandle held(CreateFileW(ToWide(scratch.path() + "\\j").c_str(), READ_CONTROL,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr));
  ASSERT_TRUE(held);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  const std::wstring reported = OwnerAndList(held.Get(), &control);
  const std::string shown = Utf8FromWide(reported);
  if (UnderWine()) {
    EXPECT_FALSE(reported.starts_with(L"O:BA")) << shown;
    EXPECT_FALSE(OnlyAdministratorsMayChangeFile(held.Get())) << shown;
    std::printf("Wine reports a file made protected as %s\n", shown.c_str());
  } else if (platform.IsElevated()) {
    EXPECT_TRUE(reported.starts_with(L"O:BA")) << shown;
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << shown;
    EXPECT_TRUE(OnlyAdministratorsMayChangeFile(held.Get())) << shown;
  } else {
    EXPECT_FALSE(OnlyAdministratorsMayChangeFile(held.Get())) << shown;
  }
}

}  // namespace
}  // namespace sys::win32
