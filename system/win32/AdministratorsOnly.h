// Whether only the machine's administrators can change a file: the judgement on a file's
// security descriptor that lets the elevated run act on its own journal and on nothing the
// person could have planted in its place. Kept apart from the platform so that the judgement can
// be tested on descriptors made from their text form, also where the file system keeps none
// (Wine reports the user as owner of every file and derives the access list from the Unix
// mode, so there a file is never judged protected).
#pragma once

namespace sys::win32 {

// What CreateProtectedFile gives a file in a run with administrator rights, in SDDL: owned by
// the Administrators; SYSTEM and the Administrators may do anything, the Users read; nothing
// inherited. The second form leaves the owner to the token, for a token that may not name the
// Administrators as owner.
inline constexpr const wchar_t* kAdministratorsOnlyFile =
    L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)";
inline constexpr const wchar_t* kAdministratorsOnlyFileDefaultOwner =
    L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)";

// True when descriptor (a SECURITY_DESCRIPTOR, absolute or self-relative) names SYSTEM, the
// Administrators or TrustedInstaller as owner and its access list grants no one else the right
// to write, append, delete, change the list or take ownership. A missing owner or list, or a
// grant of a form not read here (object and conditional entries), is not protected; entries
// that only inherit to children and denials take nothing away from the judgement.
bool OnlyAdministratorsMayChange(const void* descriptor);

// The same judgement on an open file handle (which needs READ_CONTROL); false when its
// descriptor cannot be read.
bool OnlyAdministratorsMayChangeFile(void* file);

}  // namespace sys::win32
