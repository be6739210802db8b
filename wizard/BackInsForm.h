// The background window: covers the desktop work area with the project's background picture
// (drawn stretched) and, a tenth of a second after it opens, shows the wizard frame modally in
// front of itself; it closes when the frame has closed.
#pragma once

#include <memory>

#include "ui/Form.h"

class TCompile;

namespace ui {
class Picture;
class Timer;
}  // namespace ui

class TfrmBackIns : public ui::Form {
 public:
  static constexpr const char* kClassName = "TfrmBackIns";
  explicit TfrmBackIns(ui::Backend& backend);
  ~TfrmBackIns() override;

  void SetCompile(TCompile& compile);

  ui::Timer* Timer;

  void FormShow();
  void FormPaint(ui::Canvas& canvas);
  void TimerTimer();
  bool HasPicture() const { return picture_ != nullptr; }

 private:
  TCompile* compile_ = nullptr;
  std::unique_ptr<ui::Picture> picture_;
};
