// Check box: Value 0 (not ticked), 1 (ticked) or 2 (greyed). Click is raised
// at once whenever the value changes, by code or by the user, and only then.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/control.h"

namespace ui {

class CheckBox : public Control {
 public:
  static constexpr int16_t Unchecked = 0;
  static constexpr int16_t Checked = 1;
  static constexpr int16_t Grayed = 2;

  CheckBox(Container& parent, std::string name) : Control(parent, std::move(name)) {}

  int16_t Value() const;
  void SetValue(int16_t value);  // 380 for anything but 0, 1, 2

  const std::string& Caption() const;
  void SetCaption(std::string caption);

  bool TakesFocus() const override { return true; }

  std::function<void()> OnClick;

 private:
  int16_t value_ = Unchecked;
  std::string caption_;
};

}  // namespace ui
