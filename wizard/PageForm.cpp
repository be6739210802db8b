#include "wizard/PageForm.h"

#include "package/uSystem.h"

namespace wizard {

void PageForm::SetCompile(TCompile& compile) {
  if (compile_ == nullptr) {
    compile_ = &compile;
    LoadSettings();
  }
  Assigned();
}

std::vector<TCompileData*> PageForm::GroupItems(uint8_t group) const {
  std::vector<TCompileData*> items;
  compile_->GetGroupItems(group, items);
  return items;
}

}  // namespace wizard
