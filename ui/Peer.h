// The backend half of a control. A portable control owns its peer and tells it which part of
// its state changed; the peer reads the new state back from the control. Peers never change the
// control's state themselves: what a person does comes back through the control's own paths
// (Click(), Edit::TextTyped, Form::CloseByPerson), so both backends share one set of rules.
#pragma once

#include <cstdint>

namespace ui {

enum class Change {
  Bounds,     // position or size
  Visible,
  Enabled,
  Caption,
  Font,
  Color,
  Cursor,
  Parent,
  ZOrder,     // brought to the front
  Text,       // the whole text of an edit or memo
  LineAdded,  // a memo got one more line at its end (no full rewrite)
  Checked,
  ReadOnly,
  Range,      // min, max, position of a progress bar or gauge
  Picture,
  Style,      // border style, bevel, scroll bars, auto size, word wrap, stretch, colours of a bar
  Timer,      // interval or enabled state of a timer
  Paint,      // the form asks for its OnPaint
  Focus,      // the program gives the control the keyboard
};

class Peer {
 public:
  virtual ~Peer() = default;
  virtual void Changed(Change what) = 0;
};

// The extra peer services of a media player, which asks the device rather than holding state.
class MediaPeer : public Peer {
 public:
  virtual bool Open() = 0;
  virtual void Play() = 0;
  virtual int64_t Position() = 0;  // ms
  virtual int64_t Length() = 0;    // ms
};

}  // namespace ui
