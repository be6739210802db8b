#include "app/PageClasses.h"

#include "system/SystemHelpers.h"
#include "wizard/AddonsTaskForm.h"
#include "wizard/BeginInsForm.h"
#include "wizard/EndInsForm.h"
#include "wizard/FistForm.h"
#include "wizard/PageRegistry.h"
#include "wizard/ProtocolForm.h"
#include "wizard/ReadyInsForm.h"
#include "wizard/SelComponentForm.h"
#include "wizard/SelectInstallDirForm.h"
#include "wizard/SetupForm.h"
#include "wizard/SoftExplaionForm.h"
#include "wizard/StartFolderForm.h"

std::span<const char* const> PageClassNames() {
  static const char* const names[] = {
      TfrmFist::kClassName,         TfrmProtocol::kClassName,   TfrmSoftExplaion::kClassName,
      TfrmStartFolder::kClassName,  TfrmSelComponent::kClassName, TfrmSelectInstallDir::kClassName,
      TfrmAddonsTask::kClassName,   TfrmReadyIns::kClassName,   TfrmBeginIns::kClassName,
      TfrmEndIns::kClassName};
  return names;
}

void RegisterPageClasses() {
  RegisterForm<TfrmFist>();
  RegisterForm<TfrmProtocol>();
  RegisterForm<TfrmSoftExplaion>();
  RegisterForm<TfrmStartFolder>();
  RegisterForm<TfrmSelComponent>();
  RegisterForm<TfrmSelectInstallDir>();
  RegisterForm<TfrmAddonsTask>();
  RegisterForm<TfrmReadyIns>();
  RegisterForm<TfrmBeginIns>();
  RegisterForm<TfrmEndIns>();
}

void UnregisterPageClasses() {
  UnregisterForm<TfrmFist>();
  UnregisterForm<TfrmProtocol>();
  UnregisterForm<TfrmSoftExplaion>();
  UnregisterForm<TfrmStartFolder>();
  UnregisterForm<TfrmSelComponent>();
  UnregisterForm<TfrmSelectInstallDir>();
  UnregisterForm<TfrmAddonsTask>();
  UnregisterForm<TfrmReadyIns>();
  UnregisterForm<TfrmBeginIns>();
  UnregisterForm<TfrmEndIns>();
}

ScopedPageClasses::~ScopedPageClasses() {
  UnregisterPageClasses();
  sys::WizardTitle.clear();
  BackgroundMusicFile.clear();
}
