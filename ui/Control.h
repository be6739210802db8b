// Control: the base of every widget. A control holds its whole state (bounds, texts, flags) and
// mirrors every change to its backend peer, so tests read exactly what a person would see.
//
// Geometry is in 96-DPI pixels relative to the parent's client area; only the win32 backend
// scales. A control's parent is its form, a Panel, or (for a page form embedded in a frame) a
// Panel of another form. Align Top stacks the control at the top of its parent's client area
// at its own height; Align Client fills what is left. Both follow the parent's size.
//
// Click() is the one path of a person's click: it fires OnClick only when the control and every
// parent up to the top-level form are enabled and visible, and the win32 peer calls this same
// Click() for BN_CLICKED and STN_CLICKED.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "ui/Peer.h"

namespace ui {

class Form;

enum class ControlKind { Form, Panel, Bevel, Label, Button, Edit, CheckBox, Memo, ProgressBar,
                         Gauge, Image, Timer, MediaPlayer, CheckListBox, BrowserPane, FolderTree };
enum class Align { None, Top, Client };
enum class Cursor { Default, HandPoint };

struct Font {
  std::string Name = "宋体";
  int Size = 9;         // points
  int Height = 0;       // pixels at 96 DPI; 0 = from Size
  bool Bold = false;
  bool Underline = false;
  uint32_t Color = 0;   // 0x00BBGGRR, like a COLORREF
  // The character height in 96-DPI pixels (9 points = 12 pixels).
  int PixelHeight() const { return Height > 0 ? Height : (Size * 96 + 36) / 72; }
};

inline constexpr uint32_t kClBlack = 0x000000;
inline constexpr uint32_t kClBlue = 0xFF0000;   // RGB(0, 0, 255)
inline constexpr uint32_t kClWhite = 0xFFFFFF;
// A system colour (COLOR_BTNFACE = 15) rather than an RGB value; the backend resolves it.
inline constexpr uint32_t kClBtnFace = 0xFF000000 | 15;
inline constexpr bool IsSystemColor(uint32_t color) { return (color & 0xFF000000) != 0; }

class Control {
 public:
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  Form& OwnerForm() { return *owner_; }
  const Form& OwnerForm() const { return *owner_; }
  Control* Parent() const { return parent_; }
  void SetParent(Control* parent);
  // Children in z-order, back to front (creation order until BringToFront moves one).
  const std::vector<Control*>& Children() const { return children_; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);
  // Position within the top-level form's client area.
  int FormLeft() const;
  int FormTop() const;

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Visible, and every parent up to the top-level form visible too.
  bool Showing() const;
  // Enabled, and every parent up to the top-level form enabled too.
  bool EnabledInTree() const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // Kept for the program (a link's address); never shown as a tooltip.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  Align GetAlign() const { return align_; }
  void SetAlign(Align align);
  const Font& GetFont() const { return font_; }
  // Change fields in place, then call FontChanged().
  Font& MutableFont() { return font_; }
  void FontChanged();
  void SetFont(const Font& font);
  uint32_t Color() const { return color_; }
  void SetColor(uint32_t color);
  Cursor GetCursor() const { return cursor_; }
  void SetCursor(Cursor cursor);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  void BringToFront();
  // Gives this control the keyboard, and its window the front when the install's own programs
  // took it; nothing when no person's action could reach the control now. The form remembers
  // the control (Form::FocusedControl).
  void SetFocus();

  std::function<void()> OnClick, OnMouseEnter, OnMouseLeave;
  virtual void Click();
  // The pointer entered or left the control (win32 peers report it; tests call it).
  void MouseEnter();
  void MouseLeave();

  // The client area children are laid out in (a bevelled panel keeps its edge).
  virtual int ClientInset() const { return 0; }
  virtual int ClientWidth() const { return width_; }
  virtual int ClientHeight() const { return height_; }

  Peer* GetPeer() const { return peer_.get(); }
  // Creates the backend peer; called once, after construction (Form::Add does it).
  void AttachPeer();

 protected:
  // owner is null only for a form, which owns itself.
  Control(Form* owner, std::string name, ControlKind kind);
  void Notify(Change what) {
    if (peer_) peer_->Changed(what);
  }
  void NotifyIf(bool changed, Change what) {
    if (changed) Notify(what);
  }
  // The shape of most setters: nothing when the value is unchanged, else store it and tell the
  // peer. Returns whether it changed.
  template <typename T>
  bool Assign(T& field, const std::type_identity_t<T>& value, Change what) {
    if (field == value) return false;
    field = value;
    Notify(what);
    return true;
  }
  // True when a person's action may reach this control now.
  bool CanAct() const { return Showing() && EnabledInTree(); }
  // Lets a control fit its size to its text (auto-size labels).
  virtual void AdjustSize() {}
  // Sets bounds without touching Align; re-lays out the children when the size changed.
  void PlaceAt(int left, int top, int width, int height);
  void RealignChildren();

 private:
  Form* owner_;
  std::string name_;
  ControlKind kind_;
  Control* parent_ = nullptr;
  std::vector<Control*> children_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  std::string hint_;
  Align align_ = Align::None;
  Font font_;
  uint32_t color_ = kClBtnFace;
  Cursor cursor_ = Cursor::Default;
  int tag_ = 0;
  std::unique_ptr<Peer> peer_;
};

}  // namespace ui
