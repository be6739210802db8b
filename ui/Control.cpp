#include "ui/Control.h"

#include <algorithm>
#include <utility>

#include "ui/Backend.h"
#include "ui/Form.h"

namespace ui {

Control::Control(Form* owner, std::string name, ControlKind kind)
    : owner_(owner), name_(std::move(name)), kind_(kind) {}

Control::~Control() {
  // The peer goes first: its window must not outlive the state it mirrors.
  peer_.reset();
  for (Control* child : children_) child->parent_ = nullptr;
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

void Control::AttachPeer() {
  if (!peer_) peer_ = owner_->GetBackend().CreatePeer(*this);
}

void Control::SetParent(Control* parent) {
  if (parent == parent_) return;
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_->RealignChildren();
  }
  parent_ = parent;
  if (parent_) parent_->children_.push_back(this);
  Notify(Change::Parent);
  if (parent_) parent_->RealignChildren();
}

void Control::SetBounds(int left, int top, int width, int height) {
  PlaceAt(left, top, width, height);
  AdjustSize();
  if (parent_ && align_ != Align::None) parent_->RealignChildren();
}

void Control::PlaceAt(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Notify(Change::Bounds);
  if (resized) RealignChildren();
}

void Control::RealignChildren() {
  int inset = ClientInset();
  int width = ClientWidth() - 2 * inset;
  int top = inset;
  int bottom = ClientHeight() - inset;
  // Hidden children are placed too, so a page is laid out before it is first shown; only a
  // visible top-aligned child takes room from the others.
  for (Control* child : children_) {
    if (child->align_ != Align::Top) continue;
    child->PlaceAt(inset, top, width, child->height_);
    if (child->visible_) top += child->height_;
  }
  for (Control* child : children_) {
    if (child->align_ != Align::Client) continue;
    child->PlaceAt(inset, top, width, std::max(0, bottom - top));
  }
}

int Control::FormLeft() const {
  int left = 0;
  for (const Control* c = this; c->parent_; c = c->parent_) left += c->left_;
  return left;
}

int Control::FormTop() const {
  int top = 0;
  for (const Control* c = this; c->parent_; c = c->parent_) top += c->top_;
  return top;
}

void Control::SetVisible(bool visible) {
  if (!Assign(visible_, visible, Change::Visible)) return;
  if (parent_ && align_ != Align::None) parent_->RealignChildren();
}

void Control::SetEnabled(bool enabled) { Assign(enabled_, enabled, Change::Enabled); }

bool Control::Showing() const {
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

bool Control::EnabledInTree() const {
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

void Control::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  AdjustSize();
  Notify(Change::Caption);
}

void Control::SetAlign(Align align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->RealignChildren();
}

void Control::FontChanged() {
  AdjustSize();
  Notify(Change::Font);
}

void Control::SetFont(const Font& font) {
  font_ = font;
  FontChanged();
}

void Control::SetColor(uint32_t color) { Assign(color_, color, Change::Color); }

void Control::SetCursor(Cursor cursor) { Assign(cursor_, cursor, Change::Cursor); }

void Control::BringToFront() {
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    siblings.push_back(this);
  }
  Notify(Change::ZOrder);
}

void Control::SetFocus() {
  if (!CanAct()) return;
  if (owner_) owner_->focused_ = this;
  Notify(Change::Focus);
}

void Control::Click() {
  if (!CanAct()) return;
  Dispatch([this] {
    if (OnClick) OnClick();
  });
}

void Control::MouseEnter() {
  Dispatch([this] {
    if (OnMouseEnter) OnMouseEnter();
  });
}

void Control::MouseLeave() {
  Dispatch([this] {
    if (OnMouseLeave) OnMouseLeave();
  });
}

}  // namespace ui
