// Text box: one line (or more) of free text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ui/control.h"

namespace ui {

class TextBox : public Control {
 public:
  enum class Alignment { Left, Right, Center };

  TextBox(Container& parent, std::string name) : Control(parent, std::move(name)) {}

  const std::string& Text() const;
  // Stores the text and, when it differs from the old one, raises Change at
  // once. A Change handler may set the text again (re-entrant).
  void SetText(std::string text);

  Color ForeColor() const;
  void SetForeColor(Color color);

  // How the text stands in the box (number fields are right-aligned).
  // Stored, never drawn.
  Alignment GetAlignment() const;
  void SetAlignment(Alignment alignment);

  bool TakesFocus() const override { return true; }

  // Change: the text changed, by code or by the user.
  std::function<void()> OnChange;
  // KeyPress(KeyAscii): a character typed by the user, before it reaches
  // the text. The handler may replace the code or set it to 0 to swallow
  // the key. Code 8 is Backspace.
  std::function<void(int16_t& KeyAscii)> OnKeyPress;

 private:
  friend class test::User;
  // The user's key at the end of the text, made in place: appends `chars`
  // (a character's UTF-8 bytes), or with `chars` empty removes the last
  // character. Copying the text instead would make each key cost as much
  // as the text is long, and typing a long text quadratic. Raises Change
  // as SetText does, when the text changed.
  void KeyAtEnd(std::string_view chars);

  std::string text_;
  Color foreColor_ = color::WindowText;
  Alignment alignment_ = Alignment::Left;
  bool allSelected_ = false;  // the user selected the whole text
};

}  // namespace ui
