#include "platform/ui/simulated_user.h"

#include <string>
#include <vector>

namespace ui::test {

namespace {

// The characters of a UTF-8 text as key codes (code points below 0x10000;
// others become "?").
std::vector<uint16_t> KeyCodes(std::string_view s) {
  std::vector<uint16_t> out;
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    uint32_t cp = b;
    size_t n = 1;
    if (b >= 0xE0) {
      cp = b & 0x0F;
      n = b >= 0xF0 ? 4 : 3;
    } else if (b >= 0xC0) {
      cp = b & 0x1F;
      n = 2;
    }
    for (size_t k = 1; k < n && i + k < s.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    if (cp > 0xFFFF) cp = '?';
    out.push_back(static_cast<uint16_t>(cp));
    i += n;
  }
  return out;
}

void AppendUtf8(std::string& s, uint16_t cp) {
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

bool User::Reach(Control& c) {
  if (!c.ParentForm().IsCreated()) {
    throw ScriptFailure("the form " + c.ParentForm().Name() + " was never created");
  }
  return c.Reachable();
}

bool User::ValidateLeaving(Control& c) {
  // A control that became hidden or disabled has lost the focus already.
  if (!c.OnValidate || !c.Reachable()) return true;
  bool cancel = false;
  RunEvent(c, "Validate", [&] { c.OnValidate(cancel); });
  return !cancel;
}

bool User::MoveFocus(Control& to) {
  if (!Reach(to) || !to.TakesFocus()) return false;
  Form& form = to.ParentForm();
  Control* old = form.ActiveControl();
  if (old == &to) return true;
  if (old != nullptr && !ValidateLeaving(*old)) return false;
  form.SetActive(&to);
  return true;
}

bool User::PressKey(TextBox& box, int16_t& keyAscii) {
  if (!MoveFocus(box)) return false;
  if (box.OnKeyPress) RunEvent(box, "KeyPress", [&] { box.OnKeyPress(keyAscii); });
  return true;
}

bool User::Edit(TextBox& box, std::string text) {
  if (!Reach(box)) return false;
  Store(box, std::move(text));
  return true;
}

void User::Store(TextBox& box, std::string text) {
  RunEvent(box, "Change", [&] { box.SetText(std::move(text)); });
}

bool User::Leave(Form& form) {
  if (!form.IsCreated()) throw ScriptFailure("the form " + form.Name() + " was never created");
  Control* old = form.ActiveControl();
  if (old != nullptr && !ValidateLeaving(*old)) return false;
  // The focus may have moved while validating; Tab goes on from where it is.
  Control* next = form.TabNext(form.ActiveControl());
  if (next != nullptr) form.SetActive(next);
  return true;
}

bool User::Key(TextBox& box, int16_t keyAscii) {
  int16_t key = keyAscii;
  if (box.OnKeyPress) RunEvent(box, "KeyPress", [&] { box.OnKeyPress(key); });
  if (key == 0) return true;
  std::string typed;
  if (key != 8) AppendUtf8(typed, static_cast<uint16_t>(key));
  if (box.allSelected_) {
    Store(box, std::move(typed));  // the key replaces the whole text
  } else {
    RunEvent(box, "Change", [&] { box.KeyAtEnd(typed); });
  }
  return true;
}

bool User::Type(TextBox& box, std::string_view chars) {
  if (!MoveFocus(box)) return false;
  for (uint16_t code : KeyCodes(chars)) {
    if (!box.HasFocus() || !box.Reachable()) return false;
    Key(box, static_cast<int16_t>(code));
  }
  return true;
}

bool User::Backspace(TextBox& box, int times) {
  if (!MoveFocus(box)) return false;
  for (int i = 0; i < times; ++i) {
    if (!box.HasFocus() || !box.Reachable()) return false;
    Key(box, 8);
  }
  return true;
}

bool User::SelectAll(TextBox& box) {
  if (!MoveFocus(box)) return false;
  box.allSelected_ = true;
  return true;
}

bool User::Paste(TextBox& box, std::string_view text) {
  if (!MoveFocus(box)) return false;
  std::string result = box.allSelected_ ? std::string(text) : box.text_ + std::string(text);
  Store(box, std::move(result));
  return true;
}

bool User::Type(ComboBox& combo, std::string_view text) {
  if (combo.GetStyle() != ComboBox::Style::Editable) return false;
  if (!MoveFocus(combo)) return false;
  RunEvent(combo, "Change", [&] { combo.SetText(std::string(text)); });
  return true;
}

bool User::Click(CommandButton& button) {
  if (!MoveFocus(button)) return false;
  if (button.OnClick) RunEvent(button, "Click", button.OnClick);
  return true;
}

bool User::Tick(CheckBox& box) {
  if (!MoveFocus(box)) return false;
  RunEvent(box, "Click", [&] { box.SetValue(CheckBox::Checked); });
  return true;
}

bool User::Untick(CheckBox& box) {
  if (!MoveFocus(box)) return false;
  RunEvent(box, "Click", [&] { box.SetValue(CheckBox::Unchecked); });
  return true;
}

bool User::Choose(OptionButton& option) {
  if (!MoveFocus(option)) return false;
  RunEvent(option, "Click", [&] { option.SetValue(true); });
  return true;
}

bool User::Select(ComboBox& combo, int32_t index) {
  if (!MoveFocus(combo)) return false;
  if (index < 0 || index >= combo.ListCount()) return false;
  RunEvent(combo, "Click", [&] { combo.SetListIndex(index); });
  return true;
}

bool User::Select(ListBox& list, int32_t index) {
  if (!MoveFocus(list)) return false;
  if (index < 0 || index >= list.ListCount()) return false;
  RunEvent(list, "Click", [&] { list.SetListIndex(index); });
  return true;
}

bool User::ClickItem(ListView& list, int32_t index) {
  if (!MoveFocus(list)) return false;
  if (index < 1 || index > list.Count()) return false;
  ListItem* item = &list.Item(index);
  list.SetSelectedItem(item);
  if (list.OnItemClick) RunEvent(list, "ItemClick", [&] { list.OnItemClick(*item); });
  return true;
}

bool User::SetDate(DatePicker& picker, std::optional<rt::Date> value) {
  if (!MoveFocus(picker)) return false;
  if (value ? !rt::IsValidDate(*value) : !picker.AllowEmpty()) return false;
  RunEvent(picker, "Change", [&] { picker.SetValue(value); });
  return true;
}

}  // namespace ui::test
