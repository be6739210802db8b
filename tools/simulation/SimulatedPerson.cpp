#include "tools/simulation/SimulatedPerson.h"

#include "system/sandbox/Encoding.h"
#include "tools/host/ToolText.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/headless/Automation.h"
#include "ui/headless/WidgetAutomation.h"
#include "wizard/InstallForm.h"
#include "wizard/PageForm.h"
#include "wizard/SetupForm.h"

namespace tool {
namespace {

bool CanPress(const ui::Button& button) { return button.Showing() && button.EnabledInTree(); }

}  // namespace

bool SimulatedPerson::Act(ui::Form& top) {
  if (auto* frame = dynamic_cast<TfrmParent*>(&top)) return ActOnFrame(*frame);
  auto* install = dynamic_cast<TfrmInstall*>(&top);
  if (install && install->Tag() == TfrmInstall::kCloseFailed) {
    out_ << "> close the window\n";
    ui::CloseForm(top);
    return true;
  }
  return false;
}

bool SimulatedPerson::ActOnFrame(TfrmParent& frame) {
  wizard::PageForm* page = frame.CurrentPage();
  const std::string spot = page ? page->ClassName() : std::string();
  if (page && pagesSet_.insert(spot).second) {
    auto scripted = script_.pages.find(spot);
    if (scripted != script_.pages.end()) {
      for (const ControlSetting& setting : scripted->second) {
        if (setting.value.is_array()) {
          for (size_t i = 0; i < setting.value.size(); ++i) {
            bool checked = setting.value[i].get<bool>();
            out_ << "> " << spot << ": " << (checked ? "tick " : "untick ") << setting.control
                 << " item " << i << "\n";
            ui::SetItemCheck(*page, setting.control, static_cast<int>(i), checked);
          }
        } else if (setting.value.is_boolean()) {
          bool checked = setting.value.get<bool>();
          out_ << "> " << spot << ": " << (checked ? "tick " : "untick ") << setting.control
               << "\n";
          ui::SetCheck(*page, setting.control, checked);
        } else {
          std::string text = setting.value.get<std::string>();
          out_ << "> " << spot << ": type \"" << text << "\" into " << setting.control << "\n";
          ui::TypeText(*page, setting.control, sys::sandbox::Utf8ToGbk(text));
        }
      }
      return true;
    }
  }
  if (!spot.empty() && spot == script_.cancelOn && cancelPressed_.insert(spot).second) {
    Press(frame, "bCancel");
    return true;
  }
  if (CanPress(*frame.bNext)) {
    Press(frame, "bNext");
    return true;
  }
  if (CanPress(*frame.bCancel) && cancelPressed_.insert(spot).second) {
    Press(frame, "bCancel");
    return true;
  }
  return false;
}

void SimulatedPerson::Press(ui::Form& form, const std::string& button) {
  auto* control = form.Find<ui::Button>(button);
  out_ << "> press " << GbkToUtf8Lossy(control ? control->Caption() : button) << "\n";
  ui::ClickButton(form, button);
}

}  // namespace tool
