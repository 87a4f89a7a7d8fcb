#include "platform/ui/qt/bindings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/qt/conversions.h"
#include "platform/ui/qt/form_window.h"
#include "platform/ui/qt/qt_draw_api.h"

namespace ui::qt {

using test::User;

void Binding::Sync() {
  widget_->setEnabled(control_.Enabled());
  widget_->setHidden(!control_.Visible());
  const QString tip = ToQ(control_.ToolTipText());
  if (widget_->toolTip() != tip) widget_->setToolTip(tip);
  SyncState();
}

bool Binding::Filter(QObject*, QEvent*) { return false; }

namespace {

// Sets a palette colour of the widget to a colour of the dialog layer.
void SetColor(QWidget* w, QPalette::ColorRole role, Color color) {
  QPalette palette = w->palette();
  const std::optional<QColor> c = ToQColor(color, QApplication::palette(w));
  const QColor wanted = c.value_or(QApplication::palette(w).color(role));
  if (palette.color(role) == wanted) return;
  palette.setColor(role, wanted);
  w->setPalette(palette);
}

// The texts of the entries of a combo box or list box.
template <class Control>
QStringList Entries(const Control& control) {
  QStringList entries;
  for (int32_t i = 0; i < control.ListCount(); ++i) entries << ToQ(control.List(i));
  return entries;
}

// Shows the entries unless the widget shows them already (refilling would
// lose its scroll position and current entry).
template <class Widget, class ItemText>
void ShowEntries(Widget* w, const QStringList& entries, ItemText itemText) {
  bool same = w->count() == entries.size();
  for (qsizetype i = 0; same && i < entries.size(); ++i) same = itemText(static_cast<int>(i)) == entries[i];
  if (same) return;
  w->clear();
  w->addItems(entries);
}

// The binding of a control of kind C shown by a widget of kind W.
template <class C, class W>
class Bound : public Binding {
 protected:
  Bound(FormWindow& window, C& control, W* widget) : Binding(window, control), model_(control), view_(widget) {
    SetWidget(widget);
  }
  // A person's action on the control; a widget's signal raised while the
  // window shows the control is none.
  void UserDoes(const std::function<void(User&)>& action) {
    if (!window_.Showing()) window_.Act(model_, action);
  }

  C& model_;
  W* view_;
};

// --- text box ------------------------------------------------------------------

// The key code a typed key gives the KeyPress filter: Backspace 8, Enter
// 13, a printable character its code; 0 for keys that are no character
// (moves, shortcuts, Delete), which the edit handles itself.
int16_t KeyCode(const QKeyEvent& e) {
  if ((e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return 0;
  if (e.key() == Qt::Key_Backspace) return 8;
  if (e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter) return 13;
  const QString text = e.text();
  if (text.size() != 1) return 0;
  const char16_t ch = text[0].unicode();
  if (ch < 0x20 || ch == 0x7F || QChar::isSurrogate(ch)) return 0;
  return static_cast<int16_t>(ch);
}

// One line in a QLineEdit, several in a QPlainTextEdit.
QWidget* MakeEdit(QWidget* parent, int lines) {
  if (lines <= 0) return new QLineEdit(parent);
  auto* plain = new QPlainTextEdit(parent);
  plain->setTabChangesFocus(true);
  plain->setFixedHeight(plain->fontMetrics().lineSpacing() * lines + 2 * plain->frameWidth() +
                        2 * static_cast<int>(std::ceil(plain->document()->documentMargin())));
  plain->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return plain;
}

class TextBinding : public Bound<TextBox, QWidget> {
 public:
  TextBinding(FormWindow& window, TextBox& box, QWidget* parent, int lines)
      : Bound(window, box, MakeEdit(parent, lines)),
        line_(qobject_cast<QLineEdit*>(view_)),
        plain_(qobject_cast<QPlainTextEdit*>(view_)) {
    if (line_ != nullptr) {
      QObject::connect(line_, &QLineEdit::textEdited, line_, [this] { Edited(); });
    } else {
      QObject::connect(plain_, &QPlainTextEdit::textChanged, plain_, [this] { Edited(); });
    }
  }

  bool Filter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || watched != view_) return false;
    const int16_t code = KeyCode(*static_cast<QKeyEvent*>(event));
    if (code == 0) return false;
    window_.Act(model_, [&](User& user) {
      int16_t key = code;
      if (!user.PressKey(model_, key) || key == 0) return;
      Apply(key);
      user.Edit(model_, Text());
    });
    return true;
  }

 protected:
  void SyncState() override {
    const std::string& text = model_.Text();
    if (Text() != text) {
      if (line_ != nullptr) {
        const int caret = line_->cursorPosition();
        line_->setText(ToQ(text));
        line_->setCursorPosition(std::min<int>(caret, static_cast<int>(line_->text().size())));
      } else {
        plain_->setPlainText(ToEditLines(text));
      }
    }
    SetColor(view_, QPalette::Text, model_.ForeColor());
    Qt::Alignment align = Qt::AlignLeft;
    if (model_.GetAlignment() == TextBox::Alignment::Right) align = Qt::AlignRight;
    if (model_.GetAlignment() == TextBox::Alignment::Center) align = Qt::AlignHCenter;
    if (line_ != nullptr) {
      line_->setAlignment(align | Qt::AlignVCenter);
    } else {
      QTextOption option = plain_->document()->defaultTextOption();
      option.setAlignment(align);
      plain_->document()->setDefaultTextOption(option);
    }
  }

 private:
  std::string Text() const { return line_ != nullptr ? FromQ(line_->text()) : FromEditLines(plain_->toPlainText()); }

  // An edit the box made itself (Delete, cut, paste, undo): the text as it
  // stands now is the user's.
  void Edited() {
    if (applying_) return;
    UserDoes([&](User& user) {
      if (user.MoveFocus(model_)) user.Edit(model_, Text());
    });
  }

  // Types the key the filter left at the caret.
  void Apply(int16_t key) {
    applying_ = true;
    const QChar ch(static_cast<char16_t>(static_cast<uint16_t>(key)));
    if (line_ != nullptr) {
      if (key == 8) line_->backspace();
      else if (key != 13) line_->insert(QString(ch));  // one line holds no line break
    } else {
      QTextCursor cursor = plain_->textCursor();
      if (key == 8) {
        if (cursor.hasSelection()) cursor.removeSelectedText();
        else cursor.deletePreviousChar();
      } else {
        cursor.insertText(key == 13 ? QStringLiteral("\n") : QString(ch));
      }
      plain_->setTextCursor(cursor);
    }
    applying_ = false;
  }

  QLineEdit* line_;
  QPlainTextEdit* plain_;
  bool applying_ = false;
};

// --- combo box --------------------------------------------------------------

class ComboBinding : public Bound<ComboBox, QComboBox> {
 public:
  ComboBinding(FormWindow& window, ComboBox& combo, QWidget* parent) : Bound(window, combo, new QComboBox(parent)) {
    view_->setInsertPolicy(QComboBox::NoInsert);
    if (combo.GetStyle() == ComboBox::Style::Editable) {
      view_->setEditable(true);
      view_->setCompleter(nullptr);
      QObject::connect(view_->lineEdit(), &QLineEdit::textEdited, view_, [this](const QString& text) {
        UserDoes([&](User& user) { user.Type(model_, FromQ(text)); });
      });
    }
    QObject::connect(view_, &QComboBox::activated, view_,
                     [this](int index) { UserDoes([&](User& user) { user.Select(model_, index); }); });
  }

 protected:
  void SyncState() override {
    ShowEntries(view_, Entries(model_), [this](int i) { return view_->itemText(i); });
    if (view_->currentIndex() != model_.ListIndex()) view_->setCurrentIndex(model_.ListIndex());
    if (view_->isEditable() && view_->currentText() != ToQ(model_.Text())) view_->setEditText(ToQ(model_.Text()));
  }
};

// --- check box, option button, command button, label ----------------------------

class CheckBinding : public Bound<CheckBox, QCheckBox> {
 public:
  CheckBinding(FormWindow& window, CheckBox& box, QWidget* parent) : Bound(window, box, new QCheckBox(parent)) {
    QObject::connect(view_, &QCheckBox::clicked, view_, [this] {
      UserDoes([&](User& user) {
        if (model_.Value() == CheckBox::Checked) user.Untick(model_);
        else user.Tick(model_);
      });
    });
  }

 protected:
  void SyncState() override {
    view_->setText(ToQ(model_.Caption()));
    const int16_t value = model_.Value();
    view_->setTristate(value == CheckBox::Grayed);
    view_->setCheckState(value == CheckBox::Checked  ? Qt::Checked
                         : value == CheckBox::Grayed ? Qt::PartiallyChecked
                                                     : Qt::Unchecked);
  }
};

class OptionBinding : public Bound<OptionButton, QRadioButton> {
 public:
  OptionBinding(FormWindow& window, OptionButton& option, QWidget* parent)
      : Bound(window, option, new QRadioButton(parent)) {
    // The group is the control's container; the control decides.
    view_->setAutoExclusive(false);
    QObject::connect(view_, &QRadioButton::clicked, view_,
                     [this] { UserDoes([&](User& user) { user.Choose(model_); }); });
  }

 protected:
  void SyncState() override {
    view_->setText(ToQ(model_.Caption()));
    view_->setChecked(model_.Value());
  }
};

// The forms have no default button: Enter presses the button that has the
// focus and no other, and no button is drawn as the default while the
// focus stands elsewhere (a dialog would draw its first button so, though
// Enter in a field never presses it). Enter and Space press the button
// through its click, the path of the mouse.
class ButtonBinding : public Bound<CommandButton, QPushButton> {
 public:
  ButtonBinding(FormWindow& window, CommandButton& button, QWidget* parent)
      : Bound(window, button, new QPushButton(parent)) {
    view_->setAutoDefault(false);
    QObject::connect(view_, &QPushButton::clicked, view_,
                     [this] { UserDoes([&](User& user) { user.Click(model_); }); });
  }

  // Space is the button's own (pressed down, clicked as it comes up); Enter
  // clicks at once. A key held down presses once.
  bool Filter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || watched != view_) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    if (!key->isAutoRepeat()) view_->click();
    return true;
  }

 protected:
  void SyncState() override { view_->setText(ToQ(model_.Caption())); }
};

class LabelBinding : public Bound<Label, QLabel> {
 public:
  LabelBinding(FormWindow& window, Label& label, QWidget* parent) : Bound(window, label, new QLabel(parent)) {
    view_->setTextFormat(Qt::PlainText);
  }

 protected:
  void SyncState() override {
    // Beside a field the label's "&" letter focuses the field; alone it
    // only underlines, which a label without a partner cannot show.
    view_->setText(view_->buddy() != nullptr ? ToQ(model_.Caption()) : WithoutMnemonic(model_.Caption()));
    QFont font = view_->font();
    font.setBold(model_.FontBold());
    if (const std::optional<QString> family = AvailableFamily(model_.FontName())) font.setFamily(*family);
    if (font != view_->font()) view_->setFont(font);
  }
};

// --- list box ------------------------------------------------------------------

// A list box asks for room for a few rows.
class ListBoxWidget : public QListWidget {
 public:
  using QListWidget::QListWidget;
  QSize sizeHint() const override {
    constexpr int kRows = 6;
    return {QListWidget::sizeHint().width(), kRows * (fontMetrics().height() + 2) + 2 * frameWidth()};
  }
};

class ListBoxBinding : public Bound<ListBox, QListWidget> {
 public:
  ListBoxBinding(FormWindow& window, ListBox& list, QWidget* parent)
      : Bound(window, list, new ListBoxWidget(parent)) {
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QObject::connect(view_, &QListWidget::currentRowChanged, view_, [this](int row) {
      if (row >= 0) UserDoes([&](User& user) { user.Select(model_, row); });
    });
  }

 protected:
  void SyncState() override {
    ShowEntries(view_, Entries(model_), [this](int i) { return view_->item(i)->text(); });
    const int32_t index = model_.ListIndex();
    if (view_->currentRow() != index) view_->setCurrentRow(index);
    if (index < 0) view_->clearSelection();
    SetColor(view_, QPalette::Base, model_.BackColor());
  }
};

// --- list view -----------------------------------------------------------------

Qt::Alignment AlignmentOf(ListView::Alignment a) {
  switch (a) {
    case ListView::Alignment::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case ListView::Alignment::Center:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

// Widths for columns that want `wanted` pixels (below 0: hidden) within
// `room` pixels: as wanted when they fit. Otherwise each keeps at least
// `least` (what its heading takes), or what it wants when that is less, and
// the rest of the room goes to them in proportion to what they want beyond
// that; when not even that much fits, all shrink in proportion to it.
std::vector<int> FitWidths(const std::vector<int>& wanted, const std::vector<int>& least, int room) {
  std::vector<int> kept(wanted.size(), -1);
  int64_t sumWanted = 0;
  int64_t sumKept = 0;
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (wanted[i] < 0) continue;
    kept[i] = std::min(wanted[i], std::max(least[i], 0));
    sumWanted += wanted[i];
    sumKept += kept[i];
  }
  room = std::max(room, 0);
  if (sumWanted <= room) return wanted;
  std::vector<int> widths(wanted.size(), -1);
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (wanted[i] < 0) continue;
    widths[i] = sumKept >= room
                    ? static_cast<int>(kept[i] * room / std::max<int64_t>(sumKept, 1))
                    : kept[i] + static_cast<int>((wanted[i] - kept[i]) * (room - sumKept) / (sumWanted - sumKept));
  }
  return widths;
}

// A list view asks for room for its shown columns at the widths the form
// gives them, and a few rows. Where it gets less room, the columns shrink
// to fit it, so that every column shows without scrolling sideways.
class ListViewWidget : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;

  // The widths the form gives the columns, in pixels (below 0: hidden).
  void SetColumnWidths(std::vector<int> widths) {
    if (widths == wanted_) return;
    wanted_ = std::move(widths);
    updateGeometry();
    FitColumns();
  }

  QSize sizeHint() const override {
    constexpr int kRows = 8;
    int width = 0;
    for (int w : wanted_) width += std::max(w, 0);
    const int frame = 2 * frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int row = fontMetrics().height() + 2;
    return {std::max(width, 120) + frame + bar, header()->sizeHint().height() + kRows * row + frame};
  }

 protected:
  bool viewportEvent(QEvent* event) override {
    const bool used = QTreeWidget::viewportEvent(event);
    if (event->type() == QEvent::Resize) FitColumns();
    return used;
  }

 private:
  void FitColumns() {
    std::vector<int> least(wanted_.size(), 0);
    for (size_t i = 0; i < wanted_.size(); ++i) {
      if (wanted_[i] >= 0) least[i] = header()->sectionSizeHint(static_cast<int>(i));
    }
    const std::vector<int> widths = FitWidths(wanted_, least, viewport()->width());
    for (size_t i = 0; i < widths.size(); ++i) {
      const int column = static_cast<int>(i);
      if (widths[i] >= 0 && columnWidth(column) != widths[i]) setColumnWidth(column, widths[i]);
    }
  }

  std::vector<int> wanted_;
};

class ListViewBinding : public Bound<ListView, QTreeWidget> {
 public:
  ListViewBinding(FormWindow& window, ListView& list, QWidget* parent)
      : Bound(window, list, new ListViewWidget(parent)), list_(static_cast<ListViewWidget*>(view_)) {
    view_->setRootIsDecorated(false);
    view_->setItemsExpandable(false);
    view_->setUniformRowHeights(true);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->header()->setStretchLastSection(false);
    view_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // A click selects the item (currentItemChanged), then clicks it
    // (itemClicked): one ItemClick. A click on the selected item, and a
    // move by key, are one ItemClick each too.
    QObject::connect(view_, &QTreeWidget::currentItemChanged, view_, [this](QTreeWidgetItem* item) {
      if (window_.Showing() || item == nullptr) return;
      clicked_ = item;
      ClickItem(item);
    });
    QObject::connect(view_, &QTreeWidget::itemClicked, view_, [this](QTreeWidgetItem* item) {
      if (window_.Showing()) return;
      if (item == clicked_) {
        clicked_ = nullptr;
        return;
      }
      ClickItem(item);
    });
  }

  bool Filter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) clicked_ = nullptr;
    return false;
  }

 protected:
  void SyncState() override {
    const int32_t columns = model_.ColumnCount();
    if (view_->columnCount() != std::max(columns, 1)) view_->setColumnCount(std::max(columns, 1));
    QTreeWidgetItem* header = view_->headerItem();
    if (columns == 0) header->setText(0, QString());
    const double dpi = view_->logicalDpiX();
    std::vector<int> widths(static_cast<size_t>(std::max(columns, 1)), -1);
    for (int32_t i = 1; i <= columns; ++i) {
      const ListView::ColumnHeader& c = model_.Column(i);
      header->setText(i - 1, ToQ(c.Text));
      header->setTextAlignment(i - 1, AlignmentOf(c.Align));
      view_->setColumnHidden(i - 1, c.Hidden());
      if (!c.Hidden()) widths[i - 1] = TwipsToPixels(c.Width, dpi);
    }
    list_->SetColumnWidths(std::move(widths));
    const int32_t count = model_.Count();
    while (view_->topLevelItemCount() > count) delete view_->takeTopLevelItem(view_->topLevelItemCount() - 1);
    while (view_->topLevelItemCount() < count) view_->addTopLevelItem(new QTreeWidgetItem());
    for (int32_t n = 1; n <= count; ++n) {
      const ListItem& source = model_.Item(n);
      QTreeWidgetItem* item = view_->topLevelItem(n - 1);
      const QString tip = ToQ(source.ToolTipText());
      for (int32_t i = 1; i <= std::max(columns, 1); ++i) {
        const QString text = ToQ(i == 1 ? source.Text() : source.SubItems(i - 1));
        if (item->text(i - 1) != text) item->setText(i - 1, text);
        if (i <= columns) item->setTextAlignment(i - 1, AlignmentOf(model_.Column(i).Align));
        if (item->toolTip(i - 1) != tip) item->setToolTip(i - 1, tip);
      }
    }
    QTreeWidgetItem* selected =
        model_.HasSelectedItem() ? view_->topLevelItem(model_.SelectedItem().Index() - 1) : nullptr;
    if (view_->currentItem() != selected) view_->setCurrentItem(selected);
    if (selected == nullptr) view_->clearSelection();
  }

 private:
  void ClickItem(QTreeWidgetItem* item) {
    const int32_t index = view_->indexOfTopLevelItem(item) + 1;
    window_.Act(model_, [&](User& user) { user.ClickItem(model_, index); });
  }

  ListViewWidget* list_;                 // view_, as the list view it is
  QTreeWidgetItem* clicked_ = nullptr;  // the item its selection clicked last
};

// --- date picker -------------------------------------------------------------

class DateBinding : public Bound<DatePicker, QWidget> {
 public:
  DateBinding(FormWindow& window, DatePicker& picker, QWidget* parent)
      : Bound(window, picker, new QWidget(parent)), check_(new QCheckBox(view_)), edit_(new QDateEdit(view_)) {
    auto* row = new QHBoxLayout(view_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(check_);
    row->addWidget(edit_, 1);
    // A date needs no more room than it takes.
    view_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    edit_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit_->setCalendarPopup(true);
    // A date being typed is no date yet ("2" of "2027" would be the year
    // 2): it counts when the person leaves the picker or presses Enter
    // (Commit); the arrow keys and the calendar count at once.
    edit_->setKeyboardTracking(false);
    // The day before the first date a picker takes shows as empty.
    edit_->setDateRange(QDate(100, 1, 1).addDays(-1), QDate(9999, 12, 31));
    edit_->setSpecialValueText(QStringLiteral(" "));
    QObject::connect(edit_, &QDateEdit::dateChanged, edit_, [this](QDate day) {
      std::optional<rt::Date> value;
      if (day != edit_->minimumDate()) value = KeepTime(FromQDate(day));
      UserDoes([&](User& user) { user.SetDate(model_, value); });
    });
    QObject::connect(check_, &QCheckBox::clicked, check_, [this](bool ticked) {
      std::optional<rt::Date> value;
      if (ticked) value = KeepTime(FromQDate(shown_));
      UserDoes([&](User& user) { user.SetDate(model_, value); });
    });
  }

  void Commit() override {
    if (edit_->isEnabled()) edit_->interpretText();
  }

  // The date, or the check box while an empty picker greys the date out.
  QWidget* focusTarget() const override { return edit_->isEnabled() ? static_cast<QWidget*>(edit_) : check_; }
  std::vector<QWidget*> focusChain() const override { return {check_, edit_}; }

  // Tab leaves the picker, as it leaves every other control; the arrow
  // keys move between day, month and year.
  bool Filter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) return false;
    window_.Tab(key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier) == 0);
    return true;
  }

 protected:
  void SyncState() override {
    const std::optional<rt::Date> value = model_.Value();
    const bool mayEmpty = model_.AllowEmpty();
    check_->setVisible(mayEmpty);
    check_->setChecked(value.has_value());
    if (value) shown_ = ToQDate(*value);
    if (!shown_.isValid()) shown_ = ToQDate(rt::Today());
    // An empty picker the user may empty shows its last date greyed; one
    // the user may not empty shows nothing.
    edit_->setEnabled(value.has_value() || !mayEmpty);
    const QDate day = value || mayEmpty ? shown_ : edit_->minimumDate();
    if (edit_->date() != day) edit_->setDate(day);
  }

 private:
  // The chosen day keeps the time of day the picker's value had.
  std::optional<rt::Date> KeepTime(rt::Date day) const {
    const std::optional<rt::Date> old = model_.Value();
    if (old && old->serial > 0) day.serial += old->serial - rt::DateOnly(*old).serial;
    return day;
  }

  QCheckBox* check_;
  QDateEdit* edit_;
  QDate shown_;  // the date the picker shows when empty
};

// --- containers ------------------------------------------------------------------

class FrameBinding : public Bound<Frame, QGroupBox> {
 public:
  FrameBinding(FormWindow& window, Frame& frame, QWidget* parent) : Bound(window, frame, new QGroupBox(parent)) {}

 protected:
  void SyncState() override { view_->setTitle(ToQ(model_.Caption())); }
};

class DrawnBinding : public Bound<UserControl, DrawnWidget> {
 public:
  DrawnBinding(FormWindow& window, UserControl& control, QWidget* parent)
      : Bound(window, control, new DrawnWidget(control, parent)) {}

 protected:
  void SyncState() override {
    SetColor(view_, QPalette::Window, model_.BackColor());
    view_->update();
  }
};

}  // namespace

std::unique_ptr<Binding> MakeBinding(FormWindow& window, Control& control, QWidget* parent, int lines) {
  if (auto* c = dynamic_cast<TextBox*>(&control)) return std::make_unique<TextBinding>(window, *c, parent, lines);
  if (auto* c = dynamic_cast<ComboBox*>(&control)) return std::make_unique<ComboBinding>(window, *c, parent);
  if (auto* c = dynamic_cast<CheckBox*>(&control)) return std::make_unique<CheckBinding>(window, *c, parent);
  if (auto* c = dynamic_cast<OptionButton*>(&control)) return std::make_unique<OptionBinding>(window, *c, parent);
  if (auto* c = dynamic_cast<CommandButton*>(&control)) return std::make_unique<ButtonBinding>(window, *c, parent);
  if (auto* c = dynamic_cast<Label*>(&control)) return std::make_unique<LabelBinding>(window, *c, parent);
  if (auto* c = dynamic_cast<ListBox*>(&control)) return std::make_unique<ListBoxBinding>(window, *c, parent);
  if (auto* c = dynamic_cast<ListView*>(&control)) return std::make_unique<ListViewBinding>(window, *c, parent);
  if (auto* c = dynamic_cast<DatePicker*>(&control)) return std::make_unique<DateBinding>(window, *c, parent);
  if (auto* c = dynamic_cast<Frame*>(&control)) return std::make_unique<FrameBinding>(window, *c, parent);
  if (auto* c = dynamic_cast<UserControl*>(&control)) return std::make_unique<DrawnBinding>(window, *c, parent);
  throw std::logic_error("no widget for the control " + control.Name());
}

}  // namespace ui::qt
