// Caption and font accessors of the simple controls.
#include "platform/ui/command_button.h"
#include "platform/ui/form.h"
#include "platform/ui/frame.h"
#include "platform/ui/label.h"

namespace ui {

const std::string& Label::Caption() const {
  Touch();
  return caption_;
}

void Label::SetCaption(std::string caption) {
  Touch();
  caption_ = std::move(caption);
}

bool Label::FontBold() const {
  Touch();
  return bold_;
}

void Label::SetFontBold(bool bold) {
  Touch();
  bold_ = bold;
}

std::string Label::FontName() const {
  Touch();
  return fontName_.empty() ? ParentForm().FontName() : fontName_;
}

void Label::SetFontName(std::string name) {
  Touch();
  fontName_ = std::move(name);
}

const std::string& Frame::Caption() const {
  Touch();
  return caption_;
}

void Frame::SetCaption(std::string caption) {
  Touch();
  caption_ = std::move(caption);
}

const std::string& CommandButton::Caption() const {
  Touch();
  return caption_;
}

void CommandButton::SetCaption(std::string caption) {
  Touch();
  caption_ = std::move(caption);
}

}  // namespace ui
