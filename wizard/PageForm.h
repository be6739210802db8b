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

namespace wizard {

class PageForm : public ui::Form {
 public:
  PageForm(ui::Backend& backend, std::string className) : ui::Form(backend, std::move(className)) {}

  void SetCompile(TCompile& compile);

  // What the page asks of the frame's buttons while it is the current page.
  enum class FrameRole {
    Ordinary,  // Next while a page follows, Previous after the first page
    Licence,   // Next reads "我同意(&T)": accepting is going on
    Progress,  // the install runs here, every button disabled until it ends (TfrmBeginIns only)
    Finish,    // only Finish is left
  };
  virtual FrameRole Role() const { return FrameRole::Ordinary; }

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

}  // namespace wizard
