#include "platform/ui/date_picker.h"

namespace ui {

std::optional<rt::Date> DatePicker::Value() const {
  Touch();
  return value_;
}

rt::Variant DatePicker::ValueVariant() const {
  Touch();
  if (!value_) return rt::Variant::Null();
  return rt::Variant(*value_);
}

void DatePicker::SetValue(std::optional<rt::Date> value) {
  Touch();
  if (value && !rt::IsValidDate(*value)) RaiseInvalidPropertyValue();
  if (value == value_) return;
  value_ = value;
  Raise(OnChange);
}

bool DatePicker::AllowEmpty() const {
  Touch();
  return allowEmpty_;
}

void DatePicker::SetAllowEmpty(bool allow) {
  Touch();
  allowEmpty_ = allow;
}

}  // namespace ui
