// A person's actions on the widgets reach the controls through the dialog
// layer's rules: key filters, Change and Click events, focus moves with
// validation, refused actions leaving no trace on screen.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "platform/ui/ui_fixture.h"
#include "qt_fixture.h"

namespace qttest {
namespace {

using Log = std::vector<std::string>;

class QtUiInput : public QtUi {
 protected:
  void SetUp() override {
    QtUi::SetUp();
    f = uitest::NewLoadedForm();
    f->lvwTypes.AddColumn("Typ", 1500);
    f->lvwTypes.AddColumn("Dauer", 800, ui::ListView::Alignment::Right);
    for (const char* type : {"Wartung", "Miete", "Leasing"}) f->lvwTypes.Add(type).SetSubItems(1, "12");
    for (const char* period : {"01.01.2024 - 31.03.2024", "01.04.2024 - 30.06.2024"}) f->lstInvoices.AddItem(period);
    f->DTPBeginn.SetValue(rt::DateSerial(2024, 3, 15));
    f->log.clear();
  }

  // Clicks a check box or option button on its box, where a person does.
  static void ClickBox(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }

  std::shared_ptr<uitest::TestForm> f;
};

TEST_F(QtUiInput, TypedKeysPassTheKeyFilterAndEditAtTheCaret) {
  // Digits and the comma pass, a full stop becomes a comma, the rest is
  // swallowed.
  f->txtRabatt.OnKeyPress = [](int16_t& key) {
    if (key == '.') key = ',';
    if (key != 8 && key != ',' && (key < '0' || key > '9')) key = 0;
  };
  f->txtRabatt.OnChange = [this] { f->log.push_back("txtRabatt_Change:" + f->txtRabatt.Text()); };
  ui::qt::FormWindow& w = Open(f);
  auto* rabatt = Widget<QLineEdit>(w, f->txtRabatt);
  ASSERT_NE(rabatt, nullptr);

  QTest::keyClicks(rabatt, "1x.5");
  EXPECT_EQ(f->txtRabatt.Text(), "1,5");
  EXPECT_EQ(rabatt->text(), "1,5");
  EXPECT_TRUE(f->txtRabatt.HasFocus());
  EXPECT_EQ(f->log, (Log{"txtRabatt_Change:1", "txtRabatt_Change:1,", "txtRabatt_Change:1,5"}));

  // At the caret, not at the end; Backspace and Delete edit where it is.
  QTest::keyClick(rabatt, Qt::Key_Home);
  QTest::keyClicks(rabatt, "2");
  EXPECT_EQ(f->txtRabatt.Text(), "21,5");
  QTest::keyClick(rabatt, Qt::Key_Delete);  // no key for the filter
  EXPECT_EQ(f->txtRabatt.Text(), "2,5");
  QTest::keyClick(rabatt, Qt::Key_End);
  QTest::keyClick(rabatt, Qt::Key_Backspace);
  EXPECT_EQ(f->txtRabatt.Text(), "2,");

  // A Change handler that rewrites the text shows at once.
  f->txtDauer.OnChange = [this] {
    if (f->txtDauer.Text() == "0") f->txtDauer.SetText("");
  };
  auto* dauer = Widget<QLineEdit>(w, f->txtDauer);
  dauer->selectAll();
  QTest::keyClicks(dauer, "0");
  EXPECT_EQ(f->txtDauer.Text(), "");
  EXPECT_EQ(dauer->text(), "");
  EXPECT_TRUE(f->txtDauer.HasFocus());
}

TEST_F(QtUiInput, NoteOfSeveralLinesKeepsItsLineBreaksAsCrLf) {
  std::vector<int16_t> keys;
  f->txtRabatt.OnKeyPress = [&](int16_t& key) { keys.push_back(key); };
  f->txtRabatt.SetText("erste\r\nzweite");
  ui::qt::FormLayout layout;
  layout.rows = {{ui::qt::Lines("txtRabatt", 3)}};
  ui::qt::FormWindow& w = Open(f, layout);
  auto* note = Widget<QPlainTextEdit>(w, f->txtRabatt);
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->toPlainText(), "erste\nzweite");

  f->txtRabatt.SetFocus();
  note->moveCursor(QTextCursor::End);
  QTest::keyClick(note, Qt::Key_Return);
  QTest::keyClicks(note, "3");
  EXPECT_EQ(f->txtRabatt.Text(), "erste\r\nzweite\r\n3");
  EXPECT_EQ(keys, (std::vector<int16_t>{13, '3'}));

  // Tab leaves the note instead of going into it.
  QTest::keyClick(note, Qt::Key_Tab);
  EXPECT_FALSE(f->txtRabatt.HasFocus());
  EXPECT_EQ(f->txtRabatt.Text(), "erste\r\nzweite\r\n3");
}

TEST_F(QtUiInput, ClicksChoicesAndDatesReachTheControls) {
  ui::qt::FormWindow& w = Open(f);

  ClickBox(Widget<QCheckBox>(w, f->chkFlag));
  ClickBox(Widget<QRadioButton>(w, f->optB));
  ClickBox(Widget<QRadioButton>(w, f->optB));  // already chosen: no click
  ClickBox(Widget<QCheckBox>(w, f->chkFlag));
  EXPECT_EQ(f->log, (Log{"chkFlag_Click:1", "optB_Click", "chkFlag_Click:0"}));
  EXPECT_FALSE(f->optA.Value());
  EXPECT_FALSE(Widget<QRadioButton>(w, f->optA)->isChecked());
  EXPECT_TRUE(Widget<QRadioButton>(w, f->optB)->isChecked());
  EXPECT_EQ(Widget<QCheckBox>(w, f->chkFlag)->checkState(), Qt::Unchecked);

  // A drop-down list by keyboard, an editable combo by typing.
  f->log.clear();
  auto* period = Widget<QComboBox>(w, f->cboPeriod);
  QTest::mouseClick(period, Qt::LeftButton);  // takes the focus (and opens the list)
  QTest::keyClick(QApplication::activePopupWidget() ? QApplication::activePopupWidget() : period, Qt::Key_Escape);
  QTest::keyClick(period, Qt::Key_Down);
  EXPECT_EQ(f->cboPeriod.ListIndex(), 1);
  auto* unit = Widget<QComboBox>(w, f->cboUnit);
  QTest::keyClicks(unit->lineEdit(), "kg");
  EXPECT_EQ(f->cboUnit.Text(), "kg");
  EXPECT_TRUE(f->cboUnit.HasFocus());

  // Lists: a click selects; a list view clicks its item once per click.
  auto* invoices = Widget<QListWidget>(w, f->lstInvoices);
  QTest::mouseClick(invoices->viewport(), Qt::LeftButton, {}, invoices->visualItemRect(invoices->item(1)).center());
  EXPECT_EQ(f->lstInvoices.ListIndex(), 1);
  auto* types = Widget<QTreeWidget>(w, f->lvwTypes);
  const QPoint second = types->visualItemRect(types->topLevelItem(1)).center();
  QTest::mouseClick(types->viewport(), Qt::LeftButton, {}, second);
  QTest::mouseClick(types->viewport(), Qt::LeftButton, {}, second);
  QTest::keyClick(types, Qt::Key_Down);
  EXPECT_EQ(f->log, (Log{"cboPeriod_Click:1", "lstInvoices_Click:1", "lvwTypes_ItemClick:2", "lvwTypes_ItemClick:2",
                         "lvwTypes_ItemClick:3"}));
  EXPECT_EQ(f->lvwTypes.SelectedItem().Index(), 3);

  // A date by its arrow key: the day goes up by one.
  f->log.clear();
  auto* beginn = FocusWidget<QDateEdit>(w, f->DTPBeginn);
  ASSERT_NE(beginn, nullptr);
  f->DTPBeginn.SetFocus();
  beginn->setSelectedSection(QDateTimeEdit::DaySection);
  QTest::keyClick(beginn, Qt::Key_Up);
  EXPECT_EQ(f->DTPBeginn.Value(), rt::DateSerial(2024, 3, 16));
  EXPECT_EQ(f->log, (Log{"DTPBeginn_Change"}));

  QTest::mouseClick(Widget<QPushButton>(w, f->cmdOK), Qt::LeftButton);
  EXPECT_EQ(f->log.back(), "cmdOK_Click");
}

TEST_F(QtUiInput, PickerTheUserMayEmptyHasACheckBox) {
  f->DTPBeginn.SetAllowEmpty(true);
  ui::qt::FormWindow& w = Open(f);
  QWidget* picker = w.WidgetOf(f->DTPBeginn);
  auto* check = picker->findChild<QCheckBox*>();
  auto* edit = picker->findChild<QDateEdit*>();
  ASSERT_TRUE(check != nullptr && edit != nullptr);
  EXPECT_TRUE(check->isVisible());
  EXPECT_TRUE(check->isChecked());

  QTest::mouseClick(check, Qt::LeftButton);
  EXPECT_EQ(f->DTPBeginn.Value(), std::nullopt);
  EXPECT_FALSE(edit->isEnabled());
  EXPECT_EQ(edit->date(), QDate(2024, 3, 15));  // the last date stays, greyed
  QTest::mouseClick(check, Qt::LeftButton);
  EXPECT_EQ(f->DTPBeginn.Value(), rt::DateSerial(2024, 3, 15));
  EXPECT_EQ(f->log, (Log{"DTPBeginn_Change", "DTPBeginn_Change"}));

  // A picker the user may not empty shows no check box, and empty from code
  // it shows no date.
  f->DTPBeginn.SetAllowEmpty(false);
  f->DTPBeginn.SetValue(std::nullopt);
  EXPECT_FALSE(check->isVisible());
  EXPECT_EQ(edit->text().trimmed(), "");
}

TEST_F(QtUiInput, CancelledValidationSwallowsClicksKeysAndTab) {
  int validations = 0;
  f->txtRabatt.OnValidate = [&](bool& cancel) {
    ++validations;
    cancel = f->txtRabatt.Text().empty();
  };
  f->txtRabatt.SetText("");
  f->txtRabatt.SetFocus();
  f->log.clear();
  ui::qt::FormWindow& w = Open(f);
  EXPECT_EQ(FocusedControl(w), &f->txtRabatt);

  struct Case {
    const char* what;
    std::function<void()> act;
  };
  const std::vector<Case> refused = {
      {"button", [&] { QTest::mouseClick(Widget<QPushButton>(w, f->cmdOK), Qt::LeftButton); }},
      {"check box", [&] { ClickBox(Widget<QCheckBox>(w, f->chkFlag)); }},
      {"text box", [&] { QTest::mouseClick(Widget<QLineEdit>(w, f->txtDauer), Qt::LeftButton); }},
      {"key into another box", [&] { QTest::keyClicks(Widget<QLineEdit>(w, f->txtDauer), "7"); }},
      {"Tab", [&] { QTest::keyClick(Widget<QLineEdit>(w, f->txtRabatt), Qt::Key_Tab); }},
      {"list item",
       [&] {
         auto* list = Widget<QListWidget>(w, f->lstInvoices);
         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
       }},
  };
  int expected = 0;
  for (const Case& c : refused) {
    c.act();
    EXPECT_EQ(validations, ++expected) << c.what;
    EXPECT_TRUE(f->log.empty()) << c.what;
    EXPECT_TRUE(f->txtRabatt.HasFocus()) << c.what;
    EXPECT_EQ(FocusedControl(w), &f->txtRabatt) << c.what;
  }
  EXPECT_EQ(f->chkFlag.Value(), 0);
  EXPECT_EQ(Widget<QCheckBox>(w, f->chkFlag)->checkState(), Qt::Unchecked);
  EXPECT_EQ(Widget<QListWidget>(w, f->lstInvoices)->currentRow(), -1);
  EXPECT_EQ(f->txtDauer.Text(), "12");

  // Filled in, the field lets the focus go: Tab moves in the layout's order.
  QTest::keyClicks(Widget<QLineEdit>(w, f->txtRabatt), "3");
  QTest::keyClick(Widget<QLineEdit>(w, f->txtRabatt), Qt::Key_Tab);
  EXPECT_EQ(f->ActiveControl(), &f->chkFlag);
  EXPECT_EQ(FocusedControl(w), &f->chkFlag);
  QTest::mouseClick(Widget<QPushButton>(w, f->cmdOK), Qt::LeftButton);
  EXPECT_EQ(f->log, (Log{"cmdOK_Click"}));
  EXPECT_TRUE(f->cmdOK.HasFocus());
}

TEST_F(QtUiInput, EnterAndSpacePressOnlyTheFocusedButton) {
  std::vector<int16_t> keys;
  f->txtRabatt.OnKeyPress = [&](int16_t& key) { keys.push_back(key); };
  ui::qt::FormWindow& w = Open(f);
  auto* ok = Widget<QPushButton>(w, f->cmdOK);
  auto* cancel = Widget<QPushButton>(w, f->cmdCancel);
  // The form has no default button, and none is drawn as one.
  const auto drawnAsDefault = [&] { return ok->isDefault() || cancel->isDefault(); };
  EXPECT_FALSE(drawnAsDefault());

  // Elsewhere Enter is the field's: a text box's key filter gets it, a
  // date being typed counts, a list clicks nothing; no button is pressed.
  auto* rabatt = Widget<QLineEdit>(w, f->txtRabatt);
  QTest::mouseClick(rabatt, Qt::LeftButton);
  QTest::keyClick(rabatt, Qt::Key_Return);
  QTest::keyClick(rabatt, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(keys, (std::vector<int16_t>{13, 13}));
  EXPECT_EQ(f->txtRabatt.Text(), "");
  auto* beginn = FocusWidget<QDateEdit>(w, f->DTPBeginn);
  f->DTPBeginn.SetFocus();
  beginn->setSelectedSection(QDateTimeEdit::DaySection);
  QTest::keyClicks(beginn, "20");
  EXPECT_EQ(f->DTPBeginn.Value(), rt::DateSerial(2024, 3, 15));
  QTest::keyClick(beginn, Qt::Key_Return);
  EXPECT_EQ(f->DTPBeginn.Value(), rt::DateSerial(2024, 3, 20));
  auto* types = Widget<QTreeWidget>(w, f->lvwTypes);
  QTest::mouseClick(types->viewport(), Qt::LeftButton, {}, types->visualItemRect(types->topLevelItem(0)).center());
  QTest::keyClick(types, Qt::Key_Return);
  EXPECT_EQ(f->log, (Log{"DTPBeginn_Change", "lvwTypes_ItemClick:1"}));
  EXPECT_FALSE(drawnAsDefault());

  // On a button Enter presses that button, by Tab or by the form's focus;
  // Enter held down presses it once.
  f->log.clear();
  f->cmdOK.SetFocus();
  QTest::keyClick(w.dialog().focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(FocusedControl(w), &f->cmdCancel);
  EXPECT_FALSE(drawnAsDefault());
  QTest::keyClick(cancel, Qt::Key_Return);
  QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
  QApplication::sendEvent(cancel, &held);
  EXPECT_EQ(f->log, (Log{"cmdCancel_Click"}));
  f->cmdOK.SetFocus();
  QTest::keyClick(ok, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(ok, Qt::Key_Space);
  EXPECT_EQ(f->log, (Log{"cmdCancel_Click", "cmdOK_Click", "cmdOK_Click"}));

  // A cancelled validation keeps the focus from the button: Enter there
  // is the text box's.
  f->log.clear();
  f->txtRabatt.OnValidate = [](bool& cancelled) { cancelled = true; };
  f->txtRabatt.SetFocus();
  QTest::keyClick(w.dialog().focusWidget(), Qt::Key_Tab);
  QTest::keyClick(w.dialog().focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(f->log.empty());
  EXPECT_EQ(FocusedControl(w), &f->txtRabatt);
}

}  // namespace
}  // namespace qttest
