// The window of one form: a QDialog holding a widget per control, laid out
// by the form's layout (layout.h), bound both ways to the controls
// (bindings.h). The dialog carries the form's name as its object name, and
// each control's widget the control's name.
//
// The window is the form's display (ui::Display) while it exists: every
// change to a control shows on its widget at once. A person's actions go
// to the controls through ui::test::User, the path tests and scripts take:
//  - a mouse press on a control that does not hold the focus first moves
//    the focus there; when the control left cancels its validation, the
//    press is swallowed (a button is not clicked, a list keeps its entry);
//  - Tab and Shift+Tab move the focus in the order of the layout, with the
//    same validation; a cancel keeps the focus where it was;
//  - before the focus moves that way, the control that has it takes what
//    its widget held back (a date typed into a picker);
//  - keys typed into a text box pass its KeyPress filter, then edit the
//    text at the caret; other edits (Delete, cut, paste) store the text.
// Closing the window (its close button or Escape) hides the form, as the
// original's forms were unloaded: no handler of the add-on runs. The
// window closes when the form is hidden, by the add-on or that way.
#pragma once

#include <QDialog>
#include <QObject>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/form.h"
#include "platform/ui/qt/bindings.h"
#include "platform/ui/qt/layout.h"
#include "platform/ui/simulated_user.h"

class QGridLayout;
class QScrollArea;

namespace ui::qt {

class FormWindow : public Display, private QObject {
 public:
  // Builds the window of `form` (created and loaded) by `layout` and
  // attaches it as the form's display. The form must outlive the window. A layout naming a control the form
  // lacks, a control twice, or a control outside its frame is a
  // programming error (std::logic_error).
  FormWindow(Form& form, const FormLayout& layout, QWidget* parent = nullptr);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  Form& form() const { return form_; }
  QDialog& dialog() const { return *dialog_; }

  // Shows the window modally until the form is hidden (at once when it is
  // not shown). An exception that escaped a person's action (one that no
  // event boundary takes, such as ui::ScriptFailure) closes the window and
  // is thrown again here.
  void Run();
  // For a window shown without Run: throws such an exception, if any.
  void RethrowFailure();

  // The widget placed for the control, and the one that takes its focus;
  // null for a control without a widget.
  QWidget* WidgetOf(const Control& control) const;
  QWidget* FocusWidgetOf(const Control& control) const;
  // The controls with a widget, in the order of the layout.
  std::vector<Control*> Placed() const;
  // The names of the controls the layout declares (the rest the generic
  // rules placed).
  const std::vector<std::string>& Declared() const { return declared_; }
  // Whether a visible control stacked in front of `control` hides it.
  bool Covered(const Control& control) const;

  void Changed(Control& control) override;

  // --- for the bindings ---
  // Runs a person's action on `control`, then shows the control and the
  // focus as the form has them. Does nothing while the window shows a
  // change (a widget's signal raised by showing is no action).
  void Act(Control& control, const std::function<void(test::User&)>& action);
  bool Showing() const { return showing_ > 0; }

  // Tab (or Shift+Tab for `next` false) from the focused widget.
  void Tab(bool next);

  // --- for the dialog ---
  void UserClosed();
  // Sizes the window for its contents, within the screen.
  void FitToContents();
  // Tab or Shift+Tab: moves the widget focus, then the control's.
  bool FocusNext(bool next, const std::function<bool(bool)>& moveWidgetFocus);

 private:
  class ShowScope;
  struct Grid;

  void Build(const FormLayout& layout);
  void PlaceRows(Grid& grid, const std::vector<Row>& rows);
  void PlaceItem(Grid& grid, const Item& item, int row, int column, int span);
  Binding& PlaceControl(Grid& grid, const std::string& name, int lines);
  std::vector<Row> WithLeftovers(const Container& container, std::vector<Row> rows, Row* buttons) const;
  void Restack(size_t stack);
  void ShowForm();
  void ShowFocus();
  void SettleLayouts();
  void ShareWidths();
  void FitToScreen();
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool PressOn(Binding& binding);
  // Before a person's action moves the focus: the control that has it
  // takes what its widget holds back (Binding::Commit).
  void CommitFocused();
  void Fail(std::exception_ptr failure);
  Binding* BindingOf(const Control& control) const;

  Form& form_;
  QDialog* dialog_;  // owned; deleted with the window
  QScrollArea* body_ = nullptr;  // the scrolling area of the controls, in the dialog
  test::User user_;
  std::map<const Control*, std::unique_ptr<Binding>> bindings_;
  std::vector<Binding*> order_;              // in layout order
  std::map<QObject*, Binding*> widgets_;     // every widget of a binding
  // The cells of a row of frames side by side, by their columns.
  struct Beside {
    QGridLayout* layout;
    std::vector<int> columns;
  };
  std::vector<Beside> besides_;
  std::vector<std::vector<Control*>> stacks_;
  std::map<const Control*, size_t> stackOf_;
  std::vector<std::string> declared_;        // controls the layout names
  int showing_ = 0;
  bool running_ = false;
  std::exception_ptr failure_;
};

}  // namespace ui::qt
