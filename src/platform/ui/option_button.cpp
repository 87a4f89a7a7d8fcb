#include "platform/ui/option_button.h"

namespace ui {

bool OptionButton::Value() const {
  Touch();
  return value_;
}

void OptionButton::SetValue(bool value) {
  Touch();
  if (!value) {
    value_ = false;
    Changed();
    return;
  }
  if (value_) return;
  for (Control* sibling : Parent()->Children()) {
    auto* option = dynamic_cast<OptionButton*>(sibling);
    if (option != nullptr && option != this && option->value_) {
      option->value_ = false;
      option->Changed();
    }
  }
  value_ = true;
  Changed();
  Raise(OnClick);
}

const std::string& OptionButton::Caption() const {
  Touch();
  return caption_;
}

void OptionButton::SetCaption(std::string caption) {
  Touch();
  caption_ = std::move(caption);
  Changed();
}

}  // namespace ui
