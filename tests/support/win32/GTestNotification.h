// Force-included into GoogleTest and the win32 tests. This compiler's win32 thread model has no
// std::mutex or std::condition_variable, which GoogleTest's Notification (used only to start its
// own helper threads) is written with; this stands in for it with an atomic flag, and GoogleTest
// keeps its own Win32 mutexes for everything else. The alternative, the posix thread model,
// would link winpthread into setup.exe as well (about 26 KB).
#pragma once

#ifdef __cplusplus
#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
#endif
