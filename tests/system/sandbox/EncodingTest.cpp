#include "system/sandbox/Encoding.h"

#include <gtest/gtest.h>

#include "system/Error.h"

namespace {

using sys::sandbox::GbkToUtf8;
using sys::sandbox::Utf8ToGbk;

// The converters are kept from one text to the next: a text that fails half-way must leave
// nothing behind for the next one.
TEST(Encoding, AFailedTextLeavesTheNextOneIntact) {
  EXPECT_EQ(GbkToUtf8("\xD6\xD0\xCE\xC4"), "\xE4\xB8\xAD\xE6\x96\x87");  // 中文
  EXPECT_THROW(GbkToUtf8("ok\xD6"), sys::Error);                        // a lead byte cut off
  EXPECT_THROW(GbkToUtf8("\xFF\xFF"), sys::Error);
  EXPECT_EQ(GbkToUtf8("a\xD6\xD0"), "a\xE4\xB8\xAD");
  EXPECT_THROW(Utf8ToGbk("\xE4\xB8"), sys::Error);
  EXPECT_EQ(Utf8ToGbk("\xE6\x96\x87.txt"), "\xCE\xC4.txt");
  EXPECT_EQ(GbkToUtf8("Plain ASCII\\Name.TXT"), "Plain ASCII\\Name.TXT");
}

}  // namespace
