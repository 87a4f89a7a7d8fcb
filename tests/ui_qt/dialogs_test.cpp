// The add-on's real dialogs on screen, laid out as kelhost shows them:
// pictures of each form with every control inside the window and none
// overlapping, and the keyboard focus going round in the form's own order.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include "contract_types/frm_fedit_def_positions.h"
#include "contract_types/frm_fedit_definitions.h"
#include "kelhost/layouts/dialog_layouts.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/new_contract_fixture.h"
#include "platform/object.h"
#include "qt_fixture.h"

namespace qttest {
namespace {

class QtDialogs : public QtFixture<nctest::NewContractTest> {
 protected:
  void SetUp() override {
    QtFixture::SetUp();
    ui::qt::RegisterLayouts(kelhost::DialogLayouts());
  }

  // The new-contract dialog for the current address, as CKT prepares it.
  std::shared_ptr<ui::Form> NewContractDialog() {
    std::shared_ptr<frmNewContract> f = NewDialog();
    EXPECT_TRUE(f->InitNew());
    return f;
  }
  // The editor on the stored type `oid`.
  std::shared_ptr<ui::Form> Editor(const std::string& oid) {
    host_->SetCurrentContractTypeOid(oid, false);
    auto f = ui::NewForm<frmFEditDefinitions>();
    EXPECT_TRUE(f->InitEdit());
    return f;
  }
  // The position dialog as the editor opens it for a new position of a
  // type of 12 months paid quarterly.
  static std::shared_ptr<ui::Form> PositionDialog() {
    auto f = ui::NewForm<frmFEditDefPositions>();
    f->txtArtikel.SetText("Wartung Basis");
    f->txtAnzahl.SetText("2,00");
    f->txtNettopreis.SetText("360,00");
    EXPECT_TRUE(f->InitNew(12, 3, "vierteljährlich"));
    return f;
  }
};

// The names of the form's controls that the window's layout does not
// declare.
std::vector<std::string> Undeclared(const ui::qt::FormWindow& w) {
  std::vector<std::string> missing;
  for (const ui::Control* c : w.form().Controls()) {
    const auto& declared = w.Declared();
    if (std::none_of(declared.begin(), declared.end(), [&](const std::string& n) { return rt::NameEquals(n, c->Name()); }))
      missing.push_back(c->Name());
  }
  return missing;
}

// The controls the focus visits with Tab on screen, from the form's first
// round to it again (a picker the user may empty takes two steps, its
// check box and its date).
std::vector<std::string> TabRound(ui::qt::FormWindow& w) {
  ui::Form& form = w.form();
  ui::Control* first = form.TabNext(nullptr);
  first->SetFocus();
  std::vector<std::string> visited{first->Name()};
  for (size_t i = 0; i < 2 * form.Controls().size(); ++i) {
    QTest::keyClick(w.dialog().focusWidget(), Qt::Key_Tab);
    if (form.ActiveControl() == first) break;
    if (form.ActiveControl()->Name() != visited.back()) visited.push_back(form.ActiveControl()->Name());
  }
  return visited;
}

// The same round through the form's own tab order.
std::vector<std::string> ModelTabRound(const ui::Form& form) {
  const ui::Control* first = form.TabNext(nullptr);
  std::vector<std::string> visited{first->Name()};
  for (const ui::Control* c = form.TabNext(first); c != nullptr && c != first; c = form.TabNext(c))
    visited.push_back(c->Name());
  return visited;
}

TEST_F(QtDialogs, PicturesShowEveryControlInsideTheWindowWithoutOverlaps) {
  const std::string type = AddWartung();
  const std::string payable = AddType({{"Bezeichnung", "Miete Büro"}, {"Typ", "K"}});
  struct Case {
    std::string picture;
    std::function<std::shared_ptr<ui::Form>()> make;
  };
  const std::vector<Case> cases = {
      {"new-contract", [&] { return NewContractDialog(); }},
      {"new-contract-invoiced",
       [&] {
         std::shared_ptr<ui::Form> f = NewContractDialog();
         auto& dialog = static_cast<frmNewContract&>(*f);
         EXPECT_TRUE(user_.ClickItem(dialog.lvwBezeichnung, 2));  // the maintenance type
         EXPECT_TRUE(user_.SetDate(dialog.DTPVertragBeginn, rt::DateSerial(2023, 1, 1)));
         EXPECT_TRUE(user_.Tick(dialog.chkOldContract));
         return f;
       }},
      {"editor", [&] { return Editor(type); }},
      {"editor-payable", [&] { return Editor(payable); }},
      {"position-dialog", [] { return PositionDialog(); }},
  };
  for (const Case& c : cases) {
    std::shared_ptr<ui::Form> form = c.make();
    ui::qt::FormWindow& w = Open(form);
    EXPECT_EQ(Undeclared(w), std::vector<std::string>{}) << c.picture;
    const QSize size = w.dialog().size();
    EXPECT_LE(size.width(), 1024) << c.picture;
    EXPECT_LE(size.height(), 768) << c.picture;
    EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{}) << c.picture;
    EXPECT_TRUE(SavePicture(w, c.picture)) << c.picture;
    EXPECT_EQ(TabRound(w), ModelTabRound(*form)) << c.picture;
  }
}

// Tabs round the window until `target` has the focus.
void TabTo(QWidget& window, QWidget* target) {
  for (int i = 0; i < 200 && window.focusWidget() != target; ++i) QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(window.focusWidget(), target) << target->objectName().toStdString();
}
QPushButton* TabTo(ui::qt::FormWindow& w, const ui::Control& button) {
  auto* widget = qobject_cast<QPushButton*>(w.WidgetOf(button));
  TabTo(w.dialog(), widget);
  return widget;
}

void Escape(QWidget& window) { QTest::keyClick(&window, Qt::Key_Escape); }

// The window that `press` opens over `w` by its form's name ("" when none
// comes up, "box" for a message box), once `answer` has closed it (it is
// closed, and " left open" added, when `answer` does not).
std::string Opens(ui::qt::FormWindow& w, const std::function<void()>& press,
                  const std::function<void(QWidget&)>& answer = Escape) {
  std::string opened;
  Soon([&] {
    QWidget* top = QApplication::activeModalWidget();
    if (top == nullptr || top == &w.dialog()) return;
    opened = qobject_cast<QMessageBox*>(top) != nullptr ? "box" : top->objectName().toStdString();
    answer(*top);
    if (top->isVisible()) {
      opened += " left open";
      top->close();
    }
  });
  press();
  QApplication::processEvents();
  return opened;
}

// The buttons drawn as the window's default (the forms have none).
std::vector<std::string> DrawnAsDefault(const ui::qt::FormWindow& w) {
  std::vector<std::string> drawn;
  for (const QPushButton* b : w.dialog().findChildren<QPushButton*>()) {
    if (b->isDefault()) drawn.push_back(b->objectName().toStdString());
  }
  return drawn;
}

TEST_F(QtDialogs, EnterAndSpaceOnAFocusedButtonPressIt) {
  const std::string type = AddWartung();
  std::shared_ptr<ui::Form> form = NewContractDialog();
  auto& dialog = static_cast<frmNewContract&>(*form);
  ui::qt::FormWindow& w = Open(form);
  EXPECT_EQ(DrawnAsDefault(w), std::vector<std::string>{});

  // Enter in the list of types or in a field presses no button.
  EXPECT_EQ(Opens(w, [&] { QTest::keyClick(w.dialog().focusWidget(), Qt::Key_Return); }), "");
  auto* rabatt = Widget<QLineEdit>(w, dialog.txtRabatt);
  QTest::mouseClick(rabatt, Qt::LeftButton);
  EXPECT_EQ(Opens(w, [&] { QTest::keyClick(rabatt, Qt::Key_Return); }), "");

  // "Vertragsdefinition bearbeiten" by Enter and by Space opens the editor,
  // whose "Abbrechen" Enter presses too.
  QPushButton* details = TabTo(w, dialog.cmdDetails);
  EXPECT_EQ(DrawnAsDefault(w), std::vector<std::string>{});
  EXPECT_EQ(Opens(w, [&] { QTest::keyClick(details, Qt::Key_Return); }), "frmFEditDefinitions");
  EXPECT_EQ(Opens(w, [&] { QTest::keyClick(details, Qt::Key_Space); },
                  [](QWidget& editor) {
                    auto* cancel = editor.findChild<QPushButton*>("cmdCancel");
                    TabTo(editor, cancel);
                    QTest::keyClick(cancel, Qt::Key_Return);
                  }),
            "frmFEditDefinitions");
  EXPECT_EQ(w.dialog().focusWidget(), details);

  // In the editor "->+" opens the position dialog for the article picked.
  std::shared_ptr<ui::Form> editorForm = Editor(type);
  auto& editor = static_cast<frmFEditDefinitions&>(*editorForm);
  ui::qt::FormWindow& e = Open(editorForm);
  EXPECT_EQ(DrawnAsDefault(e), std::vector<std::string>{});
  auto* articles = Widget<QTreeWidget>(e, editor.lvwArtikel);
  QTest::mouseClick(articles->viewport(), Qt::LeftButton, {},
                    articles->visualItemRect(articles->topLevelItem(1)).center());
  ASSERT_EQ(editor.lvwArtikel.SelectedItem().Text(), "Hotline");
  QPushButton* add = TabTo(e, editor.cmdAddPos);
  EXPECT_EQ(Opens(e, [&] { QTest::keyClick(add, Qt::Key_Return); }), "frmFEditDefPositions");
  EXPECT_EQ(Opens(e, [&] { QTest::keyClick(add, Qt::Key_Space); }), "frmFEditDefPositions");
  EXPECT_EQ(Opens(e, [&] { QTest::keyClick(add, Qt::Key_Enter, Qt::KeypadModifier); }), "frmFEditDefPositions");
  EXPECT_EQ(DrawnAsDefault(e), std::vector<std::string>{});
}

TEST_F(QtDialogs, ListsShowEveryColumnWithinTheirWidth) {
  const std::string type = AddWartung();
  std::shared_ptr<ui::Form> form = Editor(type);
  auto& editor = static_cast<frmFEditDefinitions&>(*form);
  ui::qt::FormWindow& e = Open(form);
  ASSERT_LE(e.dialog().width(), 1024);
  auto* positions = Widget<QTreeWidget>(e, editor.lvwPositionen);
  auto* articles = Widget<QTreeWidget>(e, editor.lvwArtikel);
  EXPECT_EQ(ColumnProblems(*positions), std::vector<std::string>{});
  EXPECT_EQ(ColumnProblems(*articles), std::vector<std::string>{});
  // The positions ask for nearly twice the room of the articles, and get
  // the larger share of the window.
  EXPECT_GT(positions->width(), articles->width());

  std::shared_ptr<ui::Form> newContract = NewContractDialog();
  ui::qt::FormWindow& n = Open(newContract);
  EXPECT_EQ(ColumnProblems(*Widget<QTreeWidget>(n, static_cast<frmNewContract&>(*newContract).lvwBezeichnung)),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace qttest
