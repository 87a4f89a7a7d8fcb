// A person at the real dialogs: the same work done once through the widgets
// (keys typed, clicks, list items, dates, a message box answered) and once
// as a script writes the same records, since both go through the same
// rules of the dialog layer.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <deque>
#include <sstream>

#include "core/ckt.h"
#include "host/sqlite/stand_in.h"
#include "kelhost/layouts/dialog_layouts.h"
#include "new_contract/new_contract_fixture.h"
#include "platform/object.h"
#include "platform/ui/script.h"
#include "platform/ui/script_player.h"
#include "qt_fixture.h"

namespace qttest {
namespace {

// A person at the screen: each step acts on one window, a dialog (by its
// form's name) or a message box, as soon as that window is the one on top.
// Steps run from the event loop, so a step that opens a modal window is
// followed by the next one inside it. A window that does not come up, or
// one left open after the last step, fails the test and is closed.
class Person {
 public:
  using Act = std::function<void(QWidget& window)>;

  ~Person() { *alive_ = false; }  // steps still queued do nothing

  // Acts on the dialog of the form `form`.
  Person& On(std::string form, Act act) {
    steps_.push_back({std::move(form), std::move(act)});
    return *this;
  }
  // Reads the message box on top and clicks its button `button`.
  Person& Answer(QMessageBox::StandardButton button) {
    steps_.push_back({"", [this, button](QWidget& window) {
                        auto& box = static_cast<QMessageBox&>(window);
                        boxes_.push_back(Describe(box));
                        QTest::mouseClick(box.button(button), Qt::LeftButton);
                      }});
    return *this;
  }

  void Start() { Schedule(); }
  bool Finished() const { return steps_.empty() && !gaveUp_; }
  // The boxes answered, as "[<title>] <text>".
  const std::vector<std::string>& Boxes() const { return boxes_; }

 private:
  struct Step {
    std::string form;  // empty: a message box
    Act act;
  };

  static std::string Describe(const QWidget& window) {
    if (const auto* box = qobject_cast<const QMessageBox*>(&window))
      return QString("[%1] %2").arg(box->windowTitle(), box->text()).toStdString();
    return window.objectName().toStdString();
  }

  void Schedule() {
    QTimer::singleShot(0, [this, alive = alive_] {
      if (*alive) Next();
    });
  }

  void Next() {
    constexpr int kPatience = 10000;  // turns of the event loop
    QWidget* top = QApplication::activeModalWidget();
    if (steps_.empty()) {
      if (top == nullptr) return;  // done: the call has closed its windows
      if (++waited_ > kPatience) return GiveUp("the window " + Describe(*top) + " was left open");
      return Schedule();
    }
    const Step& step = steps_.front();
    const bool ready = top != nullptr && (step.form.empty() ? qobject_cast<QMessageBox*>(top) != nullptr
                                                            : top->objectName().toStdString() == step.form);
    if (!ready) {
      // A window opening or closing: look again soon.
      if (++waited_ > kPatience) {
        return GiveUp("the window " + (step.form.empty() ? std::string("of a message box") : step.form) +
                      " did not come up; on top: " + (top != nullptr ? Describe(*top) : "nothing"));
      }
      return Schedule();
    }
    waited_ = 0;
    Act act = std::move(steps_.front().act);
    steps_.pop_front();
    Schedule();  // the next step, here or in a window this one opens
    act(*top);
  }

  void GiveUp(const std::string& why) {
    ADD_FAILURE() << why;
    gaveUp_ = true;
    steps_.clear();
    while (QWidget* top = QApplication::activeModalWidget()) top->close();
  }

  std::deque<Step> steps_;
  std::vector<std::string> boxes_;
  int waited_ = 0;
  bool gaveUp_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// --- what a person does on the widgets of a window ---------------------------

template <class W>
W& Find(QWidget& window, const char* name) {
  W* w = window.findChild<W*>(name);
  if (w == nullptr) throw std::logic_error(std::string("no widget ") + name);
  return *w;
}

// Clicks into a text box, selects its text, types `text` key by key and
// leaves it with Tab.
void Type(QWidget& window, const char* name, const QString& text) {
  QWidget& box = Find<QWidget>(window, name);
  QTest::mouseClick(&box, Qt::LeftButton);
  EXPECT_EQ(window.focusWidget(), &box) << name;
  QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(&box, text);
  QTest::keyClick(&box, Qt::Key_Tab);
  EXPECT_NE(window.focusWidget(), &box) << name << " kept the focus";
}

void Click(QWidget& window, const char* name) {
  auto& button = Find<QAbstractButton>(window, name);
  // A check box is clicked on its box.
  const QPoint at = qobject_cast<QCheckBox*>(&button) != nullptr ? QPoint(6, button.height() / 2) : button.rect().center();
  QTest::mouseClick(&button, Qt::LeftButton, {}, at);
}

// Clicks the item of a list view whose first column reads `text`.
void Pick(QWidget& window, const char* name, const QString& text) {
  auto& list = Find<QTreeWidget>(window, name);
  const QList<QTreeWidgetItem*> found = list.findItems(text, Qt::MatchExactly, 0);
  ASSERT_FALSE(found.empty()) << name << ": " << text.toStdString();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(found.front()).center());
}

// Goes through a drop-down list with the arrow keys to the entry `text`.
void Choose(QWidget& window, const char* name, const QString& text) {
  auto& combo = Find<QComboBox>(window, name);
  const int wanted = combo.findText(text);
  ASSERT_GE(wanted, 0) << name << ": " << text.toStdString();
  while (combo.currentIndex() != wanted) {
    const int before = combo.currentIndex();
    QTest::keyClick(&combo, combo.currentIndex() < wanted ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_NE(combo.currentIndex(), before) << name;
  }
}

// Clicks on the day of a date picker and types the date's digits (the
// picker moves on to the month and the year by itself).
void EnterDate(QWidget& window, const char* name, QDate day) {
  auto& edit = *Find<QWidget>(window, name).findChild<QDateEdit*>();
  QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(4, edit.height() / 2));
  QTest::keyClicks(&edit, day.toString("ddMMyyyy"));
}

// --- the records a run wrote ---------------------------------------------------------

std::string Text(const rt::Variant& v) {
  if (v.IsNull()) return "Null";
  if (v.IsObject() || v.IsArray()) return "<object>";
  return rt::CStr(v);
}

// One line per field of each record written: "<table> <oid> <field> = <value>".
std::vector<std::string> Lines(const host::sqlite::CallResult& result) {
  std::vector<std::string> lines;
  for (const host::sqlite::WrittenRecord& w : result.Written()) {
    for (const auto& [field, value] : w.row.fields)
      lines.push_back(w.table + " " + w.row.oid + " " + field + " = " + Text(value));
  }
  return lines;
}

class QtFlows : public QtFixture<nctest::NewContractTest> {
 protected:
  void SetUp() override {
    QtFixture::SetUp();
    ui::qt::RegisterLayouts(kelhost::DialogLayouts());
  }

  // A database with the sample data and two released contract types, the
  // worked example's maintenance type with its position and an open-ended
  // hosting type; the same every time.
  static std::shared_ptr<host::sqlite::StandIn> NewHost() {
    auto host = host::sqlite::StandIn::OpenInMemory();
    host->LoadSampleData();
    host->InsertRow("kt_Vertragsdefinitionen",
                    nctest::Merge(nctest::TypeDefaults(), {{"Bezeichnung", "Hosting"}, {"Art", int32_t{3}},
                                                           {"ArtStr", "unbefristet"}, {"Zahlungsperiode", int32_t{1}}}));
    const std::string wartung = host->InsertRow("kt_Vertragsdefinitionen", nctest::TypeDefaults());
    host->InsertRow("kt_DefinitionsPositionen", nctest::PositionDefaults(), wartung);
    return host;
  }

  struct Run {
    host::sqlite::CallResult result;
    std::string boxes;  // the script's boxes, one "[<title>] <text>" a line
  };

  // `call` on a new host with `script` playing the user.
  static Run Scripted(const std::string& script, const std::function<void(host::sqlite::StandIn&)>& call) {
    auto host = NewHost();
    Run run;
    std::ostringstream boxes;
    auto player = std::make_shared<ui::test::ScriptPlayer>(ui::test::ParseScript(script), boxes);
    const std::shared_ptr<ui::Service> screen = ui::CurrentService();
    ui::SetService(player);
    run.result = host->RunCall([&] {
      call(*host);
      player->Finish();
    });
    ui::SetService(screen);
    run.boxes = boxes.str();
    return run;
  }

  // `call` on a new host with `person` at the screen.
  static host::sqlite::CallResult OnScreen(Person& person, const std::function<void(host::sqlite::StandIn&)>& call) {
    auto host = NewHost();
    person.Start();
    return host->RunCall([&] { call(*host); });
  }
};

TEST_F(QtFlows, NewContractOnScreenWritesWhatTheScriptWrites) {
  bool ok = false;
  int32_t count = 0;
  auto newContract = [&](host::sqlite::StandIn& host) {
    auto ckt = std::dynamic_pointer_cast<CKT>(rt::CreateObject("kelPaktor2.CKT"));
    std::shared_ptr<host::HostApplication> app = host.Application();
    bool showDef = false;
    ckt->NewContract(app, ok, count, showDef);
  };

  const Run script = Scripted(
      "pick lvwBezeichnung Wartung jährlich\n"
      "date DTPVertragBeginn 01.04.2024\n"
      "untick ChkAutoNumber\n"
      "click cmdOK\n"
      "type txtVertragnummer V-2024-7\n"
      "type txtRabatt 12.5\n"
      "select cboVerantwortlich Schulz\n"
      "type txtMemo Erster Vertrag\n"
      "click cmdOK\n",
      newContract);
  ASSERT_EQ(script.result.error, nullptr);
  EXPECT_TRUE(ok);
  EXPECT_EQ(script.boxes, "[Kelmaris Paktor] Vergeben Sie bitte eine Vertragsnummer!\n");

  ok = false;
  count = 0;
  Person person;
  const std::string dialog = "frmNewContract";
  person
      .On(dialog,
          [](QWidget& w) {
            Pick(w, "lvwBezeichnung", "Wartung jährlich");
            EnterDate(w, "DTPVertragBeginn", QDate(2024, 4, 1));
            Click(w, "ChkAutoNumber");
            Click(w, "cmdOK");
          })
      .Answer(QMessageBox::Ok)
      .On(dialog, [](QWidget& w) {
        Type(w, "txtVertragnummer", "V-2024-7");
        Type(w, "txtRabatt", "12.5");
        Choose(w, "cboVerantwortlich", "Schulz");
        Type(w, "txtMemo", "Erster Vertrag");
        EXPECT_TRUE(SavePicture(w.grab().toImage(), "flow-new-contract"));
        Click(w, "cmdOK");
      });
  const host::sqlite::CallResult screen = OnScreen(person, newContract);
  ASSERT_EQ(screen.error, nullptr);
  EXPECT_TRUE(person.Finished());
  EXPECT_TRUE(ok);
  EXPECT_EQ(person.Boxes(), std::vector<std::string>{"[Kelmaris Paktor] Vergeben Sie bitte eine Vertragsnummer!"});
  EXPECT_FALSE(Lines(screen).empty());
  EXPECT_EQ(Lines(screen), Lines(script.result));
}

TEST_F(QtFlows, NewContractTypeOnScreenWritesWhatTheScriptWrites) {
  auto editType = [](host::sqlite::StandIn& host) {
    auto ckt = std::dynamic_pointer_cast<CKT>(rt::CreateObject("kelPaktor2.CKT"));
    std::shared_ptr<host::HostApplication> app = host.Application();
    bool pbNew = true;
    ckt->EditContractDefinition(app, pbNew);
  };

  const Run script = Scripted(
      "click cmdSave\n"
      "type txtBezeichnung Schulung\n"
      "select cboStatus freigegeben\n"
      "untick chkVerlaengerbar\n"
      "type txtDauer 6\n"
      "select cboZahlungsperiode vierteljährlich\n"
      "pick lvwArtikel Support\n"
      "click cmdAddPos\n"
      "type txtNettopreis 12*3\n"
      "type txtAnzahl 3\n"
      "click cmdOk\n"
      "click cmdSave\n",
      editType);
  ASSERT_EQ(script.result.error, nullptr);
  EXPECT_EQ(script.boxes, "[Bitte ändern ...] Geben Sie dem Vertragstyp bitte einen Namen !\n");

  Person person;
  const std::string editor = "frmFEditDefinitions";
  person.On(editor, [](QWidget& w) { Click(w, "cmdSave"); })
      .Answer(QMessageBox::Ok)
      .On(editor,
          [](QWidget& w) {
            Type(w, "txtBezeichnung", "Schulung");
            Choose(w, "cboStatus", "freigegeben");
            Click(w, "chkVerlaengerbar");
            Type(w, "txtDauer", "6");
            Choose(w, "cboZahlungsperiode", "vierteljährlich");
            Pick(w, "lvwArtikel", "Support");
            Click(w, "cmdAddPos");
          })
      .On("frmFEditDefPositions",
          [](QWidget& w) {
            Type(w, "txtNettopreis", "12*3");
            Type(w, "txtAnzahl", "3");
            EXPECT_TRUE(SavePicture(w.grab().toImage(), "flow-position-dialog"));
            Click(w, "cmdOk");
          })
      .On(editor, [](QWidget& w) {
        EXPECT_TRUE(SavePicture(w.grab().toImage(), "flow-editor"));
        Click(w, "cmdSave");
      });
  const host::sqlite::CallResult screen = OnScreen(person, editType);
  ASSERT_EQ(screen.error, nullptr);
  EXPECT_TRUE(person.Finished());
  EXPECT_EQ(person.Boxes(), std::vector<std::string>{"[Bitte ändern ...] Geben Sie dem Vertragstyp bitte einen Namen !"});
  EXPECT_FALSE(Lines(screen).empty());
  EXPECT_EQ(Lines(screen), Lines(script.result));
}

}  // namespace
}  // namespace qttest
