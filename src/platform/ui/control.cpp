#include "platform/ui/control.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/ui/form.h"

namespace ui {

namespace {

// Later controls start in front of earlier ones; ZOrder moves a control
// beyond every stamp handed out so far.
int64_t& FrontStamp() {
  static int64_t stamp = 0;
  return stamp;
}
int64_t& BackStamp() {
  static int64_t stamp = 0;
  return stamp;
}

}  // namespace

void RaiseInvalidPropertyValue() { rt::RaiseRuntime(rt::errc::InvalidPropValue); }

void RaiseInvalidPropertyIndex() { rt::Raise(381, {}, "Index des Eigenschaftenfelds ungültig"); }

Control::Control(Container& parent, std::string name)
    : form_(parent.form_), name_(std::move(name)), parent_(&parent), z_(++FrontStamp()) {
  parent.children_.push_back(this);
  form_->Register(this);
}

Control::Control(std::string name) : name_(std::move(name)), z_(++FrontStamp()) {}

Control::~Control() {
  if (parent_ != nullptr) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  if (form_ != nullptr && form_ != this) form_->Unregister(this);
}

void Control::Touch() const {
  if (form_ != nullptr && !form_->Designing()) form_->EnsureLoaded();
}

bool Control::Live() const { return form_ != nullptr && !form_->Designing(); }

void Control::Changed() {
  if (form_ != nullptr && form_->display_ != nullptr) form_->display_->Changed(*this);
}

bool Control::Enabled() const {
  Touch();
  return enabled_;
}

void Control::SetEnabled(bool enabled) {
  Touch();
  enabled_ = enabled;
  Changed();
}

bool Control::Visible() const {
  Touch();
  return visible_;
}

void Control::SetVisible(bool visible) {
  Touch();
  visible_ = visible;
  Changed();
}

const std::string& Control::ToolTipText() const {
  Touch();
  return toolTip_;
}

void Control::SetToolTipText(std::string text) {
  Touch();
  toolTip_ = std::move(text);
  Changed();
}

bool Control::Reachable() const {
  Touch();
  for (const Control* c = this; c != nullptr && c != form_; c = c->parent_) {
    if (!c->enabled_ || !c->visible_) return false;
  }
  return true;
}

void Control::SetFocus() {
  Touch();
  if (!TakesFocus() || !Reachable()) return;
  form_->SetActive(this);
}

bool Control::HasFocus() const { return form_ != nullptr && form_->ActiveControl() == this; }

void Control::ZOrder(int position) {
  Touch();
  if (position == 0) {
    z_ = ++FrontStamp();
  } else {
    z_ = --BackStamp();
  }
  Changed();
}

bool Control::InFrontOf(const Control& other) const { return z_ > other.z_; }

}  // namespace ui
