#include <functional>
#include <string>
#include <vector>

#include "core/config.h"
#include "core_fixture.h"
#include "platform/error.h"

namespace {

class CoreConfig : public coretest::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    host_->AddUser("Meier");
    host_->SetCurrentUser("Meier");
  }

  std::shared_ptr<host::DbTable> Table() { return gDB->Connection()->Table("kt_Vertraege"); }

  // The read and write operations of one store, named as in their error
  // source ("CConfig.Read" & name, "CConfig.Write" & name).
  struct Store {
    std::string name;
    std::function<std::string(CConfig&, const std::string&, const std::string&)> read;
    std::function<void(CConfig&, const std::string&, const std::string&)> write;
  };
  std::vector<Store> Stores(std::shared_ptr<host::DbTable> t) {
    return {
        {"PrivateSetting", [](CConfig& c, auto& k, auto& d) { return c.ReadPrivateSetting(k, d); },
         [](CConfig& c, auto& k, auto& v) { c.WritePrivateSetting(k, v); }},
        {"PublicSetting", [](CConfig& c, auto& k, auto& d) { return c.ReadPublicSetting(k, d); },
         [](CConfig& c, auto& k, auto& v) { c.WritePublicSetting(k, v); }},
        {"DatabaseSetting", [](CConfig& c, auto& k, auto& d) { return c.ReadDatabaseSetting(k, d); },
         [](CConfig& c, auto& k, auto& v) { c.WriteDatabaseSetting(k, v); }},
        {"PersistVarSetting", [](CConfig& c, auto& k, auto& d) { return c.ReadPersistVarSetting(k, d); },
         [](CConfig& c, auto& k, auto& v) { c.WritePersistVarSetting(k, rt::Variant(v)); }},
        {"TableSetting", [t](CConfig& c, auto& k, auto& d) { return c.ReadTableSetting(t, k, d); },
         [t](CConfig& c, auto& k, auto& v) { c.WriteTableSetting(t, k, v); }},
    };
  }
  std::vector<Store> Stores() { return Stores(Table()); }
};

const std::string k30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";

TEST_F(CoreConfig, EveryStoreRoundTripsUnderTheFirst30Characters) {
  CConfig c;
  for (const Store& s : Stores()) {
    SCOPED_TRACE(s.name);
    s.write(c, k30 + "-first-writer", "eins");
    EXPECT_EQ(s.read(c, k30, ""), "eins");
    s.write(c, k30 + "-second-writer", "zwei");  // same setting
    EXPECT_EQ(s.read(c, k30 + "-another-reader", "x"), "zwei");
    // Cut on a character boundary: "ä" is the 30th character.
    const std::string umlaut = "abcdefghijklmnopqrstuvwxyz012ä" + std::string("öü");
    s.write(c, umlaut, "u");
    EXPECT_EQ(s.read(c, "abcdefghijklmnopqrstuvwxyz012ä", ""), "u");
  }
  EXPECT_EQ(host_->DatabaseSetting(k30).value(), rt::Variant("zwei"));
  EXPECT_FALSE(host_->DatabaseSetting(k30 + "-first-writer").has_value());
}

TEST_F(CoreConfig, ReadStoresANonEmptyDefaultOnly) {
  CConfig c;
  for (const Store& s : Stores()) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(s.read(c, "CreateAppointment4AllContracts", "false"), "false");
    EXPECT_EQ(s.read(c, "CreateAppointment4AllContracts", "true"), "false");  // found, kept
    EXPECT_EQ(s.read(c, "Leer", ""), "");
    EXPECT_EQ(s.read(c, "Leer", "spaeter"), "spaeter");  // nothing was stored before
  }
  EXPECT_EQ(host_->DatabaseSetting("CreateAppointment4AllContracts").value(), rt::Variant("false"));
}

TEST_F(CoreConfig, WriteChangesOnlyWhenTheTextDiffersBeyondLetterCase) {
  CConfig c;
  host_->SetDatabaseSetting("Flag", "true");
  c.WriteDatabaseSetting("Flag", "TRUE");
  EXPECT_EQ(host_->DatabaseSetting("Flag").value(), rt::Variant("true"));
  host_->SetDatabaseSetting("Ort", "München");
  c.WriteDatabaseSetting("Ort", "MÜNCHEN");
  EXPECT_EQ(host_->DatabaseSetting("Ort").value(), rt::Variant("München"));
  c.WriteDatabaseSetting("Flag", "false");
  EXPECT_EQ(host_->DatabaseSetting("Flag").value(), rt::Variant("false"));
}

TEST_F(CoreConfig, LockedPersistentVariableStaysSilently) {
  host_->SetPersistVar("kt_Gesperrt", "alt", /*locked=*/true);
  CConfig c;
  EXPECT_NO_THROW(c.WritePersistVarSetting("kt_Gesperrt", rt::Variant("neu")));
  EXPECT_EQ(c.ReadPersistVarSetting("kt_Gesperrt", ""), "alt");
  c.WritePersistVarSetting("kt_Neu", rt::Variant(int32_t{7}));
  auto var = gDB->ScriptEngine()->PersistVars()->Item("kt_Neu");
  ASSERT_TRUE(var);
  EXPECT_EQ(rt::CStr(var->Value()), "7");
}

TEST_F(CoreConfig, CBooleanHasItsOwnRule) {
  CConfig c;
  for (const char* t : {"-1", "-1abc", " -1", "true", "TRUE", "t", "T", "wahr", "WAHR", "w", "W"})
    EXPECT_TRUE(c.CBoolean(rt::Variant(t))) << t;
  for (const char* f : {"1", "", "0", "false", "ja", "2", "-2", "truely"})
    EXPECT_FALSE(c.CBoolean(rt::Variant(f))) << f;
  EXPECT_TRUE(c.CBoolean(rt::Variant(true)));  // its text is "True"
  EXPECT_FALSE(c.CBoolean(rt::Variant(int32_t{1})));
}

TEST_F(CoreConfig, ReadSettingPrefersPrivateUncutAndNeverWrites) {
  CConfig c;
  c.WritePrivateSetting("Farbe", "blau");
  host_->SetDatabaseSetting("Farbe", "rot");
  EXPECT_EQ(c.ReadSetting("Farbe", "grau"), "blau");
  host_->SetDatabaseSetting("Form", "rund");
  EXPECT_EQ(c.ReadSetting("Form", "eckig"), "rund");
  EXPECT_EQ(c.ReadSetting("Fehlt", "weg"), "weg");
  EXPECT_FALSE(host_->DatabaseSetting("Fehlt").has_value());
  // The key is not cut: a 40-character key is not found under its first 30.
  host_->SetDatabaseSetting(k30 + "0123456789", "lang");
  EXPECT_EQ(c.ReadSetting(k30 + "0123456789", ""), "lang");
  EXPECT_EQ(c.ReadDatabaseSetting(k30 + "0123456789", ""), "");
}

TEST_F(CoreConfig, HostFailuresCarryTheOperationsSource) {
  CConfig c;
  const int32_t n = static_cast<int32_t>(0x80041234u);
  auto text = [](const std::function<void()>& f) { return coretest::ErrorText(f); };
  host_->FailNext("Settings", "Exists", n, "Platte voll");
  EXPECT_EQ(text([&] { c.ReadDatabaseSetting("A", "x"); }),
            "Fehler &H80041234 in CConfig.ReadDatabaseSetting: Platte voll");
  // A failing write-back surfaces with the read's source.
  host_->FailNext("Settings", "Add", n, "kein Platz");
  EXPECT_EQ(text([&] { c.ReadDatabaseSetting("A", "x"); }),
            "Fehler &H80041234 in CConfig.ReadDatabaseSetting: kein Platz");
  EXPECT_FALSE(host_->DatabaseSetting("A").has_value());
  host_->FailNext("Settings", "Add", n, "kein Platz");
  EXPECT_EQ(text([&] { c.WritePublicSetting("A", "x"); }),
            "Fehler &H80041234 in CConfig.WritePublicSetting: kein Platz");
  // The private and table reads ignore errors once the key is cut.
  host_->FailNext("Settings", "Exists", n, "Platte voll");
  EXPECT_EQ(c.ReadPrivateSetting("B", "dflt"), "dflt");
  host_->FailNext("Settings", "Exists", n, "Platte voll");
  EXPECT_EQ(c.ReadTableSetting(Table(), "B", "dflt"), "dflt");
  EXPECT_EQ(c.ReadTableSetting(nullptr, "B", "dflt"), "dflt");
}

TEST_F(CoreConfig, WithoutDatabaseOperationsRaise91ButTableOnesGiveTheDefault) {
  const std::shared_ptr<host::DbTable> table = Table();
  gDB.reset();
  CConfig c;
  const std::string d91 = ": " + rt::DescriptionOf(rt::errc::ObjectNotSet);
  for (const Store& s : Stores(table)) {
    SCOPED_TRACE(s.name);
    if (s.name == "TableSetting") {
      // The table is at hand, but the CConfig has no database: nothing is
      // read or written.
      EXPECT_EQ(s.read(c, "k", "d"), "d");
      EXPECT_EQ(s.read(c, "k", ""), "");
      EXPECT_EQ(coretest::ErrorOf([&] { s.write(c, "k", "v"); }), 0);
      EXPECT_FALSE(table->Settings()->Exists("k"));
      continue;
    }
    EXPECT_EQ(coretest::ErrorText([&] { s.read(c, "k", "d"); }), "Fehler &H5B in CConfig.Read" + s.name + d91);
    EXPECT_EQ(coretest::ErrorText([&] { s.write(c, "k", "v"); }), "Fehler &H5B in CConfig.Write" + s.name + d91);
  }
}

}  // namespace
