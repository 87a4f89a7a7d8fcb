// Label: a caption the user reads; it takes no input and no focus.
#pragma once

#include <string>

#include "platform/ui/control.h"

namespace ui {

class Label : public Control {
 public:
  Label(Container& parent, std::string name) : Control(parent, std::move(name)) {}

  const std::string& Caption() const;
  void SetCaption(std::string caption);
  // Font.Bold
  bool FontBold() const;
  void SetFontBold(bool bold);

 private:
  std::string caption_;
  bool bold_ = false;
};

}  // namespace ui
