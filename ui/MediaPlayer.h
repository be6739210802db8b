// MediaPlayer: plays one sound file through the system's media device. Non-visual. Open() is
// false when the file cannot be opened (a missing file, an unknown format, no device); Play,
// Position and Length then do nothing and answer 0. Position() equals Length() once the piece
// has ended.
#pragma once

#include <cstdint>

#include "ui/Form.h"

namespace ui {

class MediaPlayer : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::MediaPlayer;
  MediaPlayer(Form& owner, const std::string& name) : Control(&owner, name, kKind) {}

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& fileName) { fileName_ = fileName; }
  bool Open();
  void Play();
  int64_t Position();  // ms
  int64_t Length();    // ms

 private:
  MediaPeer* Media();

  std::string fileName_;
};

}  // namespace ui
