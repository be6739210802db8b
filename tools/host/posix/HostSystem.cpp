#include "tools/host/HostSystem.h"

#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace tool::host {
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

}  // namespace

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool SeekFile(std::FILE* file, int64_t offset, int origin) {
  return fseeko(file, static_cast<off_t>(offset), origin) == 0;
}

int64_t TellFile(std::FILE* file) { return static_cast<int64_t>(ftello(file)); }

bool IsTerminal(StandardStream stream) {
  const int descriptor = stream == StandardStream::Input    ? STDIN_FILENO
                         : stream == StandardStream::Output ? STDOUT_FILENO
                                                            : STDERR_FILENO;
  return isatty(descriptor) != 0;
}

void UseBinaryStandardStreams() {}

double MonotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::optional<long long> LastWriteSeconds(const std::filesystem::path& file) {
  struct stat status {};
  if (stat(file.c_str(), &status) != 0) return std::nullopt;
  return static_cast<long long>(status.st_mtime);
}

std::tm UtcCalendar(long long seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  gmtime_r(&time, &parts);
  return parts;
}

void RemoveOnInterrupt(const std::filesystem::path& file) {
  KeepOnInterrupt();
  const std::string& text = file.native();
  if (text.size() >= sizeof g_partialPath) return;  // left to the caller's own cleanup
  std::memcpy(g_partialPath, text.c_str(), text.size() + 1);
  struct sigaction action {};
  action.sa_handler = &RemovePartialAndDie;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &g_previous[i]);
  g_armed = 1;
}

void KeepOnInterrupt() {
  if (!g_armed) return;
  g_armed = 0;
  for (size_t i = 0; i < 3; ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
}

}  // namespace tool::host
