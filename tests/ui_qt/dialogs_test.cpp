// The add-on's real dialogs on screen, laid out as kelhost shows them:
// pictures of each form with every control inside the window and none
// overlapping, and the keyboard focus going round in the form's own order.
#include <QApplication>

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

}  // namespace
}  // namespace qttest
