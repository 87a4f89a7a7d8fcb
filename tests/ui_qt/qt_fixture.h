// Fixture of the Qt front end's tests: the front end started for each test
// (Qt service and drawing interface installed), a fixed today, a clean event
// boundary, and helpers to open a form's window and reach its widgets.
//
//   class QtUiInput : public qttest::QtUi {};
//   TEST_F(QtUiInput, ...) {
//     auto f = uitest::NewLoadedForm();
//     ui::qt::FormWindow& w = Open(*f);
//     QTest::keyClicks(Widget<QLineEdit>(w, f->txtDauer), "24");
//   }
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/date.h"
#include "platform/ui/event_boundary.h"
#include "platform/ui/qt/form_window.h"
#include "platform/ui/qt/front_end.h"
#include "platform/ui/qt/layout.h"

namespace qttest {

class QtUi : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetToday(rt::DateSerial(2024, 3, 10));
    ui::SetEventErrorReporter({});
    ui::ClearEventErrors();
    frontEnd_ = ui::qt::StartFrontEnd();
    ASSERT_NE(frontEnd_, nullptr);
  }

  void TearDown() override {
    windows_.clear();
    frontEnd_.reset();
    ui::SetEventErrorReporter({});
    ui::ClearEventErrors();
    rt::SetToday(std::nullopt);
  }

  // Shows the window of `form` (by its registered or generic layout, or by
  // `layout`) without waiting for it, as the active window. It stays open
  // until the test ends.
  ui::qt::FormWindow& Open(ui::Form& form, std::optional<ui::qt::FormLayout> layout = std::nullopt) {
    windows_.push_back(std::make_unique<ui::qt::FormWindow>(form, layout ? *layout : ui::qt::LayoutFor(form)));
    QDialog& dialog = windows_.back()->dialog();
    dialog.show();
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    return *windows_.back();
  }

  // The widget of a control as a W (null when it is another kind).
  template <class W>
  static W* Widget(const ui::qt::FormWindow& w, const ui::Control& c) {
    return qobject_cast<W*>(w.WidgetOf(c));
  }
  // The widget that takes the control's focus, as a W.
  template <class W>
  static W* FocusWidget(const ui::qt::FormWindow& w, const ui::Control& c) {
    return qobject_cast<W*>(w.FocusWidgetOf(c));
  }

  // The control whose widget has the window's keyboard focus, or null.
  static const ui::Control* FocusedControl(const ui::qt::FormWindow& w) {
    QWidget* focus = w.dialog().focusWidget();
    for (ui::Control* c : w.Placed()) {
      QWidget* widget = w.WidgetOf(*c);
      if (widget == focus || widget->isAncestorOf(focus)) return c;
    }
    return nullptr;
  }

  std::unique_ptr<ui::qt::FrontEnd> frontEnd_;
  std::vector<std::unique_ptr<ui::qt::FormWindow>> windows_;
};

// Runs `action` once the event loop runs next: inside a modal window or
// message box the test opened.
inline void Soon(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

}  // namespace qttest
