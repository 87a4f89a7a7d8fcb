// Loading the dialog for an address: users, settings, the list of released
// contract types and the defaults InitNew sets.
#include <string>
#include <vector>

#include "new_contract_fixture.h"

namespace {

using coretest::Shown;
using nctest::D;
using nctest::Values;

class NewContractLoading : public nctest::NewContractTest {
 protected:
  std::optional<std::string> Setting(const std::string& key) {
    auto v = host_->DatabaseSetting(key);
    if (!v) return std::nullopt;
    return rt::CStr(*v);
  }
};

TEST_F(NewContractLoading, ListsReleasedTypesInNameOrderWithTheirColumns) {
  const std::string b = AddType({{"Bezeichnung", "B Hosting"}, {"Art", 3}, {"ArtStr", "unbefristet"},
                                 {"RechnungWann", 1}, {"Dauer", 1}, {"Zahlungsperiode", 1},
                                 {"Verlaengerungsdauer", 0}, {"VerlaengerungsZahlungsperiode", 0}});
  AddType({{"Bezeichnung", "C gesperrt"}, {"Status", "gesperrt"}});
  AddType({{"Bezeichnung", "D klein"}, {"Status", "Freigegeben"}});  // the status is exact
  const std::string a = AddType({{"Bezeichnung", "A Miete"}, {"Typ", "K"}, {"NoBooking", true}});
  auto f = OpenDialog();

  ASSERT_EQ(f->lvwBezeichnung.Count(), 2);
  const std::vector<std::vector<std::string>> expected = {
      {"A Miete", "verlängerbar", a, "K", "1", "0", "12", "3", "12", "12", "Verbindlichkeit", "True"},
      {"B Hosting", "unbefristet", b, "D", "3", "1", "1", "1", "0", "0", "Forderung", "False"},
  };
  for (int32_t i = 1; i <= 2; ++i) {
    const ui::ListItem& item = f->lvwBezeichnung.Item(i);
    const auto& row = expected[static_cast<size_t>(i - 1)];
    EXPECT_EQ(item.Text(), row[0]);
    EXPECT_EQ(item.ToolTipText(), row[0]);
    for (int32_t n = 1; n <= 11; ++n) EXPECT_EQ(item.SubItems(n), row[static_cast<size_t>(n)]) << i << "/" << n;
  }
  const std::vector<std::string> headers = {"Typ",    "Dauer",            "OID",    "Typ",
                                            "Art",    "RechnungWann",     "Dauer1", "Zahlungsperiode1",
                                            "DAuer2", "Zahlungsperiode2", "Art",    "NoBooking"};
  ASSERT_EQ(f->lvwBezeichnung.ColumnCount(), 12);
  for (int32_t c = 1; c <= 12; ++c) EXPECT_EQ(f->lvwBezeichnung.Column(c).Text, headers[static_cast<size_t>(c - 1)]);

  EXPECT_EQ(f->Caption(), "Neuer Vertrag für:   Muster GmbH");
  EXPECT_EQ(NewContractPeer::lSelectedIndex(*f), 1);
  EXPECT_TRUE(NewContractPeer::bInitialized(*f));
  EXPECT_EQ(NewContractPeer::CurrentTypeOid(*f), a);
  EXPECT_EQ(NewContractPeer::sAdressOid(*f), Rows("Adressen").at(0).oid);
  EXPECT_EQ(f->txtRabatt.Text(), "0,00");
  EXPECT_EQ(NewContractPeer::dblRabattProzent(*f), 0);
  EXPECT_EQ(f->lstInvoices.BackColor(), ui::color::ButtonFace);
  EXPECT_FALSE(f->lstInvoices.Visible());
  EXPECT_FALSE(f->lblDirty.Visible());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(NewContractLoading, UsersAndTheCurrentUserInBothLists) {
  host_->AddUser("development");
  AddType();
  {
    auto f = OpenDialog();
    const std::vector<std::string> users = {"Meier", "Schulz", "development"};
    EXPECT_EQ(Entries(f->cboVerantwortlich), users);
    EXPECT_EQ(Entries(f->cmbUser), users);
    EXPECT_EQ(f->cboVerantwortlich.Text(), "Meier");
    EXPECT_EQ(f->cmbUser.Text(), "Meier");
  }
  // A current user the lists leave out: no selection, the load goes on.
  host_->SetCurrentUser("DEVELOPMENT", false);
  auto f = OpenDialog();
  EXPECT_EQ(f->cboVerantwortlich.ListIndex(), -1);
  EXPECT_EQ(f->cmbUser.ListIndex(), -1);
  EXPECT_EQ(f->cboVerantwortlich.Text(), "");
}

TEST_F(NewContractLoading, SettingsAndLeadTimes) {
  AddType();
  {
    auto f = OpenDialog();
    EXPECT_EQ(gAlarmWochenKuendigung, 6);
    EXPECT_EQ(gAlarmWochenEnde, 4);
    EXPECT_FALSE(gCreateAppointment4AllContracts);
    // The missing setting is stored, the missing variables are not.
    EXPECT_EQ(Setting("CreateAppointment4AllContracts"), "false");
    EXPECT_FALSE(gDB->ScriptEngine()->PersistVars()->Exists("kt_AlarmWochenKuendigung"));
    EXPECT_FALSE(gDB->ScriptEngine()->PersistVars()->Exists("kt_AlarmWochenEnde"));
  }
  host_->SetPersistVar("kt_AlarmWochenKuendigung", "8");
  host_->SetPersistVar("kt_AlarmWochenEnde", "2");
  struct Case {
    const char* setting;
    bool flag;
  };
  for (const Case& k : {Case{"TRUE", true}, Case{"0", false}, Case{"5", true}, Case{"false", false}}) {
    host_->SetDatabaseSetting("CreateAppointment4AllContracts", k.setting);
    auto f = OpenDialog();
    EXPECT_EQ(gCreateAppointment4AllContracts, k.flag) << k.setting;
    EXPECT_EQ(gAlarmWochenKuendigung, 8);
    EXPECT_EQ(gAlarmWochenEnde, 2);
  }
}

TEST_F(NewContractLoading, ALoadThatFailsEndsInitNewWithItsOwnBox) {
  AddType();
  struct Case {
    const char* what;
    std::function<void()> arrange;
    const char* prompt;
  };
  const Case cases[] = {
      {"a setting that is no truth value",
       [&] { host_->SetDatabaseSetting("CreateAppointment4AllContracts", "abc"); },
       "Fehler &HD\r\n(Typen unverträglich)\r\nin kt_FNewContract.InitNew"},
      {"a lead time that is no number", [&] { host_->SetPersistVar("kt_AlarmWochenEnde", "vier"); },
       "Fehler &HD\r\n(Typen unverträglich)\r\nin kt_FNewContract.InitNew"},
      {"the host's users failing", [&] { host_->FailNext("", "Users", nctest::Hr(0x80041001), "weg"); },
       "Fehler &H80041001\r\n(weg)\r\nin kt_FNewContract.InitNew"},
      {"the contract types failing", [&] { host_->FailNext("kt_Vertragsdefinitionen", "MoveFirst", 5, "kaputt"); },
       "Fehler &H5\r\n(kaputt)\r\nin kt_FNewContract.InitNew"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    host_->SetDatabaseSetting("CreateAppointment4AllContracts", "false");
    host_->RemovePersistVar("kt_AlarmWochenEnde");
    k.arrange();
    const size_t before = Boxes().size();
    auto f = NewDialog();
    EXPECT_FALSE(f->InitNew());
    EXPECT_EQ(BoxesFrom(before), (std::vector<Shown>{{k.prompt, ui::mb::OkOnly, std::nullopt}}));
  }
}

TEST_F(NewContractLoading, WithoutAReleasedTypeTheDialogIsNotShown) {
  for (bool withTypes : {false, true}) {
    host_->DeleteRows("kt_Vertragsdefinitionen");
    if (withTypes) {
      AddType({{"Status", "in Arbeit"}});
      AddType({{"Status", "gesperrt"}});
    }
    const size_t before = Boxes().size();
    bool ok = true, showDef = false;
    int32_t count = 5;
    ckt_->NewContract(app_, ok, count, showDef);
    EXPECT_FALSE(ok);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(BoxesFrom(before), (std::vector<Shown>{{"Es muss mindestens ein freigegebener Vertragstyp definiert "
                                                     "sein.\r\nLegen Sie einen Vertragstyp an!",
                                                     ui::mb::IconExclamation, "Kelmaris Paktor"}}));
  }
  EXPECT_TRUE(ui_->ModalLog().empty());
}

TEST_F(NewContractLoading, DefaultStartIsTheFifteenthOrTheFirstOfTheNextMonth) {
  AddType();
  struct Case {
    rt::Date today;
    rt::Date start;
  };
  const Case cases[] = {{D(2024, 3, 14), D(2024, 3, 15)},
                        {D(2024, 3, 15), D(2024, 4, 1)},
                        {D(2024, 12, 20), D(2025, 1, 1)},
                        {D(2024, 1, 1), D(2024, 1, 15)},
                        {D(2024, 1, 31), D(2024, 2, 1)}};
  for (const Case& k : cases) {
    rt::SetToday(k.today);
    auto f = OpenDialog();
    EXPECT_EQ(f->DTPVertragBeginn.Value(), k.start) << rt::CStr(rt::Variant(k.today));
    // The conclusion date, today after the load, follows the start.
    EXPECT_EQ(f->DTPGeschlossenAm.Value(), k.start);
  }
}

TEST_F(NewContractLoading, CaptionVersionAndAnAddressWithoutName) {
  AddType();
  const auto outcome = ShowThroughCkt([&](frmNewContract& f) {
    EXPECT_EQ(f.lblVersion.Caption(), gVersion);
    EXPECT_EQ(f.lblVersion.Caption().rfind("Version ", 0), 0u);
    user_.Click(f.cmdCancel);
  });
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(ui_->ModalLog().at(0).caption, "Neuer Vertrag für:   Muster GmbH");

  // No current address: an empty name, the dialog goes on.
  host_->SetCurrentAddress("", false);
  auto f = OpenDialog();
  EXPECT_EQ(f->Caption(), "Neuer Vertrag für:   ");
  EXPECT_EQ(NewContractPeer::sAdressOid(*f), "");
}

// The boxes a payable type locks are those of a click on it
// (NewContractSelection); the load also lists no periods and opens the
// number field.
TEST_F(NewContractLoading, PayableFirstTypeTakesATypedNumber) {
  AddType({{"Typ", "K"}, {"NoBooking", true}});
  auto f = OpenDialog();
  EXPECT_EQ(f->ChkAutoNumber.Value(), 0);
  EXPECT_EQ(f->lstInvoices.ListCount(), 0);
  EXPECT_TRUE(f->txtVertragnummer.Enabled());
  EXPECT_EQ(f->txtVertragnummer.Text(), "");

  // A receivable first type: the number is drawn, the field disabled.
  host_->DeleteRows("kt_Vertragsdefinitionen");
  AddType();
  auto g = OpenDialog();
  EXPECT_EQ(g->ChkAutoNumber.Value(), 1);
  EXPECT_FALSE(g->txtVertragnummer.Enabled());
  EXPECT_EQ(g->lstInvoices.ListCount(), 4);  // the first term, quarterly
}

}  // namespace
