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
  // Font.Name: the label's own font, or the form's when none was set.
  // Stored, never drawn.
  std::string FontName() const;
  void SetFontName(std::string name);

 private:
  std::string caption_;
  std::string fontName_;  // empty: the form's
  bool bold_ = false;
};

}  // namespace ui
