#include "ui/headless/WidgetAutomation.h"

#include <vector>

#include "system/Gbk.h"
#include "ui/headless/Utf8Line.h"
#include "ui/BrowserPane.h"
#include "ui/CheckListBox.h"
#include "ui/FolderTree.h"
#include "ui/headless/Automation.h"

namespace ui {

namespace {

std::string Where(Form& form, const std::string& name) { return form.ClassName() + ": " + name; }

// Path without trailing backslashes (a drive root keeps its own).
std::string Trimmed(std::string path) {
  while (path.size() > 3 && path.back() == '\\' && sys::IsCharStart(path, path.size() - 1)) {
    path.pop_back();
  }
  return path;
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

// The names below root that lead to path, or false when path is not inside root.
bool Steps(const std::string& root, const std::string& path, std::vector<std::string>& steps) {
  std::string base = Trimmed(root);
  std::string target = Trimmed(path);
  if (sys::SameText(base, target)) return true;
  std::string prefix = base.back() == '\\' ? base : base + "\\";
  if (target.size() <= prefix.size() || !sys::SameText(target.substr(0, prefix.size()), prefix)) {
    return false;
  }
  std::string rest = target.substr(prefix.size());
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    steps.push_back(rest.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

}  // namespace

void ClickCheckItem(Form& form, const std::string& name, int index) {
  auto& box = static_cast<CheckListBox&>(Reachable(form, name, ControlKind::CheckListBox));
  if (index < 0 || index >= box.Count()) {
    throw AutomationError(Where(form, name) + " has no item " + std::to_string(index) + "\n" +
                          RenderForm(form));
  }
  box.ClickCheck(index);
}

void SetItemCheck(Form& form, const std::string& name, int index, bool checked) {
  auto& box = static_cast<CheckListBox&>(Reachable(form, name, ControlKind::CheckListBox));
  if (index >= 0 && index < box.Count() && box.Checked(index) == checked) return;
  ClickCheckItem(form, name, index);
}

void SelectFolder(Form& form, const std::string& treeName, const std::string& path) {
  auto& tree = static_cast<FolderTree&>(Reachable(form, treeName, ControlKind::FolderTree));
  std::string folder = Trimmed(tree.RootFolder());
  std::vector<std::string> steps;
  // The desktop holds the computer and its drives too, so from the desktop every folder of
  // every drive can be reached.
  if (tree.Root().empty() && !Steps(folder, path, steps) && path.size() >= 2 && path[1] == ':') {
    folder = sys::AsciiUpper(path.substr(0, 2)) + "\\";
  }
  steps.clear();
  if (!Steps(folder, path, steps)) {
    throw AutomationError(Where(form, treeName) + " shows no folder " + path + " below " + folder +
                          "\n" + RenderForm(form));
  }
  for (const std::string& step : steps) {
    std::string found;
    for (const std::string& child : tree.Subfolders(folder)) {
      if (sys::SameText(child, step)) found = child;
    }
    if (found.empty()) {
      throw AutomationError(Where(form, treeName) + " has no folder " + step + " in " + folder +
                            "\n" + RenderForm(form));
    }
    folder = Join(folder, found);
  }
  tree.SelectByPerson(FolderTree::DisplayNameOf(folder), folder);
}

void PressKey(Form& form, int key) {
  if (!form.Showing()) {
    throw AutomationError(form.ClassName() + " is not shown, so it takes no key");
  }
  form.KeyDown(key);
}

void PageDown(Form& form, const std::string& paneName) {
  static_cast<BrowserPane&>(Reachable(form, paneName, ControlKind::BrowserPane)).PageDown();
}

std::string DescribeChoice(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::CheckListBox: {
      std::string text;
      for (const auto& item : static_cast<const CheckListBox&>(control).Items()) {
        if (!text.empty()) text += "; ";
        text += (item.checked ? "[x] " : "[ ] ") + item.caption;
      }
      return text;
    }
    case ControlKind::BrowserPane: {
      auto& pane = static_cast<const BrowserPane&>(control);
      if (pane.Lines().empty())
        return pane.Location().empty() ? "empty" : pane.Location() + " (empty)";
      std::string line = pane.Lines()[static_cast<size_t>(pane.TopLine())];
      if (pane.Utf8()) {
        try {
          line = Utf8LineToGbk(line);
        } catch (const std::exception&) {
          line = "(not UTF-8)";
        }
      }
      return pane.Location() + ": " + line + " ...";
    }
    case ControlKind::FolderTree: {
      auto& tree = static_cast<const FolderTree&>(control);
      std::string text = "root " + (tree.Root().empty() ? std::string("(desktop)") : tree.Root());
      if (tree.HasSelection()) text += ", selected " + tree.SelectedPath();
      return text;
    }
    default:
      return control.Caption();
  }
}

}  // namespace ui
