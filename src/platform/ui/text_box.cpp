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
  Changed();
  Raise(OnChange);
}

void TextBox::KeyAtEnd(std::string_view chars) {
  Touch();
  allSelected_ = false;
  if (chars.empty()) {
    if (text_.empty()) return;
    // Back to the first byte of the last character.
    size_t end = text_.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80) --end;
    text_.resize(end);
  } else {
    text_.append(chars);
  }
  Changed();
  Raise(OnChange);
}

Color TextBox::ForeColor() const {
  Touch();
  return foreColor_;
}

void TextBox::SetForeColor(Color color) {
  Touch();
  foreColor_ = color;
  Changed();
}

TextBox::Alignment TextBox::GetAlignment() const {
  Touch();
  return alignment_;
}

void TextBox::SetAlignment(Alignment alignment) {
  Touch();
  alignment_ = alignment;
  Changed();
}

}  // namespace ui
