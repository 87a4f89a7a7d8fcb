#include "platform/ui/text_box.h"

namespace ui {

const std::string& TextBox::Text() const {
  Touch();
  return text_;
}

void TextBox::SetText(std::string text) {
  Touch();
  allSelected_ = false;
  if (text == text_) return;
  text_ = std::move(text);
  Raise(OnChange);
}

Color TextBox::ForeColor() const {
  Touch();
  return foreColor_;
}

void TextBox::SetForeColor(Color color) {
  Touch();
  foreColor_ = color;
}

TextBox::Alignment TextBox::GetAlignment() const {
  Touch();
  return alignment_;
}

void TextBox::SetAlignment(Alignment alignment) {
  Touch();
  alignment_ = alignment;
}

}  // namespace ui
