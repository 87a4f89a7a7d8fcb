// Frame: a captioned group of controls. Disabling or hiding a frame makes
// every control in it unreachable for the user; the controls keep their own
// Enabled and Visible values.
#pragma once

#include <string>

#include "platform/ui/control.h"

namespace ui {

class Frame : public Container {
 public:
  Frame(Container& parent, std::string name) : Container(parent, std::move(name)) {}

  const std::string& Caption() const;
  void SetCaption(std::string caption);

 private:
  std::string caption_;
};

}  // namespace ui
