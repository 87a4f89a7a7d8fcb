#include "platform/ui/user_control.h"

namespace ui {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Window and device-context handles: distinct non-zero numbers per control.
Handle NextHandle() {
  static Handle next = 0x1000;
  return next += 0x10;
}

}  // namespace

std::string PropertyBag::Key(std::string_view name) { return Lower(name); }

rt::Variant PropertyBag::ReadProperty(std::string_view name, const rt::Variant& defaultValue) const {
  auto it = values_.find(Key(name));
  return it == values_.end() ? defaultValue : it->second;
}

void PropertyBag::WriteProperty(std::string_view name, const rt::Variant& value,
                                const rt::Variant& defaultValue) {
  if (value == defaultValue) {
    values_.erase(Key(name));
  } else {
    values_[Key(name)] = value;
  }
}

bool PropertyBag::Contains(std::string_view name) const { return values_.count(Key(name)) != 0; }

UserControl::UserControl(Container& parent, std::string name)
    : Container(parent, std::move(name)), hwnd_(NextHandle()), hdc_(NextHandle() + 1) {}

void UserControl::SetSize(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  Changed();
  Paint();
}

void UserControl::PropertyChanged(std::string_view name) { changed_.insert(Lower(name)); }

bool UserControl::IsPropertyChanged(std::string_view name) const { return changed_.count(Lower(name)) != 0; }

}  // namespace ui
