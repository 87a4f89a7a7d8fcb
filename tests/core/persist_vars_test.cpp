#include "core/mod_kt.h"
#include "core_fixture.h"

namespace {

class CorePersistVars : public coretest::CoreTest {
 protected:
  bool HostHas(const std::string& name) { return gDB->ScriptEngine()->PersistVars()->Exists(name); }
};

TEST_F(CorePersistVars, MatchesTheFirst30CharactersExactly) {
  const std::string name30 = "kt_Eine_recht_lange_Variable_1";  // 30 characters
  host_->SetPersistVar(name30, "lang");
  host_->SetPersistVar("kt_AlarmWochenEnde", int32_t{3});
  EXPECT_EQ(modKT::ReadPersistVarSetting(name30 + "XYZAB", ""), "lang");
  EXPECT_EQ(modKT::ReadPersistVarSetting("kt_AlarmWochenEnde", "4"), "3");
  // Letter case counts here, unlike in the host's own lookup.
  EXPECT_EQ(modKT::ReadPersistVarSetting("KT_ALARMWOCHENENDE", "4"), "4");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CorePersistVars, MissingGivesTheDefaultAndStoresNothing) {
  EXPECT_EQ(modKT::ReadPersistVarSetting("kt_AlarmWochenKuendigung", "6"), "6");
  EXPECT_EQ(modKT::ReadPersistVarSetting("g_DateFormat", ""), "");
  EXPECT_FALSE(HostHas("kt_AlarmWochenKuendigung"));
  EXPECT_FALSE(HostHas("g_DateFormat"));
}

TEST_F(CorePersistVars, AnUnreadableValueIsReportedAndGivesEmpty) {
  rt::Array units;
  units.items = {rt::Variant("Stk"), rt::Variant("Monat")};
  host_->SetPersistVar("lt_Einheit", units);
  EXPECT_EQ(modKT::ReadPersistVarSetting("lt_Einheit", "Stk"), "");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in modKT.ReadPersistVarSetting"));
  EXPECT_EQ(Boxes()[0].style, 48);
}

}  // namespace
