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

namespace app {

std::span<const char* const> PageClassNames() {
  static const char* const names[] = {
      TfrmFist::kClassName,         TfrmProtocol::kClassName,   TfrmSoftExplaion::kClassName,
      TfrmStartFolder::kClassName,  TfrmSelComponent::kClassName, TfrmSelectInstallDir::kClassName,
      TfrmAddonsTask::kClassName,   TfrmReadyIns::kClassName,   TfrmBeginIns::kClassName,
      TfrmEndIns::kClassName};
  return names;
}

void RegisterPageClasses() {
  wizard::RegisterForm<TfrmFist>();
  wizard::RegisterForm<TfrmProtocol>();
  wizard::RegisterForm<TfrmSoftExplaion>();
  wizard::RegisterForm<TfrmStartFolder>();
  wizard::RegisterForm<TfrmSelComponent>();
  wizard::RegisterForm<TfrmSelectInstallDir>();
  wizard::RegisterForm<TfrmAddonsTask>();
  wizard::RegisterForm<TfrmReadyIns>();
  wizard::RegisterForm<TfrmBeginIns>();
  wizard::RegisterForm<TfrmEndIns>();
}

void UnregisterPageClasses() {
  wizard::UnregisterForm<TfrmFist>();
  wizard::UnregisterForm<TfrmProtocol>();
  wizard::UnregisterForm<TfrmSoftExplaion>();
  wizard::UnregisterForm<TfrmStartFolder>();
  wizard::UnregisterForm<TfrmSelComponent>();
  wizard::UnregisterForm<TfrmSelectInstallDir>();
  wizard::UnregisterForm<TfrmAddonsTask>();
  wizard::UnregisterForm<TfrmReadyIns>();
  wizard::UnregisterForm<TfrmBeginIns>();
  wizard::UnregisterForm<TfrmEndIns>();
}

ScopedPageClasses::~ScopedPageClasses() {
  UnregisterPageClasses();
  sys::WizardTitle.clear();
  BackgroundMusicFile.clear();
}

}  // namespace app
