#include "tools/simulation/ScriptablePages.h"

#include "app/PageClasses.h"
#include "tools/host/ToolText.h"
#include "ui/headless/HeadlessBackend.h"
#include "wizard/PageRegistry.h"

namespace tool {
namespace {

// The page registry is process-wide: leave it as it was found.
class TemporaryPageClasses {
 public:
  TemporaryPageClasses() : registered_(!wizard::IsPageClassRegistered(app::PageClassNames()[0])) {
    if (registered_) app::RegisterPageClasses();
  }
  ~TemporaryPageClasses() {
    if (registered_) app::UnregisterPageClasses();
  }
  TemporaryPageClasses(const TemporaryPageClasses&) = delete;
  TemporaryPageClasses& operator=(const TemporaryPageClasses&) = delete;

 private:
  bool registered_;
};

std::vector<ScriptablePage> CollectPages() {
  std::vector<ScriptablePage> pages;
  ui::HeadlessBackend backend;
  TemporaryPageClasses classes;
  for (const char* className : app::PageClassNames()) {
    std::unique_ptr<wizard::PageForm> form = wizard::CreateRegisteredPage(className, backend);
    if (!form) continue;
    ScriptablePage page{className, GbkToUtf8Lossy(form->Caption()), {}};
    for (ui::Control* control : form->Controls()) {
      switch (control->Kind()) {
        case ui::ControlKind::CheckBox:
          page.controls.push_back({control->Name(), ScriptableKind::CheckBox});
          break;
        case ui::ControlKind::Edit:
          page.controls.push_back({control->Name(), ScriptableKind::Edit});
          break;
        case ui::ControlKind::CheckListBox:
          page.controls.push_back({control->Name(), ScriptableKind::CheckList});
          break;
        default:
          break;
      }
    }
    pages.push_back(std::move(page));
  }
  return pages;
}

}  // namespace

const std::vector<ScriptablePage>& ScriptablePages() {
  static const std::vector<ScriptablePage> pages = CollectPages();
  return pages;
}

const char* DescribeScriptableKind(ScriptableKind kind) {
  switch (kind) {
    case ScriptableKind::CheckBox: return "true or false (a check box)";
    case ScriptableKind::Edit: return "a text (an edit)";
    case ScriptableKind::CheckList: return "a list of true/false (the marks of a check list)";
  }
  return "";
}

}  // namespace tool
