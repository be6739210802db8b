// The wizard fixture with the welcome, licence, readme, start-menu, component and
// install-folder pages registered under their own classes, and a person for the browse dialog.
#pragma once

#include <functional>
#include <string>

#include "tests/wizard/WizardFixture.h"
#include "wizard/FistForm.h"
#include "wizard/ProtocolForm.h"
#include "wizard/SelComponentForm.h"
#include "wizard/SelectInstallDirForm.h"
#include "wizard/SoftExplaionForm.h"
#include "wizard/StartFolderForm.h"
#include "wizard/StartFolderInfoForm.h"

namespace wizardtest {

class PageTest : public WizardTest {
 protected:
  PageTest() {
    wizard::RegisterForm<TfrmFist>();
    wizard::RegisterForm<TfrmProtocol>();
    wizard::RegisterForm<TfrmSoftExplaion>();
    wizard::RegisterForm<TfrmStartFolder>();
    wizard::RegisterForm<TfrmSelComponent>();
    wizard::RegisterForm<TfrmSelectInstallDir>();
  }

  // Runs act once on the browse dialog when it waits for the person; the dialog it saw stays
  // readable in dialogRoot / dialogKind / dialogValue.
  void OnBrowseDialog(std::function<void(TfrmStartFolderInfo&)> act) {
    backend.OnIdle = [this, act](ui::Form& top) {
      auto* dialog = dynamic_cast<TfrmStartFolderInfo*>(&top);
      if (!dialog || dialogSeen) return false;
      dialogSeen = true;
      dialogRoot = dialog->Root();
      dialogKind = dialog->GetKind();
      dialogValue = dialog->Value();
      act(*dialog);
      return true;
    };
  }

  bool dialogSeen = false;
  std::string dialogRoot;
  TStartFolderKindEnum dialogKind = tfkStart;
  std::string dialogValue;
};

}  // namespace wizardtest
