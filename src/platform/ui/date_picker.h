// Date picker: holds a date, or nothing ("empty"). Empty is its own state,
// distinct from the date 0 (30.12.1899). Change is raised at once whenever
// the value changes, by code or by the user.
//
// Code may always empty a picker. The user may empty it only when the
// design says so (AllowEmpty; the picker then shows a check box in front of
// the date); otherwise the user can only choose another date.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/date.h"
#include "platform/ui/control.h"
#include "platform/variant.h"

namespace ui {

class DatePicker : public Control {
 public:
  DatePicker(Container& parent, std::string name) : Control(parent, std::move(name)) {}

  // The date, or nullopt when empty.
  std::optional<rt::Date> Value() const;
  // The value as the original Value property gives it: a date, or Null
  // when empty (so that reading an empty picker as a date fails with 94).
  rt::Variant ValueVariant() const;
  // A date outside 1.1.100 .. 31.12.9999 raises 380.
  void SetValue(std::optional<rt::Date> value);

  // Whether the user may empty the picker (a design value; default false).
  bool AllowEmpty() const;
  void SetAllowEmpty(bool allow);

  bool TakesFocus() const override { return true; }

  std::function<void()> OnChange;

 private:
  std::optional<rt::Date> value_;
  bool allowEmpty_ = false;
};

}  // namespace ui
