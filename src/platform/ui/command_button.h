// Command button. A user's click first moves the focus to the button, which
// validates the control that had it; when that validation cancels, the
// click is swallowed and Click does not run.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/control.h"

namespace ui {

class CommandButton : public Control {
 public:
  CommandButton(Container& parent, std::string name) : Control(parent, std::move(name)) {}

  const std::string& Caption() const;
  void SetCaption(std::string caption);

  bool TakesFocus() const override { return true; }

  std::function<void()> OnClick;

 private:
  std::string caption_;
};

}  // namespace ui
