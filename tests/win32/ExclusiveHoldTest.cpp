// The uninstaller's hold on Ins.log on the real API: a second holder is refused while readers
// still get in (the uninstaller reads the log it holds), letting go lets the next one in and
// lets the log be deleted, and a hold passed to a child process keeps the file held after the
// parent's own handle is gone.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <windows.h>

#include "system/Error.h"
#include "system/win32/ExclusiveHold.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"
#include "tests/support/win32/ScratchFolder.h"

namespace sys::win32 {
namespace {

using State = ExclusiveHold::State;

class ExclusiveHoldTest : public ::testing::Test {
 protected:
  ExclusiveHoldTest() : log(scratch.path() + "\\Ins.log") {
    platform.CreateForWrite(log)->Write("log bytes", 9);
  }

  tests::ScratchFolder scratch;
  Win32Platform platform;
  std::string log;
};

TEST_F(ExclusiveHoldTest, ASecondHolderIsRefusedWhileReadersGetIn) {
  ExclusiveHold first(log);
  ASSERT_EQ(first.GetState(), State::Held);
  ExclusiveHold second(log);
  EXPECT_EQ(second.GetState(), State::HeldElsewhere);
  EXPECT_NO_THROW(platform.OpenForRead(log));
  // Writing or deleting the log is what the hold keeps out.
  EXPECT_THROW(platform.CreateForWrite(log), Error);
  EXPECT_FALSE(platform.RemoveFile(log));
}

TEST_F(ExclusiveHoldTest, LettingGoLetsTheNextHolderInAndTheLogGo) {
  ExclusiveHold first(log);
  first.Release();
  EXPECT_EQ(ExclusiveHold(log).GetState(), State::Held);
  EXPECT_TRUE(platform.RemoveFile(log));
}

TEST_F(ExclusiveHoldTest, AMissingLogIsUnavailableNotHeldElsewhere) {
  EXPECT_EQ(ExclusiveHold(scratch.path() + "\\none.log").GetState(), State::Unavailable);
}

TEST_F(ExclusiveHoldTest, AnAdoptedHoldKeepsTheFileHeld) {
  ExclusiveHold first(log);
  const uint64_t shared = first.ShareWithChildren();
  ASSERT_NE(shared, 0u);
  // What a child does with the inherited value, here through a duplicate in this process.
  HANDLE duplicate = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(shared),
                              GetCurrentProcess(), &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS));
  first.Release();
  ExclusiveHold adopted = ExclusiveHold::Adopt(reinterpret_cast<uintptr_t>(duplicate), log);
  EXPECT_EQ(adopted.GetState(), State::Held);
  EXPECT_EQ(ExclusiveHold(log).GetState(), State::HeldElsewhere);
  adopted.Release();
  EXPECT_EQ(ExclusiveHold(log).GetState(), State::Held);
  EXPECT_EQ(ExclusiveHold::Adopt(0, scratch.path() + "\\none.log").GetState(), State::Unavailable);
}

// A forged command line may name any handle of the copy: only a hold on the log itself is
// taken over; anything else is left alone and the log is held afresh.
TEST_F(ExclusiveHoldTest, AHandleOfAnotherFileIsNotAdopted) {
  const std::string other = scratch.path() + "\\other.log";
  platform.CreateForWrite(other);
  ExclusiveHold elsewhere(other);
  const uint64_t shared = elsewhere.ShareWithChildren();
  ASSERT_NE(shared, 0u);
  ExclusiveHold adopted = ExclusiveHold::Adopt(shared, log);
  EXPECT_EQ(adopted.GetState(), State::Held);
  adopted.Release();
  // The other file's hold is still in force, and the log's was a fresh one.
  EXPECT_EQ(ExclusiveHold(other).GetState(), State::HeldElsewhere);
  EXPECT_EQ(ExclusiveHold(log).GetState(), State::Held);
}

// The uninstaller reads the log through its hold. Renaming the held log's folder away and
// putting another log in its place is refused on Windows but not under Wine; either way the
// reader gives the held bytes, and once it and the hold are gone the file can go.
TEST_F(ExclusiveHoldTest, TheReaderReadsTheHeldFileWhateverIsPutUnderItsName) {
  const std::string folder = scratch.path() + "\\App";
  const std::string held = folder + "\\Ins.log";
  ASSERT_TRUE(platform.ForceDirectories(folder));
  platform.CreateForWrite(held)->Write("held log", 8);
  ExclusiveHold hold(held);
  ASSERT_EQ(hold.GetState(), State::Held);
  const bool swapped = MoveFileW(ToWide(folder).c_str(), ToWide(folder + ".away").c_str());
  if (swapped) {
    ASSERT_TRUE(platform.ForceDirectories(folder));
    platform.CreateForWrite(held)->Write("forged", 6);
  }
  for (int pass = 0; pass < 2; ++pass) {  // twice: each reader starts at the beginning
    std::unique_ptr<Stream> reader = hold.OpenReader();
    ASSERT_NE(reader, nullptr);
    std::string bytes(16, '\0');
    bytes.resize(reader->Read(bytes.data(), bytes.size()));
    EXPECT_EQ(bytes, "held log") << (swapped ? "folder swapped" : "folder kept");
  }
  const std::string heldNow = swapped ? folder + ".away\\Ins.log" : held;
  hold.Release();
  EXPECT_TRUE(platform.RemoveFile(heldNow));
  EXPECT_EQ(ExclusiveHold(scratch.path() + "\\none.log").OpenReader(), nullptr);
}

}  // namespace
}  // namespace sys::win32
