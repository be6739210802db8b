#include "app/PageClasses.h"

#include "system/SystemHelpers.h"
#include "wizard/AddonsTaskForm.h"
#include "wizard/BeginInsForm.h"
#include "wizard/EndInsForm.h"
#include "wizard/PageRegistry.h"
#include "wizard/ReadyInsForm.h"
#include "wizard/SetupForm.h"

void RegisterPageClasses() {
  RegisterForm<TfrmAddonsTask>();
  RegisterForm<TfrmReadyIns>();
  RegisterForm<TfrmBeginIns>();
  RegisterForm<TfrmEndIns>();
}

void UnregisterPageClasses() {
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
