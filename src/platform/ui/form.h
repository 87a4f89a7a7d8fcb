// Forms: the dialogs.
//
// A dialog derives from Form, owns its controls as members, sets their
// design-time values and wires their handlers in its constructor, and is
// created with ui::NewForm:
//
//   class frmPosition : public ui::Form {
//    public:
//     frmPosition() : Form("frmPosition") {
//       txtAnzahl.SetText("1");                       // design-time value
//       cmdOk.OnClick = [this] { cmdOk_Click(); };
//     }
//     ui::TextBox txtAnzahl{*this, "txtAnzahl"};
//     ui::CommandButton cmdOk{*this, "cmdOk"};
//    protected:
//     void Form_Load() override;
//   };
//   auto frm = ui::NewForm<frmPosition>();
//
// Life of a form: created (Form_Initialize runs); loaded on the first use of
// its caption or of any control (Form_Load runs once, and an error in it
// reaches the code that made that first use); shown modally (Form_Activate
// runs, then the UI service displays it until it is hidden); hidden, not
// unloaded: it keeps every value and can be shown again.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/error.h"
#include "platform/ui/control.h"

namespace ui {

class Form : public Container {
 public:
  ~Form() override;

  // Ends the design state and runs Form_Initialize; once only. ui::NewForm
  // calls it; a form built otherwise (say, on the stack in a test) must be
  // created before use.
  void Create();
  bool IsCreated() const { return created_; }

  // Runs Form_Load unless it ran already ("Load frm").
  void EnsureLoaded();
  bool IsLoaded() const { return loaded_; }

  std::string Caption() const;
  void SetCaption(std::string caption);

  // Shows the form modally through the UI service and returns when it has
  // been hidden. Loads (and, if need be, creates) the form first; a form
  // that is already shown raises 400.
  void ShowModal();
  void Hide();
  bool IsShown() const { return shown_; }

  // The control holding the focus, or null.
  Control* ActiveControl() const { return active_; }

  // The tab order is the creation order: the first control after `after`
  // (from the first control when `after` is null), wrapping around, that
  // can take the focus and that the user can reach; null when there is
  // none. ShowModal gives the focus to TabNext(nullptr); the user's Tab
  // (test::User::Leave) moves it to TabNext(the focused control).
  Control* TabNext(const Control* after) const;

  // Font.Name of the form; controls without a font of their own show it.
  // Stored, never drawn. Default "MS Sans Serif".
  const std::string& FontName() const { return fontName_; }
  void SetFontName(std::string name) { fontName_ = std::move(name); }

  // Every control of the form, in creation order.
  const std::vector<Control*>& Controls() const { return controls_; }
  // The control with that name (letter case ignored), or null.
  Control* ControlByName(std::string_view name) const;
  // The control with that name as a T; raises 730 when there is none and 13
  // when it is of another kind.
  template <class T>
  T& ControlAs(std::string_view name) const {
    Control* c = ControlByName(name);
    if (c == nullptr) RaiseControlNotFound(name);
    T* t = dynamic_cast<T*>(c);
    if (t == nullptr) rt::RaiseRuntime(rt::errc::TypeMismatch);
    return *t;
  }

 protected:
  explicit Form(std::string name);

  virtual void Form_Initialize() {}
  virtual void Form_Load() {}
  virtual void Form_Activate() {}

 private:
  friend class Control;
  friend class test::User;
  [[noreturn]] static void RaiseControlNotFound(std::string_view name);
  void Register(Control* c);
  void Unregister(Control* c);
  void SetActive(Control* c) { active_ = c; }
  bool Designing() const { return !created_; }

  std::string caption_;
  std::string fontName_ = "MS Sans Serif";
  bool created_ = false;
  bool loaded_ = false;
  bool shown_ = false;
  Control* active_ = nullptr;
  std::vector<Control*> controls_;
};

// Creates a form: constructs it, then runs its Form_Initialize.
template <class F, class... Args>
std::shared_ptr<F> NewForm(Args&&... args) {
  static_assert(std::is_base_of_v<Form, F>);
  auto f = std::make_shared<F>(std::forward<Args>(args)...);
  f->Create();
  return f;
}

}  // namespace ui
