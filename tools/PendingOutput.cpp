#include "tools/PendingOutput.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <system_error>

namespace tool {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// What the handler may touch: a fixed buffer and a flag (only async-signal-safe calls there).
char g_partialPath[4096];
volatile sig_atomic_t g_armed = 0;
struct sigaction g_previous[3];

void RemovePartialAndDie(int signal) {
  if (g_armed) unlink(g_partialPath);
  ::signal(signal, SIG_DFL);
  raise(signal);
}

void Arm(const std::filesystem::path& partial) {
  const std::string& text = partial.native();
  if (text.size() >= sizeof g_partialPath) return;  // left to the destructor alone
  std::memcpy(g_partialPath, text.c_str(), text.size() + 1);
  struct sigaction action {};
  action.sa_handler = &RemovePartialAndDie;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &g_previous[i]);
  g_armed = 1;
}

void Disarm() {
  if (!g_armed) return;
  g_armed = 0;
  for (size_t i = 0; i < 3; ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
}

}  // namespace

PendingOutput::PendingOutput(std::filesystem::path target)
    : target_(std::move(target)), temporary_(target_.string() + ".partial") {
  Arm(temporary_);
}

PendingOutput::~PendingOutput() {
  Disarm();
  std::error_code ignored;
  if (!committed_) std::filesystem::remove(temporary_, ignored);
}

void PendingOutput::Commit() {
  std::filesystem::rename(temporary_, target_);
  committed_ = true;
  Disarm();
}

}  // namespace tool
