// Makes a folder link for the tests that play a user swapping a folder for one: a junction
// (a mount-point reparse point, which any user may make in a folder of their own), else a
// directory symbolic link. Where the system supports neither, it says so and the tests skip.
#pragma once

#include <string>

namespace sys::win32::tests {

// link and target are full GBK paths; target is an existing folder, link does not exist yet.
bool MakeFolderLink(const std::string& link, const std::string& target);

}  // namespace sys::win32::tests
