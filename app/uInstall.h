// TInstall: one setup run. It owns the project object of the process; Execute loads the
// package from the program's own file, names the run (WizardTitle), unpacks the page resources
// (with or without the loading window) and opens exactly one modal window: the no-options
// install window, the background window or the wizard frame. Whatever is installed is installed
// from inside those windows. Freeing a TInstall deletes the run's temporary files.
//
// Errors of loading and unpacking (a damaged package) leave Execute; errors inside the windows
// go to the window layer's reporter.
#pragma once

#include <memory>
#include <string>

class TCompile;
struct TCompileData;

namespace sys {
class Platform;
}
namespace ui {
class Backend;
}

class TInstall {
 public:
  explicit TInstall(sys::Platform& platform);
  ~TInstall();
  TInstall(const TInstall&) = delete;
  TInstall& operator=(const TInstall&) = delete;

  // The windows are created on backend, shown modally one after the other and freed.
  void Execute(ui::Backend& backend);
  // Execute in two halves, for the program body to act between them (the one-run guard needs
  // the product's name): loading the package and naming the run, then everything else.
  void Load();
  void Present(ui::Backend& backend);
  // The first basic setting (group 0) with that caption, ignoring ASCII case; nullptr when
  // there is none. Page attributes are never returned.
  const TCompileData* FindBasicSetting(const std::string& caption) const;

  TCompile& Compile() { return *compile_; }

 private:
  void ExtractResources(ui::Backend& backend);
  void ShowWizard(ui::Backend& backend);

  std::unique_ptr<TCompile> compile_;
};
