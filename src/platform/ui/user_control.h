// User controls: controls the add-on draws itself, and the layout property
// bag through which they keep their design-time properties.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/ui/control.h"
#include "platform/ui/draw_api.h"
#include "platform/variant.h"

namespace ui {

// The stored properties of one control in a dialog layout. Names match
// without regard to letter case. A value equal to its default is not
// stored, so that a layout holds only what differs from the defaults.
class PropertyBag {
 public:
  // The stored value, or `defaultValue` when none is stored.
  rt::Variant ReadProperty(std::string_view name, const rt::Variant& defaultValue) const;
  // Stores the value; a value equal to the default (same kind and value)
  // removes any stored one instead.
  void WriteProperty(std::string_view name, const rt::Variant& value, const rt::Variant& defaultValue);
  bool Contains(std::string_view name) const;
  int32_t Count() const { return static_cast<int32_t>(values_.size()); }

 private:
  static std::string Key(std::string_view name);
  std::map<std::string, rt::Variant> values_;
};

// A container the add-on draws itself. It has a window and a device
// context for the drawing calls, an inner size in pixels, a background
// colour and the display name its container gives it (its Name).
class UserControl : public Container {
 public:
  UserControl(Container& parent, std::string name);

  // Ambient.DisplayName: the name under which the container shows it.
  const std::string& DisplayName() const { return Name(); }

  Handle hWnd() const { return hwnd_; }
  Handle hDC() const { return hdc_; }

  // Inner size of the drawing area, in pixels.
  int32_t ScaleWidth() const { return width_; }
  int32_t ScaleHeight() const { return height_; }
  // Resizes the control (the layout does); redraws.
  void SetSize(int32_t width, int32_t height);

  Color BackColor() const { return backColor_; }
  void SetBackColor(Color color) {
    backColor_ = color;
    Changed();
  }

  // Marks a persisted property as changed, so that the layout stores it.
  void PropertyChanged(std::string_view name);
  bool IsPropertyChanged(std::string_view name) const;

  // Redraws the control now (UserControl_Paint).
  void Refresh() { Paint(); }

 protected:
  // Draws the control; called whenever it needs drawing.
  virtual void Paint() {}

 private:
  Handle hwnd_;
  Handle hdc_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  Color backColor_ = color::ButtonFace;
  std::set<std::string> changed_;
};

}  // namespace ui
