// The Windows side, on the C runtime's wide-character calls: no <windows.h> is needed here.
#include "tools/host/HostSystem.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <cwchar>
#include <string>

namespace tool::host {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGBREAK};

// What the handler may touch: a fixed buffer and a flag.
wchar_t g_partialPath[4096];
volatile std::sig_atomic_t g_armed = 0;
void (*g_previous[3])(int);

void RemovePartialAndDie(int signal) {
  if (g_armed) _wremove(g_partialPath);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
  // The C runtime of old Windows knows no "x": the exclusive create goes through _wopen.
  if (std::strchr(mode, 'x')) {
    const int descriptor = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                                  _S_IREAD | _S_IWRITE);
    return descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
  }
  const std::wstring wideMode(mode, mode + std::strlen(mode));
  return _wfopen(path.c_str(), wideMode.c_str());
}

bool SeekFile(std::FILE* file, int64_t offset, int origin) {
  return _fseeki64(file, offset, origin) == 0;
}

int64_t TellFile(std::FILE* file) { return _ftelli64(file); }

bool IsTerminal(StandardStream stream) {
  std::FILE* file = stream == StandardStream::Input    ? stdin
                    : stream == StandardStream::Output ? stdout
                                                       : stderr;
  return _isatty(_fileno(file)) != 0;
}

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

double MonotonicSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::optional<long long> LastWriteSeconds(const std::filesystem::path& file) {
  struct _stat64 status {};
  if (_wstat64(file.c_str(), &status) != 0) return std::nullopt;
  return static_cast<long long>(status.st_mtime);
}

std::tm UtcCalendar(long long seconds) {
  const __time64_t time = seconds;
  std::tm parts{};
  _gmtime64_s(&parts, &time);
  return parts;
}

void RemoveOnInterrupt(const std::filesystem::path& file) {
  KeepOnInterrupt();
  const std::wstring& text = file.native();
  if (text.size() >= std::size(g_partialPath)) return;
  std::wmemcpy(g_partialPath, text.c_str(), text.size() + 1);
  for (size_t i = 0; i < 3; ++i) g_previous[i] = std::signal(kSignals[i], &RemovePartialAndDie);
  g_armed = 1;
}

void KeepOnInterrupt() {
  if (!g_armed) return;
  g_armed = 0;
  for (size_t i = 0; i < 3; ++i) std::signal(kSignals[i], g_previous[i]);
}

}  // namespace tool::host
