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
//
// QtFixture<Base> puts the front end over another fixture, such as the core
// tests' stand-in host (QtFixture<coretest::CoreTest>): the Qt service takes
// the place of the base's service while the test runs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/date.h"
#include "platform/ui/event_boundary.h"
#include "platform/ui/form.h"
#include "platform/ui/qt/form_window.h"
#include "platform/ui/qt/front_end.h"
#include "platform/ui/qt/layout.h"

namespace qttest {

// A fixed today and nothing else.
class TodayFixed : public ::testing::Test {
 protected:
  void SetUp() override { rt::SetToday(rt::DateSerial(2024, 3, 10)); }
  void TearDown() override { rt::SetToday(std::nullopt); }
};

template <class Base>
class QtFixture : public Base {
 protected:
  void SetUp() override {
    Base::SetUp();
    ui::SetEventErrorReporter({});
    ui::ClearEventErrors();
    frontEnd_ = ui::qt::StartFrontEnd();
    ASSERT_NE(frontEnd_, nullptr);
  }

  void TearDown() override {
    opened_.clear();
    frontEnd_.reset();
    ui::SetEventErrorReporter({});
    ui::ClearEventErrors();
    Base::TearDown();
  }

  // Shows the window of `form` (by its registered or generic layout, or by
  // `layout`) without waiting for it, as the active window. Window and form
  // stay until the test ends.
  ui::qt::FormWindow& Open(std::shared_ptr<ui::Form> form, std::optional<ui::qt::FormLayout> layout = std::nullopt) {
    auto window = std::make_unique<ui::qt::FormWindow>(*form, layout ? *layout : ui::qt::LayoutFor(*form));
    opened_.push_back(Opened{std::move(form), std::move(window)});
    QDialog& dialog = opened_.back().window->dialog();
    dialog.show();
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    return *opened_.back().window;
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
    // Frames come before what stands in them: the last match is the control.
    QWidget* focus = w.dialog().focusWidget();
    const ui::Control* found = nullptr;
    for (ui::Control* c : w.Placed()) {
      QWidget* widget = w.WidgetOf(*c);
      if (widget == focus || widget->isAncestorOf(focus)) found = c;
    }
    return found;
  }

  // A window goes before its form.
  struct Opened {
    std::shared_ptr<ui::Form> form;
    std::unique_ptr<ui::qt::FormWindow> window;
  };

  std::unique_ptr<ui::qt::FrontEnd> frontEnd_;
  std::vector<Opened> opened_;
};

using QtUi = QtFixture<TodayFixed>;

// What is wrong with how a window shows its form: a control the form shows
// whose widget is not visible or reaches outside the window, or two visible
// widgets of controls that overlap (a frame and what stands in it do not
// count). Empty when the layout is sound.
inline std::vector<std::string> LayoutProblems(const ui::qt::FormWindow& w) {
  std::vector<std::string> problems;
  const QRect window = w.dialog().rect();
  std::vector<std::pair<const ui::Control*, QRect>> shown;
  for (const ui::Control* c : w.Placed()) {
    bool visible = true;
    for (const ui::Control* p = c; p != &w.form(); p = p->Parent()) visible = visible && p->Visible() && !w.Covered(*p);
    if (!visible) continue;
    QWidget* widget = w.WidgetOf(*c);
    if (!widget->isVisible()) {
      problems.push_back(c->Name() + " is not visible");
      continue;
    }
    const QRect box(widget->mapTo(&w.dialog(), QPoint(0, 0)), widget->size());
    if (!window.contains(box)) problems.push_back(c->Name() + " reaches outside the window");
    for (const auto& [other, otherBox] : shown) {
      QWidget* otherWidget = w.WidgetOf(*other);
      if (widget->isAncestorOf(otherWidget) || otherWidget->isAncestorOf(widget)) continue;
      if (box.intersects(otherBox)) problems.push_back(c->Name() + " overlaps " + other->Name());
    }
    shown.emplace_back(c, box);
  }
  return problems;
}

// What keeps a list view's columns from showing: a shown column that is
// cut off or narrower than its heading, or the list scrolling sideways.
// Empty when every column shows within the list.
inline std::vector<std::string> ColumnProblems(const QTreeWidget& list) {
  std::vector<std::string> problems;
  const QHeaderView& header = *list.header();
  for (int i = 0; i < list.columnCount(); ++i) {
    if (list.isColumnHidden(i)) continue;
    const std::string name = list.headerItem()->text(i).toStdString();
    const int left = header.sectionViewportPosition(i);
    if (left < 0 || left + header.sectionSize(i) > list.viewport()->width()) problems.push_back(name + " is cut off");
    if (header.sectionSize(i) < header.sectionSizeHint(i)) problems.push_back(name + " is narrower than its heading");
  }
  if (list.horizontalScrollBar()->maximum() > 0) problems.push_back("the list scrolls sideways");
  return problems;
}

// Saves a picture as <name>.png in the build's picture folder.
inline bool SavePicture(const QImage& picture, const std::string& name) {
  QDir().mkpath(QStringLiteral(KP_PICTURE_DIR));
  return picture.save(QStringLiteral(KP_PICTURE_DIR "/") + QString::fromStdString(name) + ".png");
}
inline bool SavePicture(const ui::qt::FormWindow& w, const std::string& name) {
  return SavePicture(w.dialog().grab().toImage(), name);
}

// Runs `action` once the event loop runs next: inside a modal window or
// message box the test opened.
inline void Soon(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

}  // namespace qttest
