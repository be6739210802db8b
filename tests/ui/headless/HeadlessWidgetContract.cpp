// Runs the widget contract suite on the in-memory backend over a fresh sandbox, and checks what
// only that pairing fixes: the simulated machine's desktop as a tree's default root.
#include <filesystem>
#include <system_error>

#include <gtest/gtest.h>

#include "system/sandbox/SandboxPlatform.h"
#include "tests/support/WidgetContract.h"
#include "tests/support/host/SandboxHost.h"
#include "ui/FolderTree.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

WidgetEnv MakeHeadlessWidgetEnv() {
  std::filesystem::path root = testsupport::MakeTempFolder("widgets");
  WidgetEnv env;
  env.backend = std::make_unique<ui::HeadlessBackend>();
  env.platform = std::make_unique<sys::sandbox::SandboxPlatform>(root);
  env.scratch = "C:\\Temp";
  env.platform->ForceDirectories(env.scratch);
  env.cleanup = [root] {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  };
  return env;
}

TEST(HeadlessFolderTree, StartsAtTheDesktopUnlessRooted) {
  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current(host.platform());
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmTest");
  form.Show();
  auto* tree = form.Add<ui::FolderTree>("Tree1");
  EXPECT_EQ(tree->RootFolder(), "C:\\Users\\user\\Desktop");
  tree->SetRoot("D:\\Apps");
  EXPECT_EQ(tree->RootFolder(), "D:\\Apps");
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Headless, WidgetContract, testing::Values(&MakeHeadlessWidgetEnv));
