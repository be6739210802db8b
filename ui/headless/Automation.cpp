#include "ui/headless/Automation.h"

#include "ui/headless/WidgetAutomation.h"

#include <algorithm>

#include "ui/Canvas.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Gauge.h"
#include "ui/Image.h"
#include "ui/Memo.h"
#include "ui/Picture.h"
#include "ui/ProgressBar.h"

namespace ui {

namespace {

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Form: return "Form";
    case ControlKind::Panel: return "Panel";
    case ControlKind::Bevel: return "Bevel";
    case ControlKind::Label: return "Label";
    case ControlKind::Button: return "Button";
    case ControlKind::Edit: return "Edit";
    case ControlKind::CheckBox: return "CheckBox";
    case ControlKind::Memo: return "Memo";
    case ControlKind::ProgressBar: return "ProgressBar";
    case ControlKind::Gauge: return "Gauge";
    case ControlKind::Image: return "Image";
    case ControlKind::Timer: return "Timer";
    case ControlKind::MediaPlayer: return "MediaPlayer";
    case ControlKind::CheckListBox: return "CheckListBox";
    case ControlKind::BrowserPane: return "BrowserPane";
    case ControlKind::FolderTree: return "FolderTree";
  }
  return "Control";
}

// Line breaks inside a caption would break the rendering's one-line-per-control shape.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  return line;
}

std::string Describe(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::Button:
      return "[" + control.Caption() + "]";
    case ControlKind::CheckBox:
      return std::string(static_cast<const CheckBox&>(control).Checked() ? "[x] " : "[ ] ") +
             control.Caption();
    case ControlKind::Edit:
      return "\"" + static_cast<const Edit&>(control).Text() + "\"";
    case ControlKind::ProgressBar: {
      auto& bar = static_cast<const ProgressBar&>(control);
      return std::to_string(bar.Position()) + "/" + std::to_string(bar.Max());
    }
    case ControlKind::Gauge: {
      auto& gauge = static_cast<const Gauge&>(control);
      return std::to_string(gauge.Progress()) + "/" + std::to_string(gauge.MaxValue()) + " " +
             std::to_string(gauge.PercentDone()) + "%";
    }
    case ControlKind::Image: {
      auto& image = static_cast<const Image&>(control);
      if (!image.HasPicture()) return "no picture";
      return image.PicturePath().empty() ? "picture stored with the form" : "picture " + image.PicturePath();
    }
    case ControlKind::CheckListBox:
    case ControlKind::BrowserPane:
    case ControlKind::FolderTree:
      return DescribeChoice(control);
    default:
      return control.Caption();
  }
}

// Controls worth a line: everything a person reads, not the bare containers and lines.
bool Renders(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::Timer:
    case ControlKind::MediaPlayer:
    case ControlKind::Bevel:
      return false;
    case ControlKind::Panel:
      return !control.Caption().empty();
    default:
      return true;
  }
}

struct Visit {
  std::vector<const Control*> controls;
  std::vector<const Form*> pages;
};

void Collect(const Control& container, Visit& visit) {
  const Control* frontPage = nullptr;
  for (const Control* child : container.Children()) {
    if (child->Visible() && child->Kind() == ControlKind::Form) frontPage = child;
  }
  for (const Control* child : container.Children()) {
    if (!child->Visible()) continue;
    if (child->Kind() == ControlKind::Form) {
      if (child != frontPage) continue;
      visit.pages.push_back(static_cast<const Form*>(child));
    } else if (Renders(*child)) {
      visit.controls.push_back(child);
    }
    Collect(*child, visit);
  }
}

std::string Where(Form& form, const std::string& name) {
  return form.ClassName() + ": " + name;
}

void CollectPages(Control& container, std::vector<Form*>& pages) {
  const auto& children = container.Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if ((*it)->Kind() == ControlKind::Form) pages.push_back(static_cast<Form*>(*it));
    CollectPages(**it, pages);
  }
}

Control* FindIn(Form& form, const std::string& name) {
  if (Control* control = form.FindControl(name)) return control;
  std::vector<Form*> pages;
  CollectPages(form, pages);
  for (Form* page : pages) {
    if (Control* control = page->FindControl(name)) return control;
  }
  return nullptr;
}

}  // namespace

Control& Reachable(Form& form, const std::string& name, ControlKind kind) {
  Control* control = FindIn(form, name);
  std::string problem;
  if (!control) {
    problem = "no control of that name";
  } else if (control->Kind() != kind) {
    problem = std::string("is a ") + KindName(control->Kind()) + ", not a " + KindName(kind);
  } else if (!control->Showing()) {
    problem = "is hidden";
  } else if (!control->EnabledInTree()) {
    problem = "is disabled";
  } else {
    return *control;
  }
  throw AutomationError(Where(form, name) + " " + problem + "\n" + RenderForm(form));
}

namespace {

class RecordingCanvas : public Canvas {
 public:
  void DrawPictureStretched(const Picture& picture) override {
    calls.push_back("DrawPictureStretched " + picture.Path());
  }
  std::vector<std::string> calls;
};

}  // namespace

std::string RenderForm(const Form& form) {
  Visit visit;
  Collect(form, visit);
  std::stable_sort(visit.controls.begin(), visit.controls.end(),
                   [](const Control* a, const Control* b) {
                     if (a->FormTop() != b->FormTop()) return a->FormTop() < b->FormTop();
                     return a->FormLeft() < b->FormLeft();
                   });
  std::string text = "[" + form.ClassName() + "] " + OneLine(form.Caption()) + "\n";
  for (const Form* page : visit.pages) {
    text += "page [" + page->ClassName() + "] " + OneLine(page->Caption()) + "\n";
  }
  for (const Control* control : visit.controls) {
    text += "  " + std::string(KindName(control->Kind())) + " " + control->Name() + ": " +
            OneLine(Describe(*control));
    if (!control->EnabledInTree()) text += " (disabled)";
    text += "\n";
    if (control->Kind() == ControlKind::Memo) {
      for (const std::string& line : static_cast<const Memo*>(control)->Lines()) {
        text += "    | " + line + "\n";
      }
    }
  }
  return text;
}

void ClickButton(Form& form, const std::string& name) {
  Reachable(form, name, ControlKind::Button).Click();
}

void TypeText(Form& form, const std::string& name, const std::string& text) {
  auto& edit = static_cast<Edit&>(Reachable(form, name, ControlKind::Edit));
  if (edit.ReadOnly()) {
    throw AutomationError(Where(form, name) + " is read-only\n" + RenderForm(form));
  }
  edit.TextTyped(text);
}

void SetCheck(Form& form, const std::string& name, bool checked) {
  auto& box = static_cast<CheckBox&>(Reachable(form, name, ControlKind::CheckBox));
  if (box.Checked() != checked) box.Click();
}

void CloseForm(Form& form) {
  if (!form.Showing()) {
    throw AutomationError(form.ClassName() + " is not shown, so it has no close box");
  }
  form.CloseByPerson();
}

Control& FindNamed(Form& form, const std::string& name) {
  Control* control = FindIn(form, name);
  if (!control) {
    throw AutomationError(Where(form, name) + " no control of that name\n" + RenderForm(form));
  }
  return *control;
}

std::vector<std::string> PaintForm(Form& form) {
  RecordingCanvas canvas;
  if (form.OnPaint) form.OnPaint(canvas);
  return canvas.calls;
}

}  // namespace ui
