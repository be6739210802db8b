// What a setup run does after Install has returned, shared by the windows that install (the
// wizard's finish page and frame, the no-options install window) and by the tools that
// simulate them: opening the chosen files, the restart question, and deleting the unpacked
// page resources however the run ends. The helpers act on the current platform.
#pragma once

#include <string>

class TCompile;
namespace sys {
class Platform;
}

// ShellExecute "Open" of path, its folder (up to and including the last "\") as the working
// folder, shown normal; the result is ignored.
void OpenFile(const std::string& path);
// The shutdown privilege on the NT family, then ExitWindowsEx with EWX_REBOOT.
void RestartSystem();

namespace engine {

// AppFile when RunApp is set, then ReadmeFile when ShowReadme is set. An elevated copy whose
// unelevated parent waits hands them back to it (Platform::HandBack), so that they open as the
// person and not as administrator; without one it opens them itself.
void OpenChosenFiles(const TCompile& compile);
// The parent's side: opens what the elevated copy handed back, each as OpenFile does.
void OpenHandedBackFiles(sys::Platform& platform);
// When RebootText is exactly "启用": asks whether to restart and restarts on Yes.
void OfferRestart(const TCompile& compile);

// Deletes the run's temporary files when it goes, as the end of the setup run does.
class ScopedTempFiles {
 public:
  explicit ScopedTempFiles(TCompile& compile) : compile_(compile) {}
  ~ScopedTempFiles();
  ScopedTempFiles(const ScopedTempFiles&) = delete;
  ScopedTempFiles& operator=(const ScopedTempFiles&) = delete;

 private:
  TCompile& compile_;
};

}  // namespace engine
