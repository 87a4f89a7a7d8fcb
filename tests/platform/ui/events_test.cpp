// Event rules: which changes raise which events, and when.
#include <gtest/gtest.h>

#include "platform/runtime_expect.h"
#include "platform/variant.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

using Log = std::vector<std::string>;

class UiEvents : public UiTest {};

TEST_F(UiEvents, FormInitializesAtCreationAndLoadsOnFirstUse) {
  auto f = ui::NewForm<TestForm>();
  EXPECT_EQ(f->initialized, 1);
  EXPECT_EQ(f->loaded, 0);
  EXPECT_TRUE(f->log.empty());  // design-time values raised nothing
  EXPECT_EQ(f->txtDauer.Text(), "12");
  EXPECT_EQ(f->loaded, 1);
  f->chkFlag.SetValue(1);
  f->SetCaption("x");
  EXPECT_EQ(f->loaded, 1);
  EXPECT_EQ(f->log, (Log{"Form_Load", "chkFlag_Click:1"}));

  auto g = ui::NewForm<TestForm>();
  g->SetCaption("Neuer Vertrag für:   Muster");  // the caption is a first use too
  EXPECT_EQ(g->loaded, 1);
  EXPECT_EQ(g->Caption(), "Neuer Vertrag für:   Muster");
}

// A form whose load step fails: the error reaches the code that first used
// the form, and the form stays loaded as far as it got.
class FailingLoadForm : public ui::Form {
 public:
  FailingLoadForm() : Form("frmFailing") {}
  ui::ComboBox cboUser{*this, "cboUser"};

 protected:
  void Form_Load() override {
    cboUser.AddItem("development");
    cboUser.SetText("DEVELOPMENT");  // not among the entries: exact text only
  }
};

TEST_F(UiEvents, ErrorInFormLoadReachesTheFirstUser) {
  auto f = ui::NewForm<FailingLoadForm>();
  const rt::Error e = RaisedBy([&] { f->SetCaption("x"); });
  EXPECT_EQ(e.number(), 380);
  EXPECT_EQ(e.description(), "Unzulässiger Eigenschaftswert");
  EXPECT_TRUE(f->IsLoaded());
  EXPECT_EQ(f->cboUser.ListCount(), 1);
  EXPECT_EQ(f->cboUser.ListIndex(), -1);
}

TEST_F(UiEvents, TextChangeFiresOnlyOnRealChangesAndIsReentrant) {
  auto f = NewLoadedForm();
  // A change handler that normalises its own text, as "012" -> "12".
  f->txtDauer.OnChange = [&] {
    f->log.push_back("change:" + f->txtDauer.Text());
    const std::string& t = f->txtDauer.Text();
    if (t.size() > 1 && t[0] == '0') f->txtDauer.SetText(t.substr(1));
  };
  f->txtDauer.SetText("12");  // unchanged design text
  EXPECT_TRUE(f->log.empty());
  f->txtDauer.SetText("012");
  EXPECT_EQ(f->log, (Log{"change:012", "change:12"}));
  EXPECT_EQ(f->txtDauer.Text(), "12");

  // Ticking a box empties and disables a field before the next statement.
  f->chkFlag.OnClick = [&] {
    f->txtRabatt.SetText("");
    f->txtRabatt.SetEnabled(f->chkFlag.Value() == 0);
  };
  f->txtRabatt.SetText("4711");
  f->chkFlag.SetValue(1);
  EXPECT_EQ(f->txtRabatt.Text(), "");
  EXPECT_FALSE(f->txtRabatt.Enabled());
}

TEST_F(UiEvents, CheckBoxesClickOnChangeOptionsOnSelectionWithinTheirContainer) {
  auto f = NewLoadedForm();
  for (int16_t v : {0, 1, 1, 0}) f->chkFlag.SetValue(v);
  EXPECT_RT_ERROR(f->chkFlag.SetValue(3), 380);
  EXPECT_EQ(f->chkFlag.Value(), 0);

  f->optA.SetValue(true);  // already selected at design time
  f->optC.SetValue(true);  // another container: optA stays selected
  EXPECT_TRUE(f->optA.Value());
  f->optB.SetValue(true);
  EXPECT_FALSE(f->optA.Value());
  EXPECT_TRUE(f->optB.Value());
  EXPECT_TRUE(f->optC.Value());
  f->optB.SetValue(false);  // deselecting raises nothing
  EXPECT_EQ(f->log, (Log{"chkFlag_Click:1", "chkFlag_Click:0", "optC_Click", "optB_Click"}));
}

TEST_F(UiEvents, ComboSelectionClicksButAddClearAndReplaceDoNot) {
  auto f = NewLoadedForm();
  f->cboPeriod.SetText("jährlich");
  EXPECT_EQ(f->cboPeriod.ItemData(f->cboPeriod.ListIndex()), 12);
  f->cboPeriod.SetText("jährlich");  // the selected entry again: clicks again
  EXPECT_RT_ERROR(f->cboPeriod.SetText("Jährlich"), 380);  // exact text only
  EXPECT_EQ(f->cboPeriod.ListIndex(), 1);

  f->cboPeriod.AddItem("einmalig");
  EXPECT_EQ(f->cboPeriod.NewIndex(), 2);
  f->cboPeriod.SetListIndex(2);
  f->cboPeriod.SetList(2, "<leer>");  // the selection stays
  EXPECT_EQ(f->cboPeriod.Text(), "<leer>");
  f->cboPeriod.SetListIndex(-1);
  f->cboPeriod.SetListIndex(-1);  // nothing was selected: no click
  EXPECT_EQ(f->cboPeriod.Text(), "");
  f->cboPeriod.Clear();
  EXPECT_EQ(f->log, (Log{"cboPeriod_Click:1", "cboPeriod_Click:1", "cboPeriod_Click:2", "cboPeriod_Click:-1"}));
  EXPECT_EQ(f->cboPeriod.NewIndex(), -1);
  EXPECT_RT_ERROR(f->cboPeriod.SetListIndex(0), 380);

  f->lstInvoices.AddItem("01.01.2024 - 31.01.2024");
  f->lstInvoices.SetListIndex(0);
  f->lstInvoices.Clear();
  EXPECT_EQ(f->lstInvoices.ListIndex(), -1);
  EXPECT_EQ(f->log.back(), "lstInvoices_Click:0");
}

TEST_F(UiEvents, ReadingAnEntryOutsideTheListIsAnError) {
  auto f = ui::NewForm<TestForm>();
  f->cboPeriod.SetListIndex(-1);
  for (int32_t i : {-1, 2}) {
    const rt::Error e = RaisedBy([&] { (void)f->cboPeriod.ItemData(i); });
    EXPECT_EQ(e.number(), 381);
    EXPECT_EQ(e.description(), "Index des Eigenschaftenfelds ungültig");
    EXPECT_RT_ERROR((void)f->cboPeriod.List(i), 381);
    EXPECT_RT_ERROR(f->cboPeriod.SetItemData(i, 1), 381);
  }
}

TEST_F(UiEvents, EditableComboTakesFreeTextWithoutClicking) {
  auto f = ui::NewForm<TestForm>();
  f->cboUnit.AddItem("Stück");
  f->cboUnit.AddItem("Std.");
  int clicks = 0;
  f->cboUnit.OnClick = [&] { ++clicks; };
  f->cboUnit.SetText("Std.");
  EXPECT_EQ(f->cboUnit.ListIndex(), 1);
  f->cboUnit.SetText("Pauschale");
  EXPECT_EQ(f->cboUnit.Text(), "Pauschale");
  EXPECT_EQ(f->cboUnit.ListIndex(), -1);
  EXPECT_EQ(clicks, 0);
  f->cboUnit.SetListIndex(0);
  EXPECT_EQ(f->cboUnit.Text(), "Stück");
  EXPECT_EQ(clicks, 1);
}

TEST_F(UiEvents, KeyPressMayReplaceOrSwallowKeysAndPastingBypassesIt) {
  auto f = ui::NewForm<TestForm>();
  // The discount field's filter: digits, comma and Backspace; "." -> ",".
  f->txtRabatt.OnKeyPress = [](int16_t& k) {
    if (k == 46) k = 44;
    if (k != 8 && k != 44 && (k < 48 || k > 57)) k = 0;
  };
  int changes = 0;
  f->txtRabatt.OnChange = [&] { ++changes; };
  EXPECT_TRUE(user.Type(f->txtRabatt, "1a2.-5"));
  EXPECT_EQ(f->txtRabatt.Text(), "12,5");
  EXPECT_EQ(changes, 4);  // one change per key that got through
  EXPECT_TRUE(user.Backspace(f->txtRabatt, 2));
  EXPECT_EQ(f->txtRabatt.Text(), "12");
  EXPECT_TRUE(user.Paste(f->txtRabatt, "x-"));
  EXPECT_EQ(f->txtRabatt.Text(), "12x-");
  EXPECT_TRUE(user.SelectAll(f->txtRabatt));
  EXPECT_TRUE(user.Type(f->txtRabatt, "3"));
  EXPECT_EQ(f->txtRabatt.Text(), "3");
  EXPECT_TRUE(user.Type(f->txtRabatt, "ä"));  // swallowed by the filter
  EXPECT_EQ(f->txtRabatt.Text(), "3");

  // Without a filter, typed characters beyond ASCII arrive whole.
  EXPECT_TRUE(user.Type(f->txtInFrame, "Prüfung ß"));
  EXPECT_EQ(f->txtInFrame.Text(), "Prüfung ß");
  EXPECT_TRUE(user.Backspace(f->txtInFrame, 2));
  EXPECT_EQ(f->txtInFrame.Text(), "Prüfung");
}

TEST_F(UiEvents, ErrorsInUserEventsEndAtTheBoundaryUnderTheEventsName) {
  auto f = ui::NewForm<TestForm>();
  std::vector<std::pair<std::string, int32_t>> reported;
  ui::SetEventErrorReporter(
      [&](const std::string& event, const rt::Error& e) { reported.emplace_back(event, e.number()); });
  f->cmdOK.OnClick = [] { rt::RaiseRuntime(rt::errc::DivByZero); };
  f->txtDauer.OnChange = [&] { (void)rt::CLng(rt::Variant(f->txtDauer.Text())); };
  f->txtRabatt.OnKeyPress = [](int16_t&) { rt::RaiseRuntime(rt::errc::Overflow); };
  f->txtRabatt.OnValidate = [](bool&) { rt::RaiseRuntime(rt::errc::ObjectNotSet); };
  f->chkFlag.OnClick = [] { rt::RaiseRuntime(rt::errc::InvalidCall); };
  f->lvwTypes.AddColumn("Typ", 1000);
  f->lvwTypes.Add("A");
  f->lvwTypes.OnItemClick = [](ui::ListItem&) { rt::RaiseRuntime(rt::errc::TypeMismatch); };

  EXPECT_TRUE(user.Click(f->cmdOK));
  EXPECT_TRUE(user.Paste(f->txtDauer, "x"));  // "12x" is no number
  EXPECT_TRUE(user.Type(f->txtRabatt, "1"));  // the key filter fails; the key still arrives
  EXPECT_TRUE(user.Tick(f->chkFlag));          // leaving txtRabatt validates it first
  EXPECT_TRUE(user.ClickItem(f->lvwTypes, 1));
  const std::vector<std::pair<std::string, int32_t>> expected = {
      {"frmTest.cmdOK_Click", 11},      {"frmTest.txtDauer_Change", 13},   {"frmTest.txtRabatt_KeyPress", 6},
      {"frmTest.txtRabatt_Validate", 91}, {"frmTest.chkFlag_Click", 5}, {"frmTest.lvwTypes_ItemClick", 13}};
  EXPECT_EQ(reported, expected);
  EXPECT_EQ(ui::EventErrorCount(), 6);
  EXPECT_EQ(ui::LastEventName(), "frmTest.lvwTypes_ItemClick");
  EXPECT_EQ(ui::EventName(*f, "Activate"), "frmTest.Form_Activate");

  // The same handler run by code: the error reaches the code.
  EXPECT_RT_ERROR(f->txtDauer.SetText("abc"), 13);
  EXPECT_EQ(reported.size(), 6u);

  // A failing reporter does not bring the process down either, but a broken
  // script passes through it.
  ui::SetEventErrorReporter([](const std::string&, const rt::Error&) { rt::RaiseRuntime(rt::errc::ObjectNotSet); });
  EXPECT_TRUE(user.Click(f->cmdOK));
  EXPECT_EQ(ui::EventErrorCount(), 7);
  ui::SetEventErrorReporter([](const std::string&, const rt::Error&) { throw rt::Unrecoverable("kaputtes Skript"); });
  EXPECT_THROW(user.Click(f->cmdOK), rt::Unrecoverable);
}

TEST_F(UiEvents, LabelsShowTheFormsFontUnlessTheirOwn) {
  auto f = ui::NewForm<TestForm>();
  ui::Label lblNote{*f, "lblNote"};
  EXPECT_EQ(f->lblDirty.FontName(), "MS Sans Serif");
  f->SetFontName("Tahoma");
  lblNote.SetFontName("Arial");
  EXPECT_EQ(f->lblDirty.FontName(), "Tahoma");
  EXPECT_EQ(lblNote.FontName(), "Arial");
}

TEST_F(UiEvents, WithoutReporterEscapedErrorsAreRecordedAndSwallowed) {
  auto f = ui::NewForm<TestForm>();
  f->cmdOK.OnClick = [] { throw std::runtime_error("kaputt"); };
  EXPECT_TRUE(user.Click(f->cmdOK));
  ASSERT_TRUE(ui::LastEventError().has_value());
  EXPECT_EQ(ui::LastEventError()->number(), 5);
}

TEST_F(UiEvents, ControlsAreReachableByNameAndComeToTheFront) {
  auto f = ui::NewForm<TestForm>();
  EXPECT_EQ(f->ControlByName("TXTDAUER"), &f->txtDauer);
  EXPECT_EQ(f->ControlByName("txtInFrame"), &f->txtInFrame);
  EXPECT_EQ(f->ControlByName("txtPreisM7"), nullptr);
  EXPECT_EQ(&f->ControlAs<ui::TextBox>("txtRabatt"), &f->txtRabatt);
  EXPECT_RT_ERROR((void)f->ControlAs<ui::TextBox>("cmdOK"), 13);
  EXPECT_RT_ERROR((void)f->ControlAs<ui::TextBox>("txtNirgends"), 730);

  ui::Frame fraPositionen{*f, "fraPositionen"};
  ui::Frame fraPositionenK{*f, "fraPositionenK"};
  EXPECT_TRUE(fraPositionenK.InFrontOf(fraPositionen));
  fraPositionen.ZOrder(0);
  EXPECT_TRUE(fraPositionen.InFrontOf(fraPositionenK));
  fraPositionen.ZOrder(1);
  EXPECT_FALSE(fraPositionen.InFrontOf(fraPositionenK));
}

}  // namespace
}  // namespace uitest
