#include "system/win32/runtime/LibraryErrors.h"

#include <bits/functexcept.h>

#include <cstddef>
#include <new>
#include <typeinfo>

namespace sys::win32 {
namespace {

// Appends text to buffer[length..] while room is left, keeping the terminator.
void Append(char* buffer, size_t& length, size_t capacity, const char* text, size_t count) {
  for (size_t i = 0; i < count && length + 1 < capacity; ++i) buffer[length++] = text[i];
  buffer[length] = '\0';
}

size_t Length(const char* text) {
  size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

}  // namespace

LibraryError::LibraryError(const char* message) {
  size_t length = 0;
  Append(text_, length, sizeof text_, message, Length(message));
}

LibraryError::LibraryError(const char* format, va_list arguments) {
  size_t length = 0;
  text_[0] = '\0';
  for (const char* c = format; *c != '\0'; ++c) {
    if (c[0] == '%' && c[1] == 's') {
      const char* text = va_arg(arguments, const char*);
      Append(text_, length, sizeof text_, text, Length(text));
      ++c;
    } else if (c[0] == '%' && c[1] == 'z' && c[2] == 'u') {
      char digits[24];
      size_t value = va_arg(arguments, size_t);
      size_t count = 0;
      do {
        digits[sizeof digits - ++count] = static_cast<char>('0' + value % 10);
        value /= 10;
      } while (value != 0);
      Append(text_, length, sizeof text_, digits + sizeof digits - count, count);
      c += 2;
    } else if (c[0] == '%' && c[1] == '%') {
      Append(text_, length, sizeof text_, "%", 1);
      ++c;
    } else {
      Append(text_, length, sizeof text_, c, 1);
    }
  }
}

}  // namespace sys::win32

// The helpers libstdc++'s headers call, every one that functexcept.o defines; their
// declarations come from bits/functexcept.h, so a changed signature fails to compile.
namespace std {

using sys::win32::LibraryError;

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { throw LibraryError(message); }
void __throw_domain_error(const char* message) { throw LibraryError(message); }
void __throw_invalid_argument(const char* message) { throw LibraryError(message); }
void __throw_length_error(const char* message) { throw LibraryError(message); }
void __throw_out_of_range(const char* message) { throw LibraryError(message); }
void __throw_runtime_error(const char* message) { throw LibraryError(message); }
void __throw_range_error(const char* message) { throw LibraryError(message); }
void __throw_overflow_error(const char* message) { throw LibraryError(message); }
void __throw_underflow_error(const char* message) { throw LibraryError(message); }

void __throw_out_of_range_fmt(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  LibraryError error(format, arguments);
  va_end(arguments);
  throw error;
}

}  // namespace std
