// What the stand-in keeps of what it read and wrote inside its write
// transactions: a call sees its own writes, a later call sees what another
// connection (or another program) changed meanwhile, a rolled-back
// savepoint leaves nothing kept, and a call that only reads what was kept
// runs no statement but its transaction.
#include <sqlite3.h>

#include <algorithm>
#include <string>

#include "host_fixture.h"

namespace host_test {
namespace {

using host::sqlite::StandIn;

// Runs SQL on its own connection to the file, as another program would.
void ExecSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* err = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << "\n" << sql;
  sqlite3_free(err);
  sqlite3_close(db);
}

// The same reads and writes, through the host objects of `host`; what they
// saw, one line per observation.
Strings ReadsAndWrites(StandIn& host) {
  auto app = host.Application();
  auto conn = app->Database()->Connection();
  auto articles = conn->Table("Artikel");
  auto groups = conn->Table("Artikelgruppen");
  auto vars = app->Database()->ScriptEngine()->PersistVars();
  auto settings = app->Database()->Settings();
  Strings seen;
  auto see = [&](const std::string& what, const rt::Variant& v) { seen.push_back(what + "=" + rt::CStr(v)); };
  auto field = [](const std::shared_ptr<host::DbTable>& t, const char* name) {
    return t->Fields()->Item(name)->Value();
  };

  articles->Indexes()->Select("Id", 0);
  see("A1", articles->Seek("A1", 0));
  see("A1 Preis", field(articles, "Nettopreis"));
  // A field changed, then read again after another record was current.
  articles->Fields()->Item("Nettopreis")->SetValue(99.5);
  articles->Update(0);
  articles->Seek("A2", 0);
  articles->Seek("A1", 0);
  see("A1 Preis neu", field(articles, "Nettopreis"));
  // A key changed: the old key finds nothing, the new one the record.
  const std::string a1 = articles->Oid();
  articles->Fields()->Item("Id")->SetValue("A1X");
  articles->Update(0);
  see("A1 danach", articles->Seek("A1", 0));
  see("A1X", articles->Seek("A1X", 0) && articles->Oid() == a1);
  // A key that found nothing finds the record inserted with it.
  see("NEU vorher", articles->Seek("NEU", 0));
  articles->SetValues(articles->NewValues(0));
  articles->Fields()->Item("Id")->SetValue("NEU");
  articles->Insert(0);
  const std::string neu = articles->Oid();
  articles->MoveFirst(0);
  see("NEU", articles->Seek("NEU", 0) && articles->Oid() == neu);
  see("NEU Gruppe", field(articles, "ArtikelgruppeID"));
  // A deleted record is found by neither key nor id.
  articles->Seek("A2", 0);
  const std::string a2 = articles->Oid();
  articles->Delete(0);
  see("A2 danach", articles->Seek("A2", 0));
  see("A2 Oid danach", articles->GotoOid(a2, 0));
  // Steps in the index and in the master's details after the changes.
  for (articles->MoveFirst(0); !articles->Eof(); articles->Move(1, 0)) see("Id", field(articles, "Id"));
  for (groups->MoveFirst(0); !groups->Eof(); groups->Move(1, 0)) {
    auto inGroup = conn->Table("Artikel");
    inGroup->Indexes()->Reset(0);
    for (inGroup->MoveFirst(0); !inGroup->Eof(); inGroup->Move(1, 0)) see(rt::CStr(field(groups, "ID")), field(inGroup, "Id"));
  }

  // Settings, persistent variables and the session.
  see("Einstellung vorher", settings->Exists("Neu"));
  settings->Add("Neu", "1");
  see("Einstellung", settings->Item("neu")->Value());
  settings->Item("Neu")->SetValue("2");
  see("Einstellung neu", settings->Item("NEU")->Value());
  see("Variablen", vars->Count());
  vars->Add("kt_Neu", "a", nullptr);
  see("Variablen danach", vars->Count());
  see("Letzte", vars->At(vars->Count() - 1)->Name());
  vars->Item("KT_NEU")->SetValue("b");
  see("kt_Neu", vars->Item("kt_neu")->Value());
  see("Benutzer", app->Database()->Users()->CurrentUser()->Name());
  host.SetCurrentUser("Schulz");
  see("Benutzer neu", app->Database()->Users()->CurrentUser()->Name());
  host.AddUser("Neumann");
  see("Benutzerzahl", app->Database()->Users()->Count());
  return seen;
}

// Steps through masters and details, in both orders and by several
// records at once, with records inserted and deleted between the steps;
// what the views showed, one line per step.
Strings Steps(StandIn& host) {
  auto conn = host.Application()->Database()->Connection();
  auto addresses = conn->Table("Adressen");
  auto contracts = conn->Table("kt_Vertraege");
  auto states = conn->Table("kt_Vertragsstaende");
  Strings seen;
  auto see = [&](const std::shared_ptr<host::DbTable>& t, const char* field) {
    seen.push_back(t->Eof() ? std::string("Eof") : rt::CStr(t->Fields()->Item(field)->Value()));
  };
  for (const char* id : {"A1000", "A1001"}) {
    const std::string address = host.InsertRow("Adressen", {{"ID", std::string(id) + "X"}});
    for (int c = 0; c < 5; ++c) {
      const std::string contract =
          host.InsertRow("kt_Vertraege", {{"Vertragnummer", std::string(id) + "-" + std::to_string(c)}}, address);
      for (int s = 0; s < 3; ++s)
        host.InsertRow("kt_Vertragsstaende", {{"LaufTyp", std::to_string(c) + std::to_string(s)}}, contract);
    }
  }
  for (int round = 0; round < 2; ++round) {
    for (addresses->MoveFirst(0); !addresses->Eof(); addresses->Move(1, 0)) {
      see(addresses, "ID");
      for (contracts->MoveFirst(0); !contracts->Eof(); contracts->Move(2, 0)) {
        see(contracts, "Vertragnummer");
        see(states, "LaufTyp");
        states->Move(2, 0);
        see(states, "LaufTyp");
        states->Move(-1, 0);
        see(states, "LaufTyp");
      }
      seen.push_back(std::to_string(contracts->SelectionCount()));
    }
    // A record deleted in the middle: the view steps to the next one.
    addresses->MoveFirst(0);
    addresses->Move(3, 0);
    contracts->MoveFirst(0);
    contracts->Move(1, 0);
    contracts->Delete(0);
    see(contracts, "Vertragnummer");
    see(states, "LaufTyp");
    contracts->Move(-3, 0);
    see(contracts, "Vertragnummer");
    // The next address's contracts in the natural order.
    contracts->Indexes()->Select("", 0);
    for (addresses->Move(1, 0), contracts->MoveFirst(0); !contracts->Eof(); contracts->Move(1, 0))
      see(contracts, "Vertragnummer");
  }
  return seen;
}

class HostKept : public HostTest {};

TEST_F(HostKept, StepsInACallLeadWhereTheyLeadOutsideACall) {
  Strings inCall;
  ASSERT_FALSE(host->RunCall([&] { inCall = Steps(*host); }).error);
  auto other = StandIn::OpenInMemory();
  other->LoadSampleData();
  EXPECT_EQ(inCall, Steps(*other));
  // Deleted in the first round and again in the second: the views stepped
  // on, and back before the first.
  EXPECT_EQ(std::count(inCall.begin(), inCall.end(), "A1000-3"), 2);
  EXPECT_EQ(std::count(inCall.begin(), inCall.end(), "Eof"), 2);
  // And again in a later call, with what the first one kept.
  Strings again;
  ASSERT_FALSE(host->RunCall([&] { again = Steps(*host); }).error);
  EXPECT_EQ(again, Steps(*other));
}

TEST_F(HostKept, ACallSeesItsOwnWritesAsReadsOutsideACallDo) {
  Strings inCall;
  const auto result = host->RunCall([&] { inCall = ReadsAndWrites(*host); });
  ASSERT_FALSE(result.error);
  auto other = StandIn::OpenInMemory();
  other->LoadSampleData();
  const Strings outside = ReadsAndWrites(*other);
  EXPECT_EQ(inCall, outside);
  // Spot checks, so that both cannot be wrong alike.
  for (const char* expected : {"A1 Preis neu=99,5", "A1 danach=False", "A1X=True", "NEU vorher=False", "NEU=True",
                               "NEU Gruppe=G1", "A2 danach=False", "A2 Oid danach=False", "Einstellung neu=2",
                               "Letzte=kt_Neu", "kt_Neu=b", "Benutzer neu=Schulz", "Benutzerzahl=4"})
    EXPECT_NE(std::find(inCall.begin(), inCall.end(), expected), inCall.end()) << expected;
}

TEST_F(HostKept, ACallThatOnlyReadsWhatWasKeptRunsNoStatementButItsTransaction) {
  auto articles = Table("Artikel");
  auto vars = db->ScriptEngine()->PersistVars();
  auto engine = db->ScriptEngine();
  auto reads = [&] {
    articles->Indexes()->Select("Id", 0);
    for (const char* id : {"A1", "A3", "A9"}) {
      articles->Seek(id, 0);
      Get(articles, "Nettopreis");
      engine->Evaluate("USTSatzArtikel()", 0);
    }
    for (int32_t i = 0; i < vars->Count(); ++i) vars->At(i)->Name();
    vars->Exists("kt_AlarmWochenEnde");
    db->Settings()->Exists("CreateAppointment4AllContracts");
    db->Users()->CurrentUser()->Name();
    Walk(Table("Adressen"), "Name");
  };
  host->RunCall(reads);
  const auto before = host->Statistics();
  host->RunCall(reads);
  const auto after = host->Statistics();
  EXPECT_EQ(after.statements - before.statements, 2);  // BEGIN IMMEDIATE, COMMIT
  EXPECT_EQ(after.prepares - before.prepares, 0);

  // A record written: the record, the last record id, the transaction.
  host->RunCall([&] { host->InsertRow("Adressen", {{"ID", "A2000"}}); });
  const auto written = host->Statistics();
  host->RunCall([&] { host->InsertRow("Adressen", {{"ID", "A2001"}}); });
  EXPECT_EQ(host->Statistics().statements - written.statements, 4);
  EXPECT_EQ(host->Statistics().prepares - written.prepares, 0);
}

// A stand-in on a file that another connection, or another program, changes
// between its calls.
class HostKeptFile : public ::testing::Test {
 protected:
  void SetUp() override {
    StandIn::Create(file_.path(), true);
    a_ = StandIn::Open(file_.path());
    b_ = StandIn::Open(file_.path());
  }
  TempDatabase file_{"host_kept"};
  std::shared_ptr<StandIn> a_, b_;
};

TEST_F(HostKeptFile, ACallSeesWhatOthersChangedSinceTheLastCall) {
  auto app = a_->Application();
  auto articles = app->Database()->Connection()->Table("Artikel");
  auto vars = app->Database()->ScriptEngine()->PersistVars();
  // What a call of `a_` sees.
  auto look = [&] {
    Strings seen;
    a_->RunCall([&] {
      articles->Indexes()->Select("Id", 0);
      seen.push_back(articles->Seek("A1", 0) ? rt::CStr(articles->Fields()->Item("Nettopreis")->Value()) : "-");
      seen.push_back(articles->Seek("A2", 0) ? rt::CStr(articles->Fields()->Item("Bezeichnung")->Value()) : "-");
      seen.push_back(articles->Seek("A9X", 0) ? "A9X" : "-");
      seen.push_back(app->Database()->Settings()->Exists("k") ? rt::CStr(app->Database()->Settings()->Item("k")->Value())
                                                              : "-");
      std::string names;
      for (int32_t i = 0; i < vars->Count(); ++i) names += vars->At(i)->Name() + ",";
      seen.push_back(names);
      const rt::Variant units = vars->Item("lt_Einheit")->Value();
      seen.push_back(units.IsArray() ? "Liste" : rt::CStr(units));
      seen.push_back(app->Database()->Users()->CurrentUser()->Name());
      seen.push_back(rt::CStr(app->Database()->Users()->Count()));
      seen.push_back(a_->InsertRow("Adressen", {{"ID", "von a"}}));
    });
    return seen;
  };
  const Strings first = look();
  EXPECT_EQ(first, (Strings{"120", "Hotline", "-", "-", "kt_lt_VertragstypStatus,lt_Einheit,", "Liste", "Meier",
                            "3", first.back()}));

  // Another stand-in changes a record, adds a setting, a variable and a
  // user, replaces a variable's value, makes another user current and
  // writes a record; another program changes a record and a key directly.
  auto theirs = b_->Application()->Database()->Connection()->Table("Artikel");
  ASSERT_FALSE(b_->RunCall([&] {
                   theirs->Indexes()->Select("Id", 0);
                   theirs->Seek("A1", 0);
                   theirs->Fields()->Item("Nettopreis")->SetValue(130.0);
                   theirs->Update(0);
                   b_->SetDatabaseSetting("k", "v");
                   b_->SetPersistVar("neu", "1");
                   b_->SetPersistVar("lt_Einheit", "Stk");
                   b_->AddUser("Neumann");
                   b_->SetCurrentUser("Schulz");
                   b_->InsertRow("Adressen", {{"ID", "von b"}});
                 })
                  .error);
  ExecSql(file_.path(),
          "UPDATE \"Artikel\" SET \"Bezeichnung\" = 'Telefon' WHERE \"Id\" = 'A2';"
          "UPDATE \"Artikel\" SET \"Id\" = 'A9X', \"_key_Id\" = 'A9X' WHERE \"Id\" = 'A9';");

  const Strings second = look();
  EXPECT_EQ(second, (Strings{"130", "Telefon", "A9X", "v", "kt_lt_VertragstypStatus,lt_Einheit,neu,", "Stk",
                             "Schulz", "4", second.back()}));
  // Record ids are never handed out twice: each call drew the next one.
  EXPECT_EQ(std::stoll(second.back()), std::stoll(first.back()) + 2);
  // Writes outside a call count as well.
  a_->SetDatabaseSetting("k", "w");
  b_->DeleteRows("kt_Vertraege");
  EXPECT_EQ(look()[3], "w");
}

TEST_F(HostKeptFile, ASavepointRolledBackLeavesNothingKept) {
  // Another program makes the sample's first article fail to insert.
  ExecSql(file_.path(), "DELETE FROM \"Artikel\";"
                        "CREATE TRIGGER \"nein\" BEFORE INSERT ON \"Artikel\""
                        " BEGIN SELECT RAISE(ABORT, 'nein'); END;");
  auto addresses = a_->Application()->Database()->Connection()->Table("Adressen");
  std::string before, after;
  bool sampleFailed = false;
  const auto result = a_->RunCall([&] {
    before = a_->InsertRow("Adressen", {{"ID", "vorher"}});
    // Loading the sample again runs in a savepoint; its tenant, users,
    // addresses, groups and session are written, then rolled back.
    try {
      a_->LoadSampleData();
    } catch (const rt::Error&) {
      sampleFailed = true;
    }
    after = a_->InsertRow("Adressen", {{"ID", "nachher"}});
    addresses->Indexes()->Reset(0);
    Strings ids;
    for (addresses->MoveFirst(0); !addresses->Eof(); addresses->Move(1, 0))
      ids.push_back(rt::CStr(addresses->Fields()->Item("ID")->Value()));
    EXPECT_EQ(ids, (Strings{"A1000", "A1001", "A1002", "vorher", "nachher"}));
    EXPECT_EQ(a_->Application()->Database()->Users()->Count(), 3);
  });
  EXPECT_FALSE(result.error);
  EXPECT_TRUE(sampleFailed);
  // The ids drawn inside the savepoint are drawn again, as SQLite left the
  // last one where it was.
  EXPECT_EQ(std::stoll(after), std::stoll(before) + 1);
  ASSERT_EQ(result.Written().size(), 2u);
  EXPECT_EQ(b_->Rows("Adressen").size(), 5u);
}

TEST_F(HostKeptFile, AWalkOfPersistentVariablesOutsideACallGivesTheVariableAtThatIndexNow) {
  a_->SetPersistVar("v1", "1");
  a_->SetPersistVar("v2", "2");
  auto vars = a_->Application()->Database()->ScriptEngine()->PersistVars();
  auto name = [&](int32_t i) { return vars->At(i)->Name(); };
  EXPECT_EQ(name(0), "kt_lt_VertragstypStatus");
  EXPECT_EQ(name(1), "lt_Einheit");
  // Another connection removes the first: the third is now v2.
  b_->RemovePersistVar("kt_lt_VertragstypStatus");
  EXPECT_EQ(name(2), "v2");
  EXPECT_EQ(ErrorOf([&] { name(3); }), hosterr::InvalidArgument);
  // This connection removes one and adds one.
  EXPECT_EQ(name(0), "lt_Einheit");
  a_->RemovePersistVar("lt_Einheit");
  a_->SetPersistVar("v3", "3");
  EXPECT_EQ(name(1), "v2");
  EXPECT_EQ(name(2), "v3");
  EXPECT_EQ(vars->Count(), 3);
  // Inside a call, the same.
  a_->RunCall([&] {
    EXPECT_EQ(name(0), "v1");
    a_->SetPersistVar("v4", "4");
    EXPECT_EQ(vars->Count(), 4);
    EXPECT_EQ(name(3), "v4");
    a_->RemovePersistVar("v1");
    EXPECT_EQ(name(0), "v2");
    EXPECT_EQ(ErrorOf([&] { name(3); }), hosterr::InvalidArgument);
  });
}

}  // namespace
}  // namespace host_test
