// The sandbox's model of files only administrators can change: the mark an elevated run's
// CreateProtectedFile leaves outlives the run, follows the file and not its name or bytes, and a
// run without administrator rights makes ordinary files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/host/SandboxHost.h"

namespace {

using testsupport::SandboxHost;

constexpr const char* kJournal = "C:\\Apps\\Ins.log.journal";

bool Protected(sys::Platform& p, const std::string& path) {
  return p.OnlyAdministratorsCanChange(*p.HoldForRead(path));
}

size_t Marks(const SandboxHost& host) {
  std::error_code ec;
  size_t n = 0;
  for (std::filesystem::directory_iterator it(host.root() / "protected", ec), end; !ec && it != end;
       it.increment(ec)) {
    ++n;
  }
  return n;
}

TEST(SandboxProtectedFiles, TheMarkOutlivesTheRunAndGoesWithTheFile) {
  SandboxHost host;
  ASSERT_TRUE(host.platform().ForceDirectories("C:\\Apps"));
  host.platform().CreateProtectedFile(kJournal)->Write("j", 1);
  host.Reopen();
  EXPECT_TRUE(Protected(host.platform(), kJournal));
  // Moved within the machine it is still the same file.
  ASSERT_TRUE(host.platform().MoveReplacing(kJournal, "C:\\Apps\\moved"));
  EXPECT_TRUE(Protected(host.platform(), "C:\\Apps\\moved"));
  ASSERT_TRUE(host.platform().RemoveFile("C:\\Apps\\moved"));
  EXPECT_EQ(Marks(host), 0u);
}

TEST(SandboxProtectedFiles, BytesCopiedThroughTheHostIntoItsPlaceAreThePersons) {
  SandboxHost host;
  ASSERT_TRUE(host.platform().ForceDirectories("C:\\Apps"));
  host.platform().CreateProtectedFile(kJournal)->Write("journal", 7);
  const std::string bytes = host.ReadFile(kJournal);
  // Deleted on the host: the mark keeps the inode, so no new file can come to look like it.
  std::filesystem::remove(host.Host(kJournal));
  host.WriteFile(kJournal, bytes);
  EXPECT_FALSE(Protected(host.platform(), kJournal));
  // The next creation drops the mark of the file that is gone.
  host.platform().CreateProtectedFile("C:\\Apps\\other")->Write("o", 1);
  EXPECT_EQ(Marks(host), 1u);
}

TEST(SandboxProtectedFiles, WithoutAdministratorRightsTheFileIsOrdinary) {
  SandboxHost host;
  host.platform().SetElevated(false);
  ASSERT_TRUE(host.platform().ForceDirectories("C:\\Apps"));
  host.platform().CreateProtectedFile(kJournal)->Write("j", 1);
  host.platform().SetElevated(true);
  EXPECT_FALSE(Protected(host.platform(), kJournal));
  EXPECT_EQ(Marks(host), 0u);
}

}  // namespace
