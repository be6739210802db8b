// What every wizard page offers the frame: the published property Compile. Its first
// assignment stores the project object and runs the page's LoadSettings; every assignment
// then calls Assigned, which does nothing except on the ready page (it rebuilds its summary).
// The page borrows the project object; TInstall owns it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Form.h"

class TCompile;
struct TCompileData;

namespace ui {
class Image;
class Label;
}  // namespace ui

class PageForm : public ui::Form {
 public:
  PageForm(ui::Backend& backend, std::string className) : ui::Form(backend, std::move(className)) {}

  void SetCompile(TCompile& compile);

 protected:
  // Reads the page's settings group and fills its controls; runs once.
  virtual void LoadSettings() = 0;
  // Every assignment, after LoadSettings on the first.
  virtual void Assigned() {}

  TCompile& compile() const { return *compile_; }
  // False until the frame first makes the page current.
  bool CompileAssigned() const { return compile_ != nullptr; }
  // The settings of the page's group, in list order.
  std::vector<TCompileData*> GroupItems(uint8_t group) const;

 private:
  TCompile* compile_ = nullptr;
};

// The page's header picture: aligned to the top, 57 pixels high. A missing or unreadable
// picture file leaves it empty (Image::LoadFromFile never throws).
ui::Image* AddHeaderImage(ui::Form& form, const std::string& name);
// The header texts drawn over that picture: black, transparent, the title bold.
ui::Label* AddHeaderLabel(ui::Form& form, const std::string& name, int left, int top,
                          const std::string& caption, bool bold);
