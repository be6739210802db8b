// Runs the widget contract suite on the Windows backend: every control gets its real window,
// documents and folders are read through the real platform from a scratch folder under the
// Windows temporary folder. Needs a display (run-with-display.sh).
#include <memory>

#include "system/win32/Win32Platform.h"
#include "tests/support/WidgetContract.h"
#include "tests/support/win32/ScratchFolder.h"
#include "ui/win32/Win32Backend.h"

namespace {

WidgetEnv MakeWin32WidgetEnv() {
  // The scratch folder lives as long as the cleanup function that removes it.
  auto scratch = std::make_shared<sys::win32::tests::ScratchFolder>();
  WidgetEnv env;
  env.platform = std::make_unique<sys::win32::Win32Platform>();
  env.backend = ui::MakeWin32Backend(96);
  env.scratch = scratch->path();
  env.cleanup = [scratch]() mutable { scratch.reset(); };
  return env;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, WidgetContract, testing::Values(&MakeWin32WidgetEnv));
