// The standard library's own errors in the Windows programs: the same messages as libstdc++'s,
// thrown as sys::win32::LibraryError, and the allocation failures still as std::bad_alloc.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "system/win32/runtime/LibraryErrors.h"

namespace {

using sys::win32::LibraryError;

// The exception's text, failing the test when something other than a LibraryError comes.
template <typename Fn>
std::string LibraryErrorText(Fn fn) {
  try {
    fn();
  } catch (const LibraryError& error) {
    return error.what();
  } catch (const std::exception& error) {
    ADD_FAILURE() << "not a LibraryError: " << error.what();
    return {};
  }
  ADD_FAILURE() << "nothing thrown";
  return {};
}

TEST(LibraryErrors, StringsAndContainersKeepLibstdcxxMessages) {
  const std::string text = "abc";
  volatile size_t past = 5;  // not a constant: the compiler must not see the throw coming
  EXPECT_EQ(LibraryErrorText([&] { (void)text.substr(past); }),
            "basic_string::substr: __pos (which is 5) > this->size() (which is 3)");
  EXPECT_EQ(LibraryErrorText([&] { (void)text.at(past); }),
            "basic_string::at: __n (which is 5) >= this->size() (which is 3)");
  std::vector<int> numbers(2);
  EXPECT_EQ(LibraryErrorText([&] { (void)numbers.at(past); }),
            "vector::_M_range_check: __n (which is 5) >= this->size() (which is 2)");
  EXPECT_EQ(LibraryErrorText([&] { numbers.reserve(numbers.max_size() + past); }),
            "vector::reserve");
  std::string grown;
  EXPECT_EQ(LibraryErrorText([&] { grown.reserve(grown.max_size() + past); }),
            "basic_string::_M_create");
}

TEST(LibraryErrors, ACaughtStdExceptionCarriesTheMessage) {
  try {
    (void)std::string("x").substr(7);
    FAIL() << "nothing thrown";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "basic_string::substr: __pos (which is 7) > this->size() (which is 1)");
  }
}

TEST(LibraryErrors, AllocationFailuresAreStillBadAlloc) {
  volatile size_t huge = static_cast<size_t>(-1) / 2;
  EXPECT_THROW((void)std::allocator<int>().allocate(huge), std::bad_alloc);
  EXPECT_THROW((void)std::allocator<char>().allocate(huge + 1), std::bad_alloc);
}

TEST(LibraryErrors, FormatsOnlyWhatLibstdcxxUsesAndCutsLongTexts) {
  EXPECT_EQ(LibraryErrorText([] { std::__throw_out_of_range_fmt("%s %zu%% %zu", "a", size_t{0}, ~size_t{0}); }),
            "a 0% " + std::to_string(~size_t{0}));
  const std::string longName(1000, 'n');
  const std::string cut = LibraryErrorText([&] { std::__throw_out_of_range_fmt("%s!", longName.c_str()); });
  EXPECT_EQ(cut, std::string(255, 'n'));
  EXPECT_EQ(LibraryErrorText([&] { std::__throw_logic_error(longName.c_str()); }), std::string(255, 'n'));
}

}  // namespace
