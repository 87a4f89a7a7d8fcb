#include "platform/ui/qt/form_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

#include "platform/object.h"
#include "platform/ui/controls.h"
#include "platform/ui/qt/conversions.h"
#include "platform/ui/qt/qt_draw_api.h"

namespace ui::qt {

namespace {

// The dialog of a form window: closing it hides the form, Tab moves the
// form's focus, and Enter presses only a button that has the focus (the
// forms have no default button; the button's binding takes that Enter):
// elsewhere it does what the focused widget makes of it and no more.
class FormDialog : public QDialog {
 public:
  FormDialog(FormWindow& window, QWidget* parent) : QDialog(parent), window_(window) {}

  void reject() override { window_.UserClosed(); }
  bool Tab(bool next) { return focusNextPrevChild(next); }

 protected:
  // Widgets learn their own sizes when first shown (a combo box measures
  // its entries then): the window fits them before it appears.
  void showEvent(QShowEvent* e) override {
    if (!fitted_ && !e->spontaneous()) {
      fitted_ = true;
      window_.FitToContents();
    }
    QDialog::showEvent(e);
  }

  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
      window_.UserClosed();
      return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      e->accept();
      return;
    }
    QDialog::keyPressEvent(e);
  }

  void closeEvent(QCloseEvent* e) override {
    e->ignore();
    window_.UserClosed();
  }

  bool focusNextPrevChild(bool next) override {
    return window_.FocusNext(next, [this](bool n) { return QDialog::focusNextPrevChild(n); });
  }

 private:
  FormWindow& window_;
  bool fitted_ = false;
};

// The body of the window; scrolls only when the screen is too small for
// it, and asks for room for all of it.
class BodyArea : public QScrollArea {
 public:
  using QScrollArea::QScrollArea;
  QSize sizeHint() const override {
    const int frame = 2 * frameWidth();
    return widget()->sizeHint() + QSize(frame, frame);
  }
  QSize minimumSizeHint() const override { return QSize(120, 80); }
};

// Cells a layout item takes in its row.
int Width(const Item& item) {
  switch (item.kind) {
    case Item::Kind::Field:
      return 2;
    case Item::Kind::Stack: {
      int width = 1;
      for (const Item& part : item.parts) width = std::max(width, Width(part));
      return width;
    }
    default:
      return 1;
  }
}

void CollectNames(const std::vector<Row>& rows, std::vector<std::string>& names);

void CollectNames(const Item& item, std::vector<std::string>& names) {
  if (!item.name.empty()) names.push_back(item.name);
  for (const Item& part : item.parts) CollectNames(part, names);
  CollectNames(item.rows, names);
}

void CollectNames(const std::vector<Row>& rows, std::vector<std::string>& names) {
  for (const Row& row : rows) {
    for (const Item& item : row) CollectNames(item, names);
  }
}

// A frame or a column, or a stack holding one: a cell that stands side by
// side with its like.
bool HoldsBox(const Item& item) {
  return item.kind == Item::Kind::Box || item.kind == Item::Kind::Column ||
         std::any_of(item.parts.begin(), item.parts.end(), [](const Item& part) { return HoldsBox(part); });
}

// Sets a text box of one line to the width of `chars` digits.
void Narrow(const Binding& b, int chars) {
  auto* line = qobject_cast<QLineEdit*>(b.widget());
  if (line == nullptr) {
    throw std::logic_error("the layout of " + b.control().ParentForm().Name() + " gives a width in digits to " +
                           b.control().Name() + ", which is no text box of one line");
  }
  // The box asks for seventeen x's and its frame.
  const QFontMetrics fm = line->fontMetrics();
  const int frame = line->sizeHint().width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
  line->setFixedWidth(frame + chars * fm.horizontalAdvance(QLatin1Char('0')));
}

bool GrowsTall(const QWidget* w) { return (w->sizePolicy().verticalPolicy() & QSizePolicy::ExpandFlag) != 0; }

// Whether a cell can use more width: a widget in it that grows wide. (A
// grid says so only of widgets in one column, not of a list spanning two.)
bool GrowsWide(QLayoutItem* item) {
  if (QWidget* w = item->widget()) {
    return (item->expandingDirections() & Qt::Horizontal) != 0 && w->maximumWidth() > w->minimumWidth();
  }
  if (QLayout* layout = item->layout()) {
    for (int i = 0; i < layout->count(); ++i) {
      if (GrowsWide(layout->itemAt(i))) return true;
    }
  }
  return (item->expandingDirections() & Qt::Horizontal) != 0;
}

}  // namespace

// Marks the window as showing the controls: signals the widgets raise
// meanwhile are not a person's actions.
class FormWindow::ShowScope {
 public:
  explicit ShowScope(FormWindow& w) : w_(w) { ++w_.showing_; }
  ~ShowScope() { --w_.showing_; }
  ShowScope(const ShowScope&) = delete;
  ShowScope& operator=(const ShowScope&) = delete;

 private:
  FormWindow& w_;
};

// A grid being filled: the rows of the form or of one frame.
struct FormWindow::Grid {
  QGridLayout* layout;
  QWidget* parent;
  const Container* container;
  int next = 0;         // the next free row
  bool grows = false;   // a row takes extra height
  bool oneRow = false;  // the cells of one row of frames side by side
};

FormWindow::FormWindow(Form& form, const FormLayout& layout, QWidget* parent)
    : form_(form), dialog_(new FormDialog(*this, parent)) {
  form_.EnsureLoaded();
  dialog_->setObjectName(ToQ(form_.Name()));
  ShowScope scope(*this);
  try {
    Build(layout);
  } catch (...) {
    delete dialog_;  // a layout that cannot be built leaves no window behind
    throw;
  }
  for (Binding* b : order_) b->Sync();
  for (size_t s = 0; s < stacks_.size(); ++s) Restack(s);
  form_.SetDisplay(this);
  ShowForm();
  FitToContents();
}

FormWindow::~FormWindow() {
  form_.SetDisplay(nullptr);
  ++showing_;  // widgets going away raise signals too
  delete dialog_;
}

void FormWindow::Build(const FormLayout& layout) {
  CollectNames(layout.rows, declared_);
  for (const Item& item : layout.buttons) CollectNames(item, declared_);

  auto* main = new QVBoxLayout(dialog_);
  auto* area = new BodyArea(dialog_);
  body_ = area;
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  area->setFocusPolicy(Qt::NoFocus);  // Tab goes round the controls only
  auto* body = new QWidget();
  area->setWidget(body);
  main->addWidget(area, 1);

  Row buttons = layout.buttons;
  Grid top{new QGridLayout(body), body, &form_};
  top.layout->setContentsMargins(0, 0, 0, 0);
  PlaceRows(top, WithLeftovers(form_, layout.rows, &buttons));
  // Rows stay together at the top when nothing takes the extra height.
  if (!top.grows) top.layout->setRowStretch(top.next, 1);

  auto* bar = new QHBoxLayout();
  main->addLayout(bar);
  const bool split = std::any_of(buttons.begin(), buttons.end(),
                                 [](const Item& i) { return i.kind == Item::Kind::Stretch; });
  if (!split) bar->addStretch(1);
  for (const Item& item : buttons) {
    if (item.kind == Item::Kind::Stretch) {
      bar->addStretch(1);
    } else {
      bar->addWidget(PlaceControl(top, item.name, 0).widget());
    }
  }

  // The keyboard focus follows the layout.
  QWidget* previous = nullptr;
  for (Binding* b : order_) {
    if (!b->control().TakesFocus()) continue;
    for (QWidget* w : b->focusChain()) {
      if (previous != nullptr) QWidget::setTabOrder(previous, w);
      previous = w;
    }
  }
}

std::vector<Row> FormWindow::WithLeftovers(const Container& container, std::vector<Row> rows, Row* buttons) const {
  // Rows the generic rules made for a frame hold its controls already.
  std::vector<std::string> placed = declared_;
  CollectNames(rows, placed);
  for (Row& row : GenericRows(container, placed, buttons)) rows.push_back(std::move(row));
  return rows;
}

void FormWindow::PlaceRows(Grid& grid, const std::vector<Row>& rows) {
  int columns = 1;
  for (const Row& row : rows) {
    int width = 0;
    for (const Item& item : row) width += Width(item);
    columns = std::max(columns, width);
  }
  for (const Row& row : rows) {
    const int r = grid.next++;
    if (!grid.oneRow && std::count_if(row.begin(), row.end(), HoldsBox) > 1) {
      // Frames side by side stand in a grid of their own and leave the
      // columns of the fields above and below alone.
      Grid beside{new QGridLayout(), grid.parent, grid.container};
      beside.oneRow = true;
      beside.layout->setContentsMargins(0, 0, 0, 0);
      grid.layout->addLayout(beside.layout, r, 0, 1, columns);
      PlaceRows(beside, {row});
      // Each takes a share of extra width in proportion to its own, known
      // once the widgets show their contents (ShareWidths).
      Beside shares{beside.layout, {}};
      int column = 0;
      for (const Item& item : row) {
        if (HoldsBox(item)) shares.columns.push_back(column);
        column += Width(item);
      }
      besides_.push_back(std::move(shares));
      if (beside.grows) {
        grid.layout->setRowStretch(r, 1);
        grid.grows = true;
      }
      continue;
    }
    int column = 0;
    for (size_t i = 0; i < row.size(); ++i) {
      const int width = Width(row[i]);
      // The last cell reaches to the right edge.
      const int span = i + 1 == row.size() ? columns - column : width;
      PlaceItem(grid, row[i], r, column, span);
      column += width;
    }
  }
}

void FormWindow::PlaceItem(Grid& grid, const Item& item, int row, int column, int span) {
  auto growRow = [&] {
    grid.layout->setRowStretch(row, 1);
    grid.grows = true;
  };
  switch (item.kind) {
    case Item::Kind::Control: {
      Binding& b = PlaceControl(grid, item.name, item.lines);
      if (item.chars > 0) Narrow(b, item.chars);
      grid.layout->addWidget(b.widget(), row, column, 1, span);
      if (GrowsTall(b.widget())) growRow();
      return;
    }
    case Item::Kind::Field: {
      Binding& label = PlaceControl(grid, item.name, 0);
      const bool grewBefore = grid.grows;
      grid.grows = false;
      PlaceItem(grid, item.parts.front(), row, column + 1, std::max(span - 1, 1));
      const bool tall = grid.grows;
      grid.grows = grewBefore || tall;
      // Beside a field of several lines the label stands at its top.
      const bool top = tall || item.parts.front().lines > 0;
      grid.layout->addWidget(label.widget(), row, column, 1, 1, top ? Qt::AlignLeft | Qt::AlignTop : Qt::Alignment());
      if (auto* text = qobject_cast<QLabel*>(label.widget())) {
        const Item& part = item.parts.front();
        if (part.kind == Item::Kind::Control) {
          text->setBuddy(FocusWidgetOf(*form_.ControlByName(part.name)));
          ShowScope scope(*this);
          label.Sync();  // beside its field the label keeps its "&" letter
        }
      }
      return;
    }
    case Item::Kind::Box: {
      Binding& b = PlaceControl(grid, item.name, 0);
      const auto* frame = dynamic_cast<const Container*>(&b.control());
      if (frame == nullptr) {
        throw std::logic_error("the layout of " + form_.Name() + " uses " + item.name + " as a frame");
      }
      grid.layout->addWidget(b.widget(), row, column, 1, span);
      Grid inner{new QGridLayout(b.widget()), b.widget(), frame};
      if (dynamic_cast<const UserControl*>(frame) != nullptr) {
        // Below the caption the control draws on its top line.
        const int m = inner.layout->contentsMargins().left();
        inner.layout->setContentsMargins(m, b.widget()->fontMetrics().height() + m / 2, m, m);
      }
      PlaceRows(inner, WithLeftovers(*frame, item.rows, nullptr));
      if (!inner.grows) inner.layout->setRowStretch(inner.next, 1);
      if (inner.grows) {
        b.widget()->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
        growRow();
      }
      return;
    }
    case Item::Kind::Column: {
      Grid inner{new QGridLayout(), grid.parent, grid.container};
      inner.layout->setContentsMargins(0, 0, 0, 0);
      grid.layout->addLayout(inner.layout, row, column, 1, span);
      PlaceRows(inner, item.rows);
      if (inner.grows) {
        growRow();
      } else {
        inner.layout->setRowStretch(inner.next, 1);
      }
      return;
    }
    case Item::Kind::Stack: {
      std::vector<Control*> stacked;
      for (const Item& part : item.parts) {
        PlaceItem(grid, part, row, column, span);
        if (Control* c = form_.ControlByName(part.name)) {
          stacked.push_back(c);
          bindings_.at(c)->widget()->setAutoFillBackground(true);  // what lies behind does not show through
        }
      }
      for (Control* c : stacked) stackOf_[c] = stacks_.size();
      stacks_.push_back(std::move(stacked));
      return;
    }
    case Item::Kind::Stretch:
      grid.layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), row, column, 1, span);
      return;
  }
}

Binding& FormWindow::PlaceControl(Grid& grid, const std::string& name, int lines) {
  Control* c = form_.ControlByName(name);
  const std::string where = "the layout of " + form_.Name() + ": ";
  if (c == nullptr || c == &form_) throw std::logic_error(where + "no control " + name);
  if (c->Parent() != grid.container) {
    throw std::logic_error(where + name + " stands outside its frame " + c->Parent()->Name());
  }
  if (bindings_.count(c) != 0) throw std::logic_error(where + name + " is placed twice");
  auto made = MakeBinding(*this, *c, grid.parent, lines);
  Binding& b = *made;
  b.widget()->setObjectName(ToQ(c->Name()));  // found by name, as in the form
  bindings_[c] = std::move(made);
  order_.push_back(&b);

  QSizePolicy policy = b.widget()->sizePolicy();
  policy.setRetainSizeWhenHidden(true);  // a hidden control keeps its place
  b.widget()->setSizePolicy(policy);
  QList<QWidget*> widgets = b.widget()->findChildren<QWidget*>();
  widgets.push_back(b.widget());
  for (QWidget* w : widgets) {
    if (w->window() != b.widget()->window()) continue;  // a popup of its own
    widgets_[w] = &b;
    w->installEventFilter(this);
    // A click does not move the focus by itself: the form decides first.
    if (w->focusPolicy() != Qt::NoFocus) w->setFocusPolicy(Qt::TabFocus);
  }
  return b;
}

void FormWindow::Restack(size_t stack) {
  // Stacked controls lie in the form's z-order: the one in front covers
  // those behind, which stay where they are in the focus order, as they
  // do in the form.
  std::vector<Control*> backToFront = stacks_[stack];
  std::stable_sort(backToFront.begin(), backToFront.end(),
                   [](const Control* a, const Control* b) { return b->InFrontOf(*a); });
  for (Control* c : backToFront) {
    QWidget* w = bindings_.at(c)->widget();
    w->setHidden(!c->Visible());
    w->raise();
  }
}

bool FormWindow::Covered(const Control& control) const {
  auto stack = stackOf_.find(&control);
  if (stack == stackOf_.end()) return false;
  for (Control* other : stacks_[stack->second]) {
    if (other != &control && other->Visible() && other->InFrontOf(control)) return true;
  }
  return false;
}

void FormWindow::FitToContents() {
  SettleLayouts();
  ShareWidths();
  FitToScreen();
}

void FormWindow::SettleLayouts() {
  // Frames learn what their widgets want now, the innermost first, then
  // the window asks its body again.
  QList<QWidget*> inner = dialog_->findChildren<QWidget*>();
  auto depth = [this](const QWidget* w) {
    int d = 0;
    for (; w != dialog_; w = w->parentWidget()) ++d;
    return d;
  };
  std::stable_sort(inner.begin(), inner.end(), [&](QWidget* a, QWidget* b) { return depth(a) > depth(b); });
  for (QWidget* w : inner) {
    if (w->layout() != nullptr) w->layout()->activate();
  }
  body_->updateGeometry();
}

void FormWindow::ShareWidths() {
  // Of the cells side by side, those that can use more width take it in
  // proportion to their own.
  for (const Beside& b : besides_) {
    for (int column : b.columns) {
      QLayoutItem* cell = b.layout->itemAtPosition(0, column);
      const bool grows = cell != nullptr && GrowsWide(cell);
      b.layout->setColumnStretch(column, grows ? std::max(cell->sizeHint().width(), 1) : 0);
    }
  }
}

void FormWindow::FitToScreen() {
  dialog_->layout()->activate();
  const QWidget* owner = dialog_->parentWidget();
  QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  // The screen's room less the window's title bar, which the window
  // manager adds.
  QSize room = screen != nullptr ? screen->availableGeometry().size() : QSize(1024, 768);
  room.rheight() -= dialog_->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, dialog_);
  // Where the body has to scroll one way, the scroll bar takes room the
  // other way.
  QSize wanted = dialog_->sizeHint();
  const QSize least = body_->widget()->minimumSizeHint() + (wanted - body_->sizeHint());
  const int bar = dialog_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, dialog_);
  if (least.height() > room.height()) wanted.rwidth() += bar;
  if (least.width() > room.width()) wanted.rheight() += bar;
  dialog_->resize(wanted.boundedTo(room));
}

Binding* FormWindow::BindingOf(const Control& control) const {
  auto it = bindings_.find(&control);
  return it == bindings_.end() ? nullptr : it->second.get();
}

QWidget* FormWindow::WidgetOf(const Control& control) const {
  Binding* b = BindingOf(control);
  return b != nullptr ? b->widget() : nullptr;
}

QWidget* FormWindow::FocusWidgetOf(const Control& control) const {
  Binding* b = BindingOf(control);
  return b != nullptr ? b->focusTarget() : nullptr;
}

std::vector<Control*> FormWindow::Placed() const {
  std::vector<Control*> placed;
  for (Binding* b : order_) placed.push_back(&b->control());
  return placed;
}

void FormWindow::Changed(Control& control) {
  if (&control == &form_) {
    ShowForm();
    return;
  }
  Binding* b = BindingOf(control);
  if (b == nullptr) return;
  ShowScope scope(*this);
  b->Sync();
  auto stack = stackOf_.find(&control);
  if (stack != stackOf_.end()) Restack(stack->second);
}

void FormWindow::ShowForm() {
  {
    ShowScope scope(*this);
    const QString title = ToQ(form_.Caption());
    if (dialog_->windowTitle() != title) dialog_->setWindowTitle(title);
    // The form's font where this system has it; the usual one otherwise.
    const std::optional<QString> family = AvailableFamily(form_.FontName());
    if (family && dialog_->font().family() != *family) {
      QFont font = dialog_->font();
      font.setFamily(*family);
      dialog_->setFont(font);
    }
  }
  ShowFocus();
  if (!form_.IsShown() && running_ && dialog_->isVisible()) dialog_->done(0);
}

void FormWindow::ShowFocus() {
  Control* active = form_.ActiveControl();
  Binding* b = active != nullptr ? BindingOf(*active) : nullptr;
  if (b == nullptr || !active->Reachable()) return;
  // Within the control the widget focus may stand anywhere (a picker's
  // check box or its date).
  QWidget* focused = dialog_->focusWidget();
  if (focused != nullptr && (focused == b->widget() || b->widget()->isAncestorOf(focused))) return;
  QWidget* target = b->focusTarget();
  ShowScope scope(*this);
  target->setFocus(Qt::OtherFocusReason);
}

void FormWindow::Run() {
  if (!form_.IsShown()) return;
  running_ = true;
  ShowFocus();
  dialog_->exec();
  running_ = false;
  RethrowFailure();
}

void FormWindow::RethrowFailure() {
  if (!failure_) return;
  std::exception_ptr failure = failure_;
  failure_ = nullptr;
  std::rethrow_exception(failure);
}

void FormWindow::Fail(std::exception_ptr failure) {
  if (!failure_) failure_ = failure;
  if (running_ && dialog_->isVisible()) dialog_->done(0);
}

void FormWindow::Act(Control& control, const std::function<void(test::User&)>& action) {
  if (showing_ > 0 || failure_) return;
  try {
    action(user_);
  } catch (...) {
    // Nothing may pass through Qt's event handling: Run throws it again.
    Fail(std::current_exception());
    return;
  }
  // Show the control as the form has it, also when it refused the action.
  Changed(control);
  ShowFocus();
}

void FormWindow::UserClosed() {
  if (showing_ > 0 || !dialog_->isVisible()) return;
  if (form_.IsShown()) {
    form_.Hide();  // the display closes the window
  } else {
    dialog_->hide();  // a window shown without the form being shown
  }
}

bool FormWindow::FocusNext(bool next, const std::function<bool(bool)>& moveWidgetFocus) {
  if (showing_ > 0) return moveWidgetFocus(next);
  CommitFocused();
  bool moved = false;
  {
    ShowScope scope(*this);
    moved = moveWidgetFocus(next);
  }
  if (!moved) return false;
  // The focus went to a widget; the control it stands for takes the focus
  // from the form, or, when the control left refuses, the focus goes back.
  // (The window's own focus widget: the window need not be the active one
  // yet, as a dialog just opened over another.)
  for (QObject* w = dialog_->focusWidget(); w != nullptr; w = w->parent()) {
    auto it = widgets_.find(w);
    if (it == widgets_.end()) continue;
    Control& c = it->second->control();
    Act(c, [&c](test::User& user) { user.MoveFocus(c); });
    break;
  }
  ShowFocus();
  return true;
}

void FormWindow::Tab(bool next) { static_cast<FormDialog*>(dialog_)->Tab(next); }

bool FormWindow::PressOn(Binding& binding) {
  Control& c = binding.control();
  if (showing_ > 0 || !c.TakesFocus() || c.HasFocus()) return true;
  CommitFocused();
  bool moved = false;
  Act(c, [&](test::User& user) { moved = user.MoveFocus(c); });
  return moved;
}

void FormWindow::CommitFocused() {
  Control* active = form_.ActiveControl();
  if (Binding* b = active != nullptr ? BindingOf(*active) : nullptr) b->Commit();
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  auto it = widgets_.find(watched);
  if (it == widgets_.end() || showing_ > 0) return false;
  Binding& b = *it->second;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      // A refused focus move swallows the press.
      if (!PressOn(b)) return true;
      break;
    case QEvent::FocusIn:
      // A label's "&" letter focuses its field.
      if (static_cast<QFocusEvent*>(event)->reason() == Qt::ShortcutFocusReason) PressOn(b);
      break;
    default:
      break;
  }
  return b.Filter(watched, event);
}

}  // namespace ui::qt
