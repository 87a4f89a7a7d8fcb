// The widget of one control and the binding between the two, written once
// per kind of control:
//  - Sync shows the control's state on the widget (called for every change
//    the form's display is told of, see ui::Display);
//  - what a person does on the widget goes to the control as a
//    ui::test::User action through FormWindow::Act, so that focus moves,
//    validation, key filters and events follow the dialog layer's rules
//    exactly as they do in tests and scripts.
// The widget never keeps a state of its own: after each action it shows
// the control again, so an action the control refused leaves no trace.
#pragma once

#include <QObject>
#include <QWidget>

#include <memory>
#include <vector>

#include "platform/ui/control.h"

class QEvent;

namespace ui::qt {

class FormWindow;

class Binding {
 public:
  Binding(FormWindow& window, Control& control) : window_(window), control_(control) {}
  virtual ~Binding() = default;
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;

  Control& control() const { return control_; }
  // The widget placed in the layout.
  QWidget* widget() const { return widget_; }
  // The widget that takes the keyboard focus for the control.
  virtual QWidget* focusTarget() const { return widget_; }
  // The widgets Tab goes through in the control, in order.
  virtual std::vector<QWidget*> focusChain() const { return {focusTarget()}; }

  // Shows the control's enabled, visible and tool-tip state, then what its
  // kind shows.
  void Sync();

  // Input of the kind's own (keys typed into a text box, presses on a
  // list); true when the event was used up. Called for events on the
  // widget and on every widget inside it.
  virtual bool Filter(QObject* watched, QEvent* event);

  // Gives the control what the person entered on the widget and the widget
  // has kept to itself so far (a date being typed); called before a
  // person's action moves the focus away from the control.
  virtual void Commit() {}

 protected:
  virtual void SyncState() = 0;
  void SetWidget(QWidget* widget) { widget_ = widget; }
  FormWindow& window_;

 private:
  Control& control_;
  QWidget* widget_ = nullptr;
};

// The binding of a control, with its widget created in `parent`. `lines`
// above 0 shows a text box with that many lines. A kind of control without
// a widget is a programming error (std::logic_error).
std::unique_ptr<Binding> MakeBinding(FormWindow& window, Control& control, QWidget* parent, int lines);

}  // namespace ui::qt
