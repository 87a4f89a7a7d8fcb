#include "platform/ui/form.h"

#include <algorithm>

#include "platform/object.h"
#include "platform/ui/event_boundary.h"
#include "platform/ui/service.h"

namespace ui {

Form::Form(std::string name) : Container(std::move(name)) { form_ = this; }

Form::~Form() {
  // Members (the controls) are gone by now; nothing may point at them.
  active_ = nullptr;
  controls_.clear();
}

void Form::Create() {
  if (created_) return;
  created_ = true;
  Form_Initialize();
}

void Form::EnsureLoaded() {
  if (loaded_ || !created_) return;
  // Marked first, so that Form_Load may use the controls; a failing
  // Form_Load leaves the form loaded as far as it got.
  loaded_ = true;
  Form_Load();
}

std::string Form::Caption() const {
  Touch();
  return caption_;
}

void Form::SetCaption(std::string caption) {
  Touch();
  caption_ = std::move(caption);
}

void Form::ShowModal() {
  Create();
  EnsureLoaded();
  if (shown_) rt::Raise(400, {}, "Formular wird bereits angezeigt; kann nicht modal angezeigt werden");
  shown_ = true;
  if (active_ == nullptr || !active_->TakesFocus() || !active_->Reachable()) active_ = TabNext(nullptr);
  // However the display ends (also by an exception), the form is no longer
  // shown afterwards.
  struct EndDisplay {
    bool& shown;
    ~EndDisplay() { shown = false; }
  } end{shown_};
  RunEvent(*this, "Activate", [this] { Form_Activate(); });
  if (shown_) CurrentService()->ShowModal(*this);
}

void Form::Hide() {
  Touch();
  shown_ = false;
}

Control* Form::TabNext(const Control* after) const {
  Touch();
  const size_t n = controls_.size();
  size_t start = 0;
  if (after != nullptr) {
    const auto it = std::find(controls_.begin(), controls_.end(), after);
    if (it != controls_.end()) start = static_cast<size_t>(it - controls_.begin()) + 1;
  }
  for (size_t k = 0; k < n; ++k) {
    Control* c = controls_[(start + k) % n];
    if (c != after && c->TakesFocus() && c->Reachable()) return c;
  }
  return nullptr;
}

Control* Form::ControlByName(std::string_view name) const {
  for (Control* c : controls_) {
    if (rt::NameEquals(c->Name(), name)) return c;
  }
  return nullptr;
}

void Form::RaiseControlNotFound(std::string_view name) {
  rt::Raise(730, {}, "Steuerelement '" + std::string(name) + "' nicht gefunden");
}

void Form::Register(Control* c) { controls_.push_back(c); }

void Form::Unregister(Control* c) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
  if (active_ == c) active_ = nullptr;
}

}  // namespace ui
