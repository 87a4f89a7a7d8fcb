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
#include <QTreeWidget>

#include <cmath>
#include <stdexcept>
#include <type_traits>

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

// Entries of a list widget equal to the control's, or replaced by them.
template <class Widget, class Count, class Text>
void SyncEntries(Widget* w, int32_t count, Count widgetCount, Text entry) {
  bool same = widgetCount() == count;
  QStringList entries;
  for (int32_t i = 0; i < count; ++i) {
    entries << entry(i);
  }
  for (int32_t i = 0; same && i < count; ++i) {
    if constexpr (std::is_same_v<Widget, QComboBox>) {
      same = w->itemText(i) == entries[i];
    } else {
      same = w->item(i)->text() == entries[i];
    }
  }
  if (same) return;
  w->clear();
  w->addItems(entries);
}

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

class TextBinding : public Binding {
 public:
  TextBinding(FormWindow& window, TextBox& box, QWidget* parent, int lines) : Binding(window, box), box_(box) {
    if (lines > 0) {
      plain_ = new QPlainTextEdit(parent);
      plain_->setTabChangesFocus(true);
      const int height = plain_->fontMetrics().lineSpacing() * lines + 2 * plain_->frameWidth() +
                         2 * static_cast<int>(std::ceil(plain_->document()->documentMargin()));
      plain_->setFixedHeight(height);
      plain_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
      QObject::connect(plain_, &QPlainTextEdit::textChanged, plain_, [this] { Edited(); });
      SetWidget(plain_);
    } else {
      line_ = new QLineEdit(parent);
      QObject::connect(line_, &QLineEdit::textEdited, line_, [this] { Edited(); });
      SetWidget(line_);
    }
  }

  bool Filter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || watched != widget()) return false;
    const int16_t code = KeyCode(*static_cast<QKeyEvent*>(event));
    if (code == 0) return false;
    window_.Act(box_, [&](User& user) {
      int16_t key = code;
      if (!user.PressKey(box_, key) || key == 0) return;
      Apply(key);
      user.Edit(box_, Text());
    });
    return true;
  }

 protected:
  void SyncState() override {
    const std::string& text = box_.Text();
    if (Text() != text) {
      if (line_ != nullptr) {
        const int caret = line_->cursorPosition();
        line_->setText(ToQ(text));
        line_->setCursorPosition(std::min<int>(caret, static_cast<int>(line_->text().size())));
      } else {
        plain_->setPlainText(ToEditLines(text));
      }
    }
    SetColor(widget(), QPalette::Text, box_.ForeColor());
    Qt::Alignment align = Qt::AlignLeft;
    if (box_.GetAlignment() == TextBox::Alignment::Right) align = Qt::AlignRight;
    if (box_.GetAlignment() == TextBox::Alignment::Center) align = Qt::AlignHCenter;
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
    if (window_.Showing() || applying_) return;
    window_.Act(box_, [&](User& user) {
      if (user.MoveFocus(box_)) user.Edit(box_, Text());
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

  TextBox& box_;
  QLineEdit* line_ = nullptr;
  QPlainTextEdit* plain_ = nullptr;
  bool applying_ = false;
};

// --- combo box --------------------------------------------------------------

class ComboBinding : public Binding {
 public:
  ComboBinding(FormWindow& window, ComboBox& combo, QWidget* parent)
      : Binding(window, combo), combo_(combo), widget_(new QComboBox(parent)) {
    widget_->setInsertPolicy(QComboBox::NoInsert);
    if (combo.GetStyle() == ComboBox::Style::Editable) {
      widget_->setEditable(true);
      widget_->setCompleter(nullptr);
      QObject::connect(widget_->lineEdit(), &QLineEdit::textEdited, widget_, [this](const QString& text) {
        if (!window_.Showing()) window_.Act(combo_, [&](User& user) { user.Type(combo_, FromQ(text)); });
      });
    }
    QObject::connect(widget_, &QComboBox::activated, widget_, [this](int index) {
      if (!window_.Showing()) window_.Act(combo_, [&](User& user) { user.Select(combo_, index); });
    });
    SetWidget(widget_);
  }

 protected:
  void SyncState() override {
    SyncEntries(
        widget_, combo_.ListCount(), [this] { return widget_->count(); },
        [this](int32_t i) { return ToQ(combo_.List(i)); });
    if (widget_->currentIndex() != combo_.ListIndex()) widget_->setCurrentIndex(combo_.ListIndex());
    if (widget_->isEditable() && widget_->currentText() != ToQ(combo_.Text())) {
      widget_->setEditText(ToQ(combo_.Text()));
    }
  }

 private:
  ComboBox& combo_;
  QComboBox* widget_;
};

// --- check box, option button, command button -----------------------------------

class CheckBinding : public Binding {
 public:
  CheckBinding(FormWindow& window, CheckBox& box, QWidget* parent)
      : Binding(window, box), box_(box), widget_(new QCheckBox(parent)) {
    QObject::connect(widget_, &QCheckBox::clicked, widget_, [this] {
      if (window_.Showing()) return;
      window_.Act(box_, [&](User& user) {
        if (box_.Value() == CheckBox::Checked) user.Untick(box_);
        else user.Tick(box_);
      });
    });
    SetWidget(widget_);
  }

 protected:
  void SyncState() override {
    widget_->setText(ToQ(box_.Caption()));
    const int16_t value = box_.Value();
    widget_->setTristate(value == CheckBox::Grayed);
    widget_->setCheckState(value == CheckBox::Checked  ? Qt::Checked
                           : value == CheckBox::Grayed ? Qt::PartiallyChecked
                                                       : Qt::Unchecked);
  }

 private:
  CheckBox& box_;
  QCheckBox* widget_;
};

class OptionBinding : public Binding {
 public:
  OptionBinding(FormWindow& window, OptionButton& option, QWidget* parent)
      : Binding(window, option), option_(option), widget_(new QRadioButton(parent)) {
    // The group is the control's container; the control decides.
    widget_->setAutoExclusive(false);
    QObject::connect(widget_, &QRadioButton::clicked, widget_, [this] {
      if (!window_.Showing()) window_.Act(option_, [&](User& user) { user.Choose(option_); });
    });
    SetWidget(widget_);
  }

 protected:
  void SyncState() override {
    widget_->setText(ToQ(option_.Caption()));
    widget_->setChecked(option_.Value());
  }

 private:
  OptionButton& option_;
  QRadioButton* widget_;
};

class ButtonBinding : public Binding {
 public:
  ButtonBinding(FormWindow& window, CommandButton& button, QWidget* parent)
      : Binding(window, button), button_(button), widget_(new QPushButton(parent)) {
    QObject::connect(widget_, &QPushButton::clicked, widget_, [this] {
      if (!window_.Showing()) window_.Act(button_, [&](User& user) { user.Click(button_); });
    });
    SetWidget(widget_);
  }

 protected:
  void SyncState() override { widget_->setText(ToQ(button_.Caption())); }

 private:
  CommandButton& button_;
  QPushButton* widget_;
};

// --- label -------------------------------------------------------------------------

class LabelBinding : public Binding {
 public:
  LabelBinding(FormWindow& window, Label& label, QWidget* parent)
      : Binding(window, label), label_(label), widget_(new QLabel(parent)) {
    widget_->setTextFormat(Qt::PlainText);
    SetWidget(widget_);
  }

 protected:
  void SyncState() override {
    // Beside a field the label's "&" letter focuses the field; alone it
    // only underlines, which a label without a partner cannot show.
    widget_->setText(widget_->buddy() != nullptr ? ToQ(label_.Caption()) : WithoutMnemonic(label_.Caption()));
    QFont font = widget_->font();
    font.setBold(label_.FontBold());
    if (const std::optional<QString> family = AvailableFamily(label_.FontName())) font.setFamily(*family);
    if (font != widget_->font()) widget_->setFont(font);
  }

 private:
  Label& label_;
  QLabel* widget_;
};

// --- list box ------------------------------------------------------------------

class ListBoxBinding : public Binding {
 public:
  ListBoxBinding(FormWindow& window, ListBox& list, QWidget* parent)
      : Binding(window, list), list_(list), widget_(new QListWidget(parent)) {
    widget_->setSelectionMode(QAbstractItemView::SingleSelection);
    widget_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QObject::connect(widget_, &QListWidget::currentRowChanged, widget_, [this](int row) {
      if (!window_.Showing() && row >= 0) window_.Act(list_, [&](User& user) { user.Select(list_, row); });
    });
    SetWidget(widget_);
  }

 protected:
  void SyncState() override {
    SyncEntries(
        widget_, list_.ListCount(), [this] { return widget_->count(); },
        [this](int32_t i) { return ToQ(list_.List(i)); });
    const int32_t index = list_.ListIndex();
    if (widget_->currentRow() != index) widget_->setCurrentRow(index);
    if (index < 0) widget_->clearSelection();
    SetColor(widget_, QPalette::Base, list_.BackColor());
  }

 private:
  ListBox& list_;
  QListWidget* widget_;
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

class ListViewBinding : public Binding {
 public:
  ListViewBinding(FormWindow& window, ListView& list, QWidget* parent)
      : Binding(window, list), list_(list), widget_(new QTreeWidget(parent)) {
    widget_->setRootIsDecorated(false);
    widget_->setItemsExpandable(false);
    widget_->setUniformRowHeights(true);
    widget_->setAllColumnsShowFocus(true);
    widget_->setSelectionMode(QAbstractItemView::SingleSelection);
    widget_->setSelectionBehavior(QAbstractItemView::SelectRows);
    widget_->header()->setStretchLastSection(false);
    widget_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // A click selects the item (currentItemChanged), then clicks it
    // (itemClicked): one ItemClick. A click on the selected item, and a
    // move by key, are one ItemClick each too.
    QObject::connect(widget_, &QTreeWidget::currentItemChanged, widget_, [this](QTreeWidgetItem* item) {
      if (window_.Showing() || item == nullptr) return;
      clicked_ = item;
      ClickItem(item);
    });
    QObject::connect(widget_, &QTreeWidget::itemClicked, widget_, [this](QTreeWidgetItem* item) {
      if (window_.Showing()) return;
      if (item == clicked_) {
        clicked_ = nullptr;
        return;
      }
      ClickItem(item);
    });
    SetWidget(widget_);
  }

  bool Filter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) clicked_ = nullptr;
    return false;
  }

 protected:
  void SyncState() override {
    const int32_t columns = list_.ColumnCount();
    if (widget_->columnCount() != std::max(columns, 1)) widget_->setColumnCount(std::max(columns, 1));
    QTreeWidgetItem* header = widget_->headerItem();
    if (columns == 0) header->setText(0, QString());
    const double dpi = widget_->logicalDpiX();
    for (int32_t i = 1; i <= columns; ++i) {
      const ListView::ColumnHeader& c = list_.Column(i);
      header->setText(i - 1, ToQ(c.Text));
      header->setTextAlignment(i - 1, AlignmentOf(c.Align));
      widget_->setColumnHidden(i - 1, c.Hidden());
      if (!c.Hidden()) widget_->setColumnWidth(i - 1, TwipsToPixels(c.Width, dpi));
    }
    const int32_t count = list_.Count();
    while (widget_->topLevelItemCount() > count) delete widget_->takeTopLevelItem(widget_->topLevelItemCount() - 1);
    while (widget_->topLevelItemCount() < count) widget_->addTopLevelItem(new QTreeWidgetItem());
    for (int32_t n = 1; n <= count; ++n) {
      const ListItem& source = list_.Item(n);
      QTreeWidgetItem* item = widget_->topLevelItem(n - 1);
      const QString tip = ToQ(source.ToolTipText());
      for (int32_t i = 1; i <= std::max(columns, 1); ++i) {
        const QString text = ToQ(i == 1 ? source.Text() : source.SubItems(i - 1));
        if (item->text(i - 1) != text) item->setText(i - 1, text);
        if (i <= columns) item->setTextAlignment(i - 1, AlignmentOf(list_.Column(i).Align));
        if (item->toolTip(i - 1) != tip) item->setToolTip(i - 1, tip);
      }
    }
    QTreeWidgetItem* selected = list_.HasSelectedItem() ? widget_->topLevelItem(list_.SelectedItem().Index() - 1) : nullptr;
    if (widget_->currentItem() != selected) widget_->setCurrentItem(selected);
    if (selected == nullptr) widget_->clearSelection();
  }

 private:
  void ClickItem(QTreeWidgetItem* item) {
    const int32_t index = widget_->indexOfTopLevelItem(item) + 1;
    window_.Act(list_, [&](User& user) { user.ClickItem(list_, index); });
  }

  ListView& list_;
  QTreeWidget* widget_;
  QTreeWidgetItem* clicked_ = nullptr;  // the item its selection clicked last
};

// --- date picker -------------------------------------------------------------

class DateBinding : public Binding {
 public:
  DateBinding(FormWindow& window, DatePicker& picker, QWidget* parent)
      : Binding(window, picker),
        picker_(picker),
        box_(new QWidget(parent)),
        check_(new QCheckBox(box_)),
        edit_(new QDateEdit(box_)) {
    auto* row = new QHBoxLayout(box_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(check_);
    row->addWidget(edit_, 1);
    edit_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit_->setCalendarPopup(true);
    // The day before the first date a picker takes shows as empty.
    edit_->setDateRange(QDate(100, 1, 1).addDays(-1), QDate(9999, 12, 31));
    edit_->setSpecialValueText(QStringLiteral(" "));
    QObject::connect(edit_, &QDateEdit::dateChanged, edit_, [this](QDate day) {
      if (window_.Showing()) return;
      if (day == edit_->minimumDate()) {
        window_.Act(picker_, [&](User& user) { user.SetDate(picker_, std::nullopt); });
      } else {
        window_.Act(picker_, [&](User& user) { user.SetDate(picker_, KeepTime(FromQDate(day))); });
      }
    });
    QObject::connect(check_, &QCheckBox::clicked, check_, [this](bool ticked) {
      if (window_.Showing()) return;
      window_.Act(picker_, [&](User& user) {
        if (ticked) user.SetDate(picker_, KeepTime(FromQDate(shown_)));
        else user.SetDate(picker_, std::nullopt);
      });
    });
    SetWidget(box_);
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
    const std::optional<rt::Date> value = picker_.Value();
    const bool mayEmpty = picker_.AllowEmpty();
    check_->setVisible(mayEmpty);
    check_->setChecked(value.has_value());
    if (value) shown_ = ToQDate(*value);
    if (!shown_.isValid()) shown_ = ToQDate(rt::Today());
    // An empty picker the user may empty shows its last date greyed; one
    // the user may not empty shows nothing.
    edit_->setEnabled(value.has_value() || !mayEmpty);
    const QDate day = value ? shown_ : (mayEmpty ? shown_ : edit_->minimumDate());
    if (edit_->date() != day) edit_->setDate(day);
  }

 private:
  // The chosen day keeps the time of day the picker's value had.
  std::optional<rt::Date> KeepTime(rt::Date day) const {
    const std::optional<rt::Date> old = picker_.Value();
    if (old && old->serial > 0) day.serial += old->serial - rt::DateOnly(*old).serial;
    return day;
  }

  DatePicker& picker_;
  QWidget* box_;
  QCheckBox* check_;
  QDateEdit* edit_;
  QDate shown_;  // the date the picker shows when empty
};

// --- containers ------------------------------------------------------------------

class FrameBinding : public Binding {
 public:
  FrameBinding(FormWindow& window, Frame& frame, QWidget* parent)
      : Binding(window, frame), frame_(frame), widget_(new QGroupBox(parent)) {
    SetWidget(widget_);
  }

 protected:
  void SyncState() override { widget_->setTitle(ToQ(frame_.Caption())); }

 private:
  Frame& frame_;
  QGroupBox* widget_;
};

class DrawnBinding : public Binding {
 public:
  DrawnBinding(FormWindow& window, UserControl& control, QWidget* parent)
      : Binding(window, control), control_(control), widget_(new DrawnWidget(control, parent)) {
    SetWidget(widget_);
  }

 protected:
  void SyncState() override {
    SetColor(widget_, QPalette::Window, control_.BackColor());
    widget_->update();
  }

 private:
  UserControl& control_;
  DrawnWidget* widget_;
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
