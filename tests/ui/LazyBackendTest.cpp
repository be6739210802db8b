// The backend made on first use: a run that shows no window never makes the real one, and once
// made, everything (calls, peers, the notice of the window in front) goes through to it.
#include "ui/LazyBackend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Timer.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

// An in-memory backend with its own DPI that can announce a window in front, as the Windows
// backend does when a modal loop starts or ends.
class AnnouncingBackend : public ui::HeadlessBackend {
 public:
  int Dpi() const override { return 144; }
  void Announce(uintptr_t window) { OnTopWindowChanged(window); }
};

struct Made {
  int count = 0;
  AnnouncingBackend* last = nullptr;
};

ui::LazyBackend LazyOver(Made& made) {
  return ui::LazyBackend([&made] {
    ++made.count;
    auto backend = std::make_unique<AnnouncingBackend>();
    made.last = backend.get();
    return backend;
  });
}

TEST(LazyBackend, MakesNothingUntilTheFirstCallAndThenOnlyOnce) {
  Made made;
  ui::LazyBackend backend = LazyOver(made);
  EXPECT_FALSE(backend.Made());
  EXPECT_EQ(made.count, 0);
  EXPECT_EQ(backend.Dpi(), 144);
  backend.ProcessMessages();
  backend.ProcessMessages();
  EXPECT_TRUE(backend.Made());
  EXPECT_EQ(made.count, 1);
  EXPECT_EQ(made.last->ProcessMessagesCalls(), 2);
}

TEST(LazyBackend, AFormsControlsLiveOnTheMadeBackend) {
  Made made;
  ui::LazyBackend backend = LazyOver(made);
  ui::Form form(backend, "TfrmTimers");
  auto* timer = form.Add<ui::Timer>("Timer1");
  std::vector<int64_t> fired;
  timer->OnTimer = [&] { fired.push_back(made.last->Now()); };
  ASSERT_EQ(made.count, 1);
  made.last->AdvanceClock(2000);
  EXPECT_EQ(fired, (std::vector<int64_t>{1000, 2000}));
}

TEST(LazyBackend, PassesOnTheWindowInFrontToWhoeverListensNow) {
  Made made;
  ui::LazyBackend backend = LazyOver(made);
  std::vector<uintptr_t> seen;
  backend.OnTopWindowChanged = [&](uintptr_t window) { seen.push_back(window); };
  backend.ProcessMessages();
  made.last->Announce(42);
  // A listener set after the backend was made hears the later notices.
  backend.OnTopWindowChanged = [&](uintptr_t window) { seen.push_back(window + 1); };
  made.last->Announce(0);
  EXPECT_EQ(seen, (std::vector<uintptr_t>{42, 1}));
}

}  // namespace
