#include "app/silent/SilentRun.h"

#include <memory>

#include "app/AnswersFile.h"
#include "app/uInstall.h"
#include "package/uSystem.h"
#include "system/Platform.h"
#include "system/RunLog.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/headless/Automation.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/WidgetAutomation.h"
#include "wizard/InstallForm.h"
#include "wizard/PageForm.h"
#include "wizard/PageRegistry.h"
#include "wizard/SetupForm.h"

namespace app {

namespace {

ui::ControlKind KindFor(ControlAnswer::Kind kind) {
  switch (kind) {
    case ControlAnswer::Kind::Check:
      return ui::ControlKind::CheckBox;
    case ControlAnswer::Kind::Text:
      return ui::ControlKind::Edit;
    case ControlAnswer::Kind::Marks:
      return ui::ControlKind::CheckListBox;
  }
  return ui::ControlKind::CheckBox;
}

const char* KindName(ControlAnswer::Kind kind) {
  switch (kind) {
    case ControlAnswer::Kind::Check:
      return "true/false, which only a check box takes";
    case ControlAnswer::Kind::Text:
      return "a text, which only an edit takes";
    case ControlAnswer::Kind::Marks:
      return "a list of marks, which only a check list takes";
  }
  return "";
}

bool CanPress(const ui::Button& button) { return button.Showing() && button.EnabledInTree(); }

}  // namespace

void CheckAnswers(const AnswersFile& answers) {
  ui::HeadlessBackend backend;
  for (const PageAnswers& page : answers.pages) {
    std::unique_ptr<wizard::PageForm> form = wizard::CreateRegisteredPage(page.page, backend);
    if (!form) throw AnswersError("unknown page \"" + page.page + "\"");
    for (const ControlAnswer& control : page.controls) {
      ui::Control* found = form->FindControl(control.control);
      if (!found) {
        throw AnswersError("unknown control \"" + control.control + "\" on page " + page.page);
      }
      if (found->Kind() != KindFor(control.kind)) {
        throw AnswersError("pages." + page.page + "." + control.control + " is " +
                           KindName(control.kind));
      }
    }
  }
  if (!answers.cancelOn.empty() && !wizard::IsPageClassRegistered(answers.cancelOn)) {
    throw AnswersError("unknown page \"" + answers.cancelOn + "\" in cancelOn");
  }
}

void PrepareSilentRun(TCompile& compile) {
  compile.Options.RunApp = 0;
  compile.Options.ShowReadme = 0;
}

void PresentSilently(TInstall& install, const AnswersFile& answers, sys::Platform& platform,
                     sys::RunLog& log) {
  ui::HeadlessBackend backend;
  SilentPerson person(answers, platform, log);
  backend.OnIdle = [&person](ui::Form& top) { return person.Act(top); };
  try {
    install.Present(backend);
  } catch (const ui::AutomationError& error) {
    // An answer no person could carry out there (a control hidden or disabled on its page).
    throw AnswersError(error.what());
  }
}

bool SilentPerson::Act(ui::Form& top) {
  if (auto* frame = dynamic_cast<TfrmParent*>(&top)) return ActOnFrame(*frame);
  auto* install = dynamic_cast<TfrmInstall*>(&top);
  if (install && install->Tag() == TfrmInstall::kCloseFailed) {
    ui::CloseForm(top);
    return true;
  }
  return false;
}

bool SilentPerson::ActOnFrame(TfrmParent& frame) {
  wizard::PageForm* page = frame.CurrentPage();
  const std::string spot = page ? page->ClassName() : std::string();
  if (page && pagesSet_.insert(spot).second) {
    const PageAnswers* answered = answers_.Page(spot);
    std::set<std::string> set;
    for (const ControlAnswer& control :
         answered ? answered->controls : std::vector<ControlAnswer>()) {
      set.insert(control.control);
      switch (control.kind) {
        case ControlAnswer::Kind::Check:
          ui::SetCheck(*page, control.control, control.checked);
          break;
        case ControlAnswer::Kind::Text:
          ui::TypeText(*page, control.control, platform_.FromUtf8(control.text));
          break;
        case ControlAnswer::Kind::Marks:
          for (size_t i = 0; i < control.marks.size(); ++i) {
            ui::SetItemCheck(*page, control.control, static_cast<int>(i), control.marks[i]);
          }
          break;
      }
      log_.Line("[answer] " + spot + "." + control.control);
    }
    if (page->Role() == wizard::PageForm::FrameRole::Finish) {
      // Nothing is opened after a silent install unless the answers ask for it.
      for (const char* box : {"CheckBox1", "CheckBox2"}) {
        auto* check = page->Find<ui::CheckBox>(box);
        if (check && check->Showing() && check->EnabledInTree() && !set.count(box))
          ui::SetCheck(*page, box, false);
      }
    }
    return true;
  }
  if (!spot.empty() && spot == answers_.cancelOn && cancelPressed_.insert(spot).second) {
    Press(frame, spot, "bCancel");
    return true;
  }
  if (CanPress(*frame.bNext)) {
    Press(frame, spot, "bNext");
    return true;
  }
  if (CanPress(*frame.bCancel) && cancelPressed_.insert(spot).second) {
    Press(frame, spot, "bCancel");
    return true;
  }
  return false;
}

void SilentPerson::Press(ui::Form& form, const std::string& spot, const std::string& button) {
  log_.Line("[page] " + spot + ": " + form.Find<ui::Button>(button)->Caption());
  ui::ClickButton(form, button);
}

}  // namespace app
