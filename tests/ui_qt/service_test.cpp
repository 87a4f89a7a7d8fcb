// The Qt service: message boxes, modal display until the form hides, and
// yielding to pending events.
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/qt/conversions.h"
#include "platform/ui/scripted_service.h"
#include "platform/ui/ui_fixture.h"
#include "qt_fixture.h"

namespace qttest {
namespace {

class QtUiService : public QtUi {};

// What a box showed, and the button the test pressed.
struct Shown {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString defaultButton;
};

// Looks at the box on top as soon as it shows and presses `press` (or the
// default button when empty).
Shown AnswerSoon(Shown& shown, const QString& press) {
  Soon([&shown, press] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown.title = box->windowTitle();
    shown.text = box->text();
    shown.icon = box->icon();
    for (QAbstractButton* b : box->buttons()) shown.buttons << b->text().remove('&');
    shown.defaultButton = box->defaultButton() != nullptr ? box->defaultButton()->text().remove('&') : "";
    QAbstractButton* target = box->defaultButton();
    for (QAbstractButton* b : box->buttons()) {
      if (b->text().remove('&') == press) target = b;
    }
    QTest::mouseClick(target, Qt::LeftButton);
  });
  return shown;
}

TEST_F(QtUiService, MessageBoxesShowTitleIconButtonsAndDefault) {
  struct Case {
    std::string prompt;
    int style;
    std::optional<std::string> title;
    QString press;  // empty: the default button
    // expected
    QString title_;
    QMessageBox::Icon icon;
    QStringList buttons;
    QString defaultButton;
    ui::MsgResult answer;
  };
  const std::vector<Case> cases = {
      {"Geben Sie dem Vertragstyp bitte einen Namen !", ui::mb::IconInformation, "Bitte ändern ...", "",
       "Bitte ändern ...", QMessageBox::Information, {"OK"}, "OK", ui::MsgResult::Ok},
      {"Fehler &H5B\r\n(Objektvariable nicht festgelegt)\r\nin kt_FNewContract.cmdOK_Click", ui::mb::OkOnly,
       std::nullopt, "", "kelPaktor2", QMessageBox::NoIcon, {"OK"}, "OK", ui::MsgResult::Ok},
      {"Sie haben keine Vertragspositionen eingegeben!\r\nHaben Sie das gewollt?", 292,
       "Vertrag ohne Rechnungslegung?", "", "Vertrag ohne Rechnungslegung?", QMessageBox::Question, {"Yes", "No"},
       "No", ui::MsgResult::No},
      {"Wirklich löschen?", ui::mb::YesNo + ui::mb::IconQuestion, "Kelmaris Paktor", "", "Kelmaris Paktor",
       QMessageBox::Question, {"Yes", "No"}, "Yes", ui::MsgResult::Yes},
      {"Wirklich löschen?", 292, "Kelmaris Paktor", "Yes", "Kelmaris Paktor", QMessageBox::Question, {"Yes", "No"},
       "No", ui::MsgResult::Yes},
      {"< kein Workflow >", ui::mb::IconExclamation, "Kelmaris Paktor", "", "Kelmaris Paktor", QMessageBox::Warning,
       {"OK"}, "OK", ui::MsgResult::Ok},
  };
  for (const Case& c : cases) {
    Shown shown;
    AnswerSoon(shown, c.press);
    const ui::MsgResult answer = ui::MsgBox(c.prompt, c.style, c.title);
    EXPECT_EQ(shown.title, c.title_) << c.prompt;
    EXPECT_EQ(shown.text, ui::qt::ToEditLines(c.prompt)) << c.prompt;  // plain text, one line per line
    EXPECT_EQ(shown.icon, c.icon) << c.prompt;
    EXPECT_EQ(shown.buttons, c.buttons) << c.prompt;
    EXPECT_EQ(shown.defaultButton, c.defaultButton) << c.prompt;
    EXPECT_EQ(answer, c.answer) << c.prompt;
  }
}

TEST_F(QtUiService, ModalDisplayEndsWhenTheFormHides) {
  auto f = ui::NewForm<uitest::TestForm>();
  int shown = 0;
  Soon([&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    ++shown;
    EXPECT_EQ(dialog->windowTitle(), "Testdialog");
    // The user types a duration and confirms.
    auto* dauer = dialog->findChildren<QLineEdit*>().front();
    QTest::keyClicks(dauer, "4");
    QTest::mouseClick(dialog->findChildren<QPushButton*>().front(), Qt::LeftButton);  // cmdOK
  });
  f->ShowModal();
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(f->IsShown());
  EXPECT_EQ(f->txtDauer.Text(), "4");  // focused as the window showed: its text was selected
  EXPECT_EQ(f->log.back(), "cmdOK_Click");

  // Escape closes the window: the form hides, no handler runs.
  f->log.clear();
  Soon([&] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
  f->ShowModal();
  EXPECT_FALSE(f->IsShown());
  EXPECT_TRUE(f->log.empty());
}

TEST_F(QtUiService, FailureInAHandlerEndsTheDisplayAndReachesTheCaller) {
  auto f = ui::NewForm<uitest::TestForm>();
  f->cmdOK.OnClick = [] { throw ui::ScriptFailure("unexpected"); };
  Soon([&] {
    auto* dialog = QApplication::activeModalWidget();
    QTest::mouseClick(dialog->findChildren<QPushButton*>().front(), Qt::LeftButton);
  });
  EXPECT_THROW(f->ShowModal(), ui::ScriptFailure);
  EXPECT_FALSE(f->IsShown());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  // A run-time error stays at the event boundary; the window stays open.
  f->cmdOK.OnClick = [] { rt::RaiseRuntime(rt::errc::ObjectNotSet); };
  f->cmdCancel.OnClick = [&] { f->Hide(); };
  Soon([&] {
    auto buttons = QApplication::activeModalWidget()->findChildren<QPushButton*>();
    QTest::mouseClick(buttons.front(), Qt::LeftButton);
    EXPECT_NE(QApplication::activeModalWidget(), nullptr);
    QTest::mouseClick(buttons.back(), Qt::LeftButton);
  });
  f->ShowModal();
  EXPECT_EQ(ui::EventErrorCount(), 1);
  EXPECT_EQ(ui::LastEventName(), "frmTest.cmdOK_Click");
}

TEST_F(QtUiService, DoEventsRunsPendingEventsOnce) {
  int ran = 0;
  Soon([&] { ++ran; });
  ui::DoEvents();
  EXPECT_EQ(ran, 1);
  EXPECT_TRUE(ui::qt::DisplayAvailable());
}

}  // namespace
}  // namespace qttest
