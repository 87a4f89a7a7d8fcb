// A fixed run of contracts on one database file, written through every path
// the add-on writes by: CKT.NewContractDebitor inside host calls and outside
// any, the new-contract dialog (a stored type, a type with invoiced periods,
// a cancelled and a refused confirmation), the contract-type editor, a call
// that fails half-way, and kelhost processes and a second connection that
// change the file between this process's calls. Afterwards `sqlite3 DB .dump`
// must be byte for byte the dump kept in fixed_run.sql: what the stand-in
// host writes, and in which order, does not change when its inner workings
// do.
//
// The expected dump was made by this test. When a change of the add-on's
// behaviour is meant to change it, KP_WRITE_FIXED_RUN=1 writes the new dump
// over fixed_run.sql (review the difference before committing it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/ckt.h"
#include "core/class_factory.h"
#include "host/sqlite/errors.h"
#include "host/sqlite/stand_in.h"
#include "platform/date.h"
#include "platform/object.h"
#include "platform/ui/script.h"
#include "platform/ui/script_player.h"
#include "platform/ui/service.h"
#include "tools/kelhost_run.h"

namespace {

using kelhost_test::Result;
using kelhost_test::RunKelhost;
using kelhost_test::TempDir;
using kelhost_test::WriteFile;
using Values = std::vector<std::pair<std::string, rt::Variant>>;

// The SQL dump of a database file by the sqlite3 shell.
std::string Dump(const std::string& db) {
  const std::string command = "sqlite3 '" + db + "' .dump";
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return {};
  std::string out;
  char buf[65536];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  return ::pclose(p) == 0 ? out : std::string();
}

// The first line where two texts differ, for the failure message.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected), a(actual);
  std::string le, la;
  for (int line = 1;; ++line) {
    const bool moreE = static_cast<bool>(std::getline(e, le));
    const bool moreA = static_cast<bool>(std::getline(a, la));
    if (!moreE && !moreA) return "no difference";
    if (le != la || moreE != moreA)
      return "line " + std::to_string(line) + "\nexpected: " + (moreE ? le : "(end)") +
             "\nactual:   " + (moreA ? la : "(end)");
  }
}

class HostFixedRun : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = dir_.File("host.db");
    ASSERT_EQ(Kelhost({"init", db_, "--sample"}), 0);
    host::sqlite::RegisterErrorTexts();
    Today(2026, 12, 1);
    host_ = host::sqlite::StandIn::Open(db_);
    app_ = host_->Application();
    ckt_ = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
    ASSERT_NE(ckt_, nullptr);
  }
  void TearDown() override {
    ckt_.reset();
    ui::SetService(nullptr);
    rt::SetToday(std::nullopt);
  }

  static void Today(int32_t y, int32_t m, int32_t d) { rt::SetToday(rt::DateSerial(y, m, d)); }

  // kelhost in another process; its exit status.
  int Kelhost(const std::vector<std::string>& args) {
    const Result r = RunKelhost(dir_, args);
    EXPECT_EQ(r.err, "") << args[0];
    return r.status;
  }

  // The maintenance contract of the demo with `overrides` put in.
  static rt::ObjectPtr Contract(const Values& overrides = {}) {
    rt::ObjectPtr c = kelpaktor2::CreateInstance("kt_CContractD");
    const Values base = {{"lVertragArt", int32_t{1}},
                         {"VertragBeginn", rt::DateSerial(2027, 1, 1)},
                         {"VertragGeschlossenAm", rt::DateSerial(2026, 12, 15)},
                         {"Bezeichnung", "Wartungsvertrag"},
                         {"Dauer", int32_t{12}},
                         {"Zahlungsperiode", int32_t{3}},
                         {"Verlaengerungsdauer", int32_t{12}},
                         {"VerlaengerungsZahlungsperiode", int32_t{12}},
                         {"dblRabatt", 10.0},
                         {"KuendFristInWochen", int32_t{6}},
                         {"SetztMerkmalGruppe", "Vertrag"},
                         {"SetztMerkmal", "Wartungsvertrag"},
                         {"SetztWert", "ja"}};
    for (const auto& [name, value] : base) c->Put(name, value);
    for (const auto& [name, value] : overrides) c->Put(name, value);
    return c;
  }
  static std::shared_ptr<rt::Collection> Lines(const std::vector<Values>& lines) {
    auto col = std::make_shared<rt::Collection>();
    for (const Values& line : lines) {
      rt::ObjectPtr a = kelpaktor2::CreateInstance("kt_CArticle");
      for (const auto& [name, value] : line) a->Put(name, value);
      col->Add(rt::Variant(a));
    }
    return col;
  }
  static std::shared_ptr<rt::Collection> ThreeLines() {
    return Lines({{{"sArtikelID", "A1"}, {"dblAnzahl", 1.0}, {"lPreisDauer", int32_t{12}}},
                  {{"sArtikelID", "A2"}, {"dblAnzahl", 2.0}, {"lPreisDauer", int32_t{1}}},
                  {{"sArtikelID", "A3"}, {"dblAnzahl", 0.5}, {"lPreisDauer", int32_t{3}}}});
  }

  // CKT.NewContractDebitor as one host call; the error it raised, if any.
  bool Debitor(const rt::ObjectPtr& contract, const std::shared_ptr<rt::Collection>& lines) {
    const host::sqlite::CallResult r =
        host_->RunCall([&] { ckt_->NewContractDebitor(app_, contract, lines); });
    return !r.error;
  }

  // CKT.NewContract with `script` playing the user, as one host call.
  bool Dialog(const std::string& script) {
    bool ok = false;
    int32_t count = 0;
    bool showDef = false;
    PlayInCall(script, [&] { ckt_->NewContract(app_, ok, count, showDef); });
    return ok;
  }

  // The contract-type editor on the type `oid`, as one host call.
  void Editor(const std::string& oid, const std::string& script) {
    host_->SetCurrentContractTypeOid(oid, false);
    bool pbNew = false;
    PlayInCall(script, [&] { ckt_->EditContractDefinition(app_, pbNew); });
  }

  void PlayInCall(const std::string& script, const std::function<void()>& call) {
    std::ostringstream boxes;
    auto player = std::make_shared<ui::test::ScriptPlayer>(ui::test::ParseScript(script), boxes);
    ui::SetService(player);
    const host::sqlite::CallResult r = host_->RunCall([&] {
      call();
      player->Finish();
    });
    ui::SetService(nullptr);
    EXPECT_FALSE(r.error) << script;
    boxes_ += boxes.str();
  }

  std::string TypeOid(const std::string& name) {
    for (const host::sqlite::Row& r : host_->Rows("kt_Vertragsdefinitionen"))
      if (rt::CStr(r["Bezeichnung"]) == name) return r.oid;
    return {};
  }

  TempDir dir_;
  std::string db_;
  std::shared_ptr<host::sqlite::StandIn> host_;
  std::shared_ptr<host::HostApplication> app_;
  std::shared_ptr<CKT> ckt_;
  std::string boxes_;  // the message boxes the scripts saw
};

TEST_F(HostFixedRun, WritesTheKeptDump) {
  // The programmatic path: a renewable contract with three lines, a one-off
  // one without conclusion date (its reminders) with a special price, an
  // own discount and a grouping, and one outside any host call.
  ASSERT_TRUE(Debitor(Contract(), ThreeLines()));
  ASSERT_TRUE(Debitor(Contract({{"lVertragArt", int32_t{2}},
                                {"VertragGeschlossenAm", rt::Date{}},
                                {"Zahlungsperiode", int32_t{12}},
                                {"Verlaengerungsdauer", int32_t{0}},
                                {"VerlaengerungsZahlungsperiode", int32_t{0}},
                                {"dblRabatt", 0.0},
                                {"Memo", "Projekt\r\nzweite Zeile"},
                                {"Auftragsnummer", "AU-77"}}),
                      Lines({{{"sArtikelID", "A5"},
                              {"dblAnzahl", 3.0},
                              {"lPreisDauer", int32_t{12}},
                              {"bSonderpreisVerwenden", true},
                              {"dblPreis", 45.5},
                              {"sBeschreibung", "Sonderposten"},
                              {"bUseCustomDiscount", true},
                              {"dblCustomDiscount", 12.5},
                              {"sGruppierung", "Projekt"}},
                             {{"sArtikelID", "A4"}, {"dblAnzahl", 10.0}, {"lPreisDauer", int32_t{1}}}})));
  ASSERT_TRUE(host_->SetCurrentAddress("A1001", false));
  ckt_->NewContractDebitor(app_, Contract({{"SetztWert", "nein"}}), ThreeLines());

  // The dialog from a stored type.
  ASSERT_TRUE(Dialog("pick lvwBezeichnung Wartung jährlich\n"
                     "date DTPVertragBeginn 01.02.2027\n"
                     "type txtRabatt 10\n"
                     "select cboVerantwortlich Schulz\n"
                     "click cmdOK\n"));

  // Another process and another connection change the file between calls:
  // a contract (the next number), an article's price, a setting and the
  // reminder lead time.
  const std::string contractFile = dir_.File("vertrag.txt"), articlesFile = dir_.File("artikel.csv");
  WriteFile(contractFile,
            "lVertragArt = 1\nVertragBeginn = 01.03.2027\nVertragGeschlossenAm = 15.12.2026\n"
            "Bezeichnung = Fremd\nDauer = 12\nZahlungsperiode = 3\nVerlaengerungsdauer = 12\n"
            "VerlaengerungsZahlungsperiode = 12\ndblRabatt = 0\nKuendFristInWochen = 6\nMemo =\n"
            "RabattNurErsteLaufzeit = false\nSetztMerkmalGruppe = Kunde\nSetztMerkmal = Status\n"
            "SetztWert = aktiv\nAuftragsnummer =\n");
  WriteFile(articlesFile, "sArtikelID;dblAnzahl;lPreisDauer\nA1;1;12\n");
  ASSERT_EQ(Kelhost({"debitor", db_, "--contract", contractFile, "--articles", articlesFile, "--today",
                     "2026-12-01"}),
            0);
  {
    auto other = host::sqlite::StandIn::Open(db_);
    auto articles = other->Application()->Database()->Connection()->Table("Artikel");
    ASSERT_FALSE(other->RunCall([&] {
                        articles->Indexes()->Select("Id", 0);
                        ASSERT_TRUE(articles->Seek("A1", 0));
                        articles->Fields()->Item("Nettopreis")->SetValue(130.0);
                        articles->Update(0);
                      })
                     .error);
  }
  ASSERT_EQ(Kelhost({"setting", db_, "CreateAppointment4AllContracts", "true"}), 0);
  ASSERT_EQ(Kelhost({"persist", db_, "kt_AlarmWochenKuendigung", "8"}), 0);

  // This process sees all of it.
  ASSERT_TRUE(Debitor(Contract({{"VertragBeginn", rt::DateSerial(2027, 4, 1)}}), ThreeLines()));
  ASSERT_TRUE(Dialog("pick lvwBezeichnung Wartung jährlich\n"
                     "date DTPVertragBeginn 01.05.2027\n"
                     "click cmdOK\n"));

  // The editor changes a type; the next contract of that type follows it.
  Editor(TypeOid("Projekt einmalig"), "type txtDauer 9\nclick cmdSave\n");
  ASSERT_TRUE(Dialog("pick lvwBezeichnung Projekt einmalig\n"
                     "date DTPVertragBeginn 01.06.2027\n"
                     "click cmdOK\n"));

  // A contract with invoiced periods, entered later.
  Today(2026, 12, 8);
  ASSERT_TRUE(Dialog("pick lvwBezeichnung Wartung jährlich\n"
                     "date DTPVertragBeginn 01.10.2024\n"
                     "tick chkOldContract\n"
                     "select lstInvoices #4\n"
                     "click cmdOK\n"));
  // Cancelled, and refused for want of a number: nothing written.
  EXPECT_FALSE(Dialog("click cmdCancel\n"));
  EXPECT_FALSE(Dialog("untick ChkAutoNumber\nclick cmdOK\nclick cmdCancel\n"));

  // A call that fails half-way keeps what it wrote before the error.
  host_->FailNext("Adressmerkmale", "Insert", host::sqlite::hosterr::Storage, "");
  EXPECT_FALSE(Debitor(Contract({{"Bezeichnung", "Abgebrochen"}}), ThreeLines()));
  ASSERT_TRUE(Debitor(Contract({{"Bezeichnung", "Zuletzt"}}), ThreeLines()));
  host_.reset();
  app_.reset();

  const std::string actual = Dump(db_);
  ASSERT_FALSE(actual.empty());
  const std::string kept = std::string(KP_RUNS_DIR) + "/fixed_run.sql";
  if (const char* write = std::getenv("KP_WRITE_FIXED_RUN"); write && std::string(write) == "1") {
    std::ofstream(kept, std::ios::binary | std::ios::trunc) << actual;
    GTEST_SKIP() << "wrote " << kept;
  }
  std::ifstream in(kept, std::ios::binary);
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_TRUE(actual == expected.str()) << FirstDifference(expected.str(), actual);
  EXPECT_EQ(boxes_,
            "[kelPaktor2] Überprüfen Sie bitte, ob die Preise noch stimmen !\n"
            "[Kelmaris Paktor] Vergeben Sie bitte eine Vertragsnummer!\n");
}

}  // namespace
