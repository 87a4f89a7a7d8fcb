// The base of every control, and of containers (forms, frames, user
// controls) that hold controls.
//
// Controls are plain objects owned by their form, usually as members:
//   ui::TextBox txtDauer{*this, "txtDauer"};
// A container must be constructed before the controls placed in it (declare
// a frame before its controls). Controls register with their container and
// form and are reachable by name through the form.
//
// Every property accessor first makes sure the form is loaded: the first use
// of any control runs the form's Form_Load. While the form is still being
// built (its constructor, before ui::NewForm has created it) values are set
// as design-time values: nothing loads and no event is raised.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {

class Form;
class Container;
namespace test {
class User;
}

// Colours as 32-bit values; values from 0x80000000 on name a system colour.
using Color = uint32_t;
namespace color {
inline constexpr Color Red = 0x000000FF;
inline constexpr Color ButtonFace = 0x8000000F;  // background of dialogs
inline constexpr Color WindowText = 0x80000008;  // text of edit fields
inline constexpr Color Window = 0x80000005;      // background of edit fields
}  // namespace color

// Run-time errors the controls raise.
// 380 "Unzulässiger Eigenschaftswert": a value the property does not take.
[[noreturn]] void RaiseInvalidPropertyValue();
// 381 "Index des Eigenschaftenfelds ungültig": a list index out of range.
[[noreturn]] void RaiseInvalidPropertyIndex();

class Control {
 public:
  Control(Container& parent, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  Container* Parent() const { return parent_; }
  Form& ParentForm() const { return *form_; }

  bool Enabled() const;
  virtual void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  const std::string& ToolTipText() const;
  void SetToolTipText(std::string text);

  // Whether this kind of control can hold the focus (labels and frames
  // cannot).
  virtual bool TakesFocus() const { return false; }
  // The control, its container and every container above it are visible
  // and enabled: the user can reach it.
  bool Reachable() const;

  // Moves the focus here from code. No Validate runs. Does nothing when the
  // control cannot take the focus (hidden, disabled, in a disabled or
  // hidden container, or a kind without focus).
  void SetFocus();
  bool HasFocus() const;

  // Z-order within the container: 0 brings the control to the front, 1
  // sends it to the back. Controls created later start in front.
  void ZOrder(int position = 0);
  bool InFrontOf(const Control& other) const;

  // Validate(Cancel): runs when the user moves the focus away from this
  // control (not when code does); setting Cancel keeps the focus here and
  // swallows the click that would have moved it.
  std::function<void(bool& Cancel)> OnValidate;

 protected:
  // The root of a control tree: a form.
  explicit Control(std::string name);

  // Loads the form on first use (nothing while the form is being designed).
  void Touch() const;
  // Tells the form's display, if one is attached, that something a person
  // sees of this control has changed (see Form::SetDisplay). Setters call
  // it after storing the new state and before raising any event, so that a
  // handler's message box already sees the change on screen.
  void Changed();
  // True once the form has been created: handlers may run.
  bool Live() const;

  // Calls a handler when one is wired and the form is live.
  template <class Handler, class... Args>
  void Raise(const Handler& handler, Args&&... args) const {
    if (handler && Live()) handler(std::forward<Args>(args)...);
  }

  Form* form_ = nullptr;

 private:
  friend class Form;
  friend class test::User;
  std::string name_;
  Container* parent_ = nullptr;
  bool enabled_ = true;
  bool visible_ = true;
  std::string toolTip_;
  int64_t z_ = 0;
};

class Container : public Control {
 public:
  Container(Container& parent, std::string name) : Control(parent, std::move(name)) {}
  // Controls placed directly in this container, in creation order.
  const std::vector<Control*>& Children() const { return children_; }

 protected:
  explicit Container(std::string name) : Control(std::move(name)) {}

 private:
  friend class Control;
  std::vector<Control*> children_;
};

}  // namespace ui
