#include "platform/ui/check_box.h"

namespace ui {

int16_t CheckBox::Value() const {
  Touch();
  return value_;
}

void CheckBox::SetValue(int16_t value) {
  Touch();
  if (value < Unchecked || value > Grayed) RaiseInvalidPropertyValue();
  if (value == value_) return;
  value_ = value;
  Changed();
  Raise(OnClick);
}

const std::string& CheckBox::Caption() const {
  Touch();
  return caption_;
}

void CheckBox::SetCaption(std::string caption) {
  Touch();
  caption_ = std::move(caption);
  Changed();
}

}  // namespace ui
