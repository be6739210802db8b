// The errors the standard library raises from inside strings and containers (a substr past the
// end, a string longer than max_size(), an at() out of range), as the Windows programs throw
// them. LibraryErrors.cpp replaces libstdc++'s std::__throw_* helpers: theirs throw
// std::length_error and its kin, which bring libstdc++'s copy-on-write string and exception
// sources (about 57 KB) into every program. Ours throw LibraryError, a std::exception with the
// same message, and std::bad_alloc, std::bad_cast and the other small kinds as before.
//
// Linked into setup.exe, uninst.exe and win32_tests only, each time as an object of its own and
// never from a library, so that its definitions come before libstdc++.a: the linker then has
// no reason to take libstdc++'s functexcept.o. It defines every helper that object does, so a
// later libstdc++ that calls a helper ours lacks fails the link with "multiple definition"
// rather than linking the old weight back in unnoticed.
//
// What changes for a catch site: std::logic_error, std::out_of_range and the rest no longer
// catch these; std::exception does, with what() as before. The runtime catches only its own
// types and std::exception.
#pragma once

#include <cstdarg>
#include <exception>

namespace sys::win32 {

class LibraryError : public std::exception {
 public:
  explicit LibraryError(const char* message);
  // libstdc++'s message formats use "%s", "%zu" and "%%" only.
  LibraryError(const char* format, va_list arguments);

  const char* what() const noexcept override { return text_; }

 private:
  // Held in the object, so that copying the exception cannot fail; longer texts are cut.
  char text_[256];
};

}  // namespace sys::win32
