#include "app/uInstall.h"

#include "engine/InstallRun.h"
#include "package/Options.h"
#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"
#include "wizard/BackInsForm.h"
#include "wizard/InitInsForm.h"
#include "wizard/InstallForm.h"
#include "wizard/SetupForm.h"

TInstall::TInstall(sys::Platform& platform)
    : compile_(std::make_unique<TCompile>(platform, &engine::RunInstall)) {}

TInstall::~TInstall() { compile_->ClearTempFiles(); }

const TCompileData* TInstall::FindBasicSetting(const std::string& caption) const {
  return ::FindBasicSetting(*compile_, caption);
}

void TInstall::Execute(ui::Backend& backend) {
  Load();
  Present(backend);
}

void TInstall::Load() {
  compile_->LoadPackage(compile_->platform().ExePath());
  sys::WizardTitle = "“" + compile_->ItemName + "”安装向导";
}

void TInstall::Present(ui::Backend& backend) {
  sys::Platform& platform = compile_->platform();
  ExtractResources(backend);

  if (compile_->Options.ShowWizard == 0 || compile_->Patched) {
    TfrmInstall window(backend);
    window.SetCompile(*compile_);
    window.ShowModal();
    return;
  }
  const TCompileData* music = FindBasicSetting(package::kCaptionBackMusic);
  if (music && !music->Value.empty() && platform.FileExists(music->Value)) {
    BackgroundMusicFile = music->Value;
  }
  ShowWizard(backend);
}

void TInstall::ExtractResources(ui::Backend& backend) {
  const TCompileData* loading = FindBasicSetting(package::kCaptionShowLoading);
  if (!loading) return;
  if (loading->Value == package::kSwitchOn) {
    TfrmInitIns window(backend);
    window.SetCompile(*compile_);
    window.ShowModal();
    if (window.Failure()) std::rethrow_exception(window.Failure());
    return;
  }
  sys::Platform& platform = compile_->platform();
  std::unique_ptr<sys::Stream> self = compile_->OpenPackageFile(platform.ExePath());
  compile_->ExtractResources(*self);
}

void TInstall::ShowWizard(ui::Backend& backend) {
  const TCompileData* background = FindBasicSetting(package::kCaptionShowBackground);
  if (!background) return;
  if (background->Value == package::kSwitchOn) {
    TfrmBackIns window(backend);
    window.SetCompile(*compile_);
    window.ShowModal();
  } else {
    TfrmParent frame(backend);
    frame.SetCompile(*compile_);
    frame.ShowModal();
  }
}
