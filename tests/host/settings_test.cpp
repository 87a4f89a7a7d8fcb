// Settings stores and persistent variables.
#include "host_fixture.h"

namespace host_test {
namespace {

using HostSettings = HostTest;
using HostPersistVars = HostTest;

TEST_F(HostSettings, KeysMatchWithoutRegardToCaseAndAddReplaces) {
  auto s = db->Settings();
  EXPECT_FALSE(s->Exists("CreateAppointment4AllContracts"));
  EXPECT_EQ(ErrorOf([&] { s->Item("CreateAppointment4AllContracts"); }), hosterr::UnknownSetting);
  s->Add("CreateAppointment4AllContracts", "false");
  EXPECT_TRUE(s->Exists("createappointment4allcontracts"));
  s->Add("CREATEAPPOINTMENT4ALLCONTRACTS", "true");
  EXPECT_EQ(s->Item("CreateAppointment4AllContracts")->Value(), rt::Variant("true"));
  s->Item("createAppointment4AllContracts")->SetValue(int32_t{0});
  EXPECT_EQ(host->DatabaseSetting("CreateAppointment4AllContracts"), rt::Variant(int32_t{0}));
}

TEST_F(HostSettings, EachStoreIsSeparate) {
  auto meier = db->Users()->Item(0);
  auto schulz = db->Users()->Item(1);
  meier->PrivateSettings()->Add("Farbe", "blau");
  schulz->PrivateSettings()->Add("Farbe", "rot");
  meier->PublicSettings()->Add("Farbe", "grün");
  Table("Artikel")->Settings()->Add("Farbe", "gelb");
  db->Settings()->Add("Farbe", "schwarz");
  EXPECT_EQ(db->Users()->CurrentUser()->PrivateSettings()->Item("Farbe")->Value(), rt::Variant("blau"));
  EXPECT_EQ(schulz->PrivateSettings()->Item("Farbe")->Value(), rt::Variant("rot"));
  EXPECT_EQ(meier->PublicSettings()->Item("Farbe")->Value(), rt::Variant("grün"));
  EXPECT_EQ(Table("artikel")->Settings()->Item("Farbe")->Value(), rt::Variant("gelb"));
  EXPECT_FALSE(Table("Adressen")->Settings()->Exists("Farbe"));
  EXPECT_EQ(db->Settings()->Item("Farbe")->Value(), rt::Variant("schwarz"));
}

TEST_F(HostPersistVars, WalkedInInsertionOrderAndLookedUpWithoutRegardToCase) {
  auto vars = db->ScriptEngine()->PersistVars();
  host->SetPersistVar("kt_AlarmWochenEnde", "3");
  ASSERT_EQ(vars->Count(), 3);
  EXPECT_EQ(vars->At(0)->Name(), "kt_lt_VertragstypStatus");
  EXPECT_EQ(vars->At(2)->Name(), "kt_AlarmWochenEnde");
  EXPECT_EQ(ErrorOf([&] { vars->At(3); }), hosterr::InvalidArgument);
  EXPECT_EQ(vars->Item("KT_ALARMWOCHENENDE")->Name(), "kt_AlarmWochenEnde");
  EXPECT_TRUE(vars->Exists("kt_alarmwochenende"));
  EXPECT_EQ(vars->Item("kt_AlarmWochenKuendigung"), nullptr);
  EXPECT_FALSE(vars->Exists("kt_AlarmWochenKuendigung"));

  // Arrays come back as arrays; a replaced value keeps its place.
  const rt::Variant units = vars->Item("lt_Einheit")->Value();
  ASSERT_TRUE(units.IsArray());
  EXPECT_EQ(units.AsArray().items.at(3), rt::Variant("Std"));
  vars->Add("LT_EINHEIT", "Stk", nullptr);
  vars->Item("kt_AlarmWochenEnde")->SetValue(int32_t{5});
  EXPECT_EQ(vars->At(1)->Value(), rt::Variant("Stk"));
  EXPECT_EQ(vars->At(2)->Value(), rt::Variant(int32_t{5}));
  EXPECT_EQ(vars->Count(), 3);

  EXPECT_FALSE(vars->Item("lt_Einheit")->Locked());
  host->SetPersistVar("gesperrt", "x", true);
  EXPECT_TRUE(vars->Item("gesperrt")->Locked());
  auto held = vars->Item("gesperrt");
  host->RemovePersistVar("GESPERRT");
  EXPECT_FALSE(vars->Exists("gesperrt"));
  EXPECT_TRUE(held->Value().IsEmpty());
}

// Settings and variables live in the database file; so does every kind of
// value they hold.
TEST(HostSettingsFile, ValuesSurviveReopening) {
  TempDatabase file("host_settings");
  rt::Array nested;
  nested.lbound = 1;
  nested.items = {rt::Variant("a:b"),
                  rt::Variant(int16_t{-2}),
                  rt::Variant(0.1),
                  rt::Variant(true),
                  rt::Variant(rt::Date{45000.5}),
                  rt::Variant(),
                  rt::Variant::Null(),
                  rt::Variant(rt::Array{0, {rt::Variant("x"), rt::Variant("")}})};
  {
    auto host = host::sqlite::StandIn::Create(file.path(), false);
    host->SetDatabaseSetting("Schlüssel", "Wert mit\nZeilenumbruch");
    host->SetPersistVar("liste", rt::Variant(nested), true);
  }
  {
    auto host = host::sqlite::StandIn::Open(file.path());
    EXPECT_EQ(host->DatabaseSetting("SCHLÜSSEL"), rt::Variant("Wert mit\nZeilenumbruch"));
    auto var = host->Application()->Database()->ScriptEngine()->PersistVars()->Item("Liste");
    ASSERT_NE(var, nullptr);
    EXPECT_EQ(var->Value(), rt::Variant(nested));
    EXPECT_TRUE(var->Locked());
    EXPECT_EQ(ErrorOf([&] { host->SetPersistVar("obj", std::make_shared<rt::Collection>()); }),
              hosterr::NotConvertible);
  }
}

}  // namespace
}  // namespace host_test
