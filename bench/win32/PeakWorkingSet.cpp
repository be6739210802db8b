// peak-ws.exe COMMAND LINE...: runs the command line, prints "peak working set: N bytes" of the
// process it started and ends with its exit code. The figure is the PeakWorkingSetSize of
// GetProcessMemoryInfo, read every 10 ms while the process runs and once more when it has
// ended (Wine may no longer answer then; the last answer while it ran stands). A peak only
// grows, so at most the last 10 ms can go unseen.
#include <cstdio>

#include <windows.h>
#include <psapi.h>

namespace {

// The command line after this program's own name (quoted or not).
const wchar_t* CommandAfterOwnName() {
  const wchar_t* at = GetCommandLineW();
  if (*at == L'"') {
    for (++at; *at && *at != L'"'; ++at) {}
    if (*at) ++at;
  } else {
    while (*at && *at != L' ' && *at != L'\t') ++at;
  }
  while (*at == L' ' || *at == L'\t') ++at;
  return at;
}

}  // namespace

int main() {
  wchar_t command[32768];
  lstrcpynW(command, CommandAfterOwnName(), 32768);
  if (!*command) {
    std::fprintf(stderr, "usage: peak-ws PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "peak-ws: cannot start the program (error %lu)\n", GetLastError());
    return 2;
  }
  SIZE_T peak = 0;
  bool ended = false;
  while (!ended) {
    ended = WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) &&
        counters.PeakWorkingSetSize > peak) {
      peak = counters.PeakWorkingSetSize;
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("peak working set: %llu bytes\n", static_cast<unsigned long long>(peak));
  return static_cast<int>(code);
}
