// Option button: one choice of a group. The option buttons placed directly
// in one container form a group of which at most one is selected.
// Selecting one (by code or by the user) deselects the others of its
// container without raising their events, then raises its Click; Click
// comes only when the option becomes selected. Setting the value to false
// raises nothing.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/control.h"

namespace ui {

class OptionButton : public Control {
 public:
  OptionButton(Container& parent, std::string name) : Control(parent, std::move(name)) {}

  bool Value() const;
  void SetValue(bool value);

  const std::string& Caption() const;
  void SetCaption(std::string caption);

  bool TakesFocus() const override { return true; }

  std::function<void()> OnClick;

 private:
  bool value_ = false;
  std::string caption_;
};

}  // namespace ui
