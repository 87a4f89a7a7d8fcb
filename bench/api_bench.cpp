// Contracts created without dialog: CKT.NewContractDebitor with three
// article lines and an address attribute, called as a host program calls
// it, on a database with 1 000 addresses and 100 articles and on one with
// 100 000 addresses and 10 000 articles, each in memory and in a file.
// The cost per contract should not grow with the database.
//
// BM_RawInsertFloor is the floor: the rows one such call inserts (contract,
// contract state, three positions, attribute), inserted with prepared
// SQLite statements into bare tables of the same columns, one commit per
// row as the host commits them, nothing else.
//
// Arguments: addresses, articles, 0 = in memory / 1 = in a file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/ckt.h"
#include "core/class_factory.h"
#include "host/sqlite/stand_in.h"
#include "platform/date.h"
#include "platform/object.h"

namespace {

// prefix + number (built with += to keep GCC's -Wrestrict quiet).
std::string Name(const char* prefix, long n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

// A new file name in the temp folder; the files go when the process ends.
std::string TempDatabase() {
  static std::vector<std::string> made;
  static const bool cleanup = [] {
    std::atexit([] {
      std::error_code ec;
      for (const std::string& p : made)
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(p + suffix, ec);
    });
    return true;
  }();
  (void)cleanup;
  std::string path = (std::filesystem::temp_directory_path() / "api_bench_XXXXXX").string();
  const int fd = ::mkstemp(path.data());
  if (fd >= 0) ::close(fd);
  std::filesystem::remove(path);
  made.push_back(path);
  return path;
}

// The demo's maintenance contract: renewable, quarterly, 10 %
// discount, concluded (so no open reminder), with an address attribute.
rt::ObjectPtr NewContract() {
  rt::ObjectPtr c = kelpaktor2::CreateInstance("kt_CContractD");
  c->Put("lVertragArt", int32_t{1});
  c->Put("VertragBeginn", rt::DateSerial(2027, 1, 1));
  c->Put("VertragGeschlossenAm", rt::DateSerial(2026, 12, 15));
  c->Put("Bezeichnung", "Wartungsvertrag");
  c->Put("Dauer", int32_t{12});
  c->Put("Zahlungsperiode", int32_t{3});
  c->Put("Verlaengerungsdauer", int32_t{12});
  c->Put("VerlaengerungsZahlungsperiode", int32_t{12});
  c->Put("dblRabatt", 10.0);
  c->Put("KuendFristInWochen", int32_t{6});
  c->Put("SetztMerkmalGruppe", "Vertrag");
  c->Put("SetztMerkmal", "Wartungsvertrag");
  c->Put("SetztWert", "ja");
  return c;
}

// Three lines of three different articles.
std::shared_ptr<rt::Collection> NewArticles(const std::vector<std::string>& ids) {
  auto col = std::make_shared<rt::Collection>();
  const double quantities[] = {1.0, 2.0, 0.5};
  const int32_t durations[] = {12, 1, 3};
  for (size_t i = 0; i < 3; ++i) {
    rt::ObjectPtr a = kelpaktor2::CreateInstance("kt_CArticle");
    a->Put("sArtikelID", ids[i]);
    a->Put("dblAnzahl", quantities[i]);
    a->Put("lPreisDauer", durations[i]);
    col->Add(rt::Variant(a));
  }
  return col;
}

struct Fixture {
  std::shared_ptr<host::sqlite::StandIn> host;
  std::shared_ptr<host::HostApplication> app;
  std::shared_ptr<CKT> ckt;
  rt::ObjectPtr contract;
  std::shared_ptr<rt::Collection> articles;
};

// One database per (addresses, articles, in a file), built once: the
// sample data, then more addresses and articles up to the given counts;
// the current address lies in the middle of the table.
Fixture& Get(int addresses, int articles, bool inFile) {
  static std::map<std::tuple<int, int, bool>, std::unique_ptr<Fixture>> fixtures;
  auto& f = fixtures[{addresses, articles, inFile}];
  if (f) return *f;
  rt::SetToday(rt::DateSerial(2026, 12, 1));
  host::sqlite::RegisterErrorTexts();
  f = std::make_unique<Fixture>();
  f->host = inFile ? host::sqlite::StandIn::Create(TempDatabase(), true) : host::sqlite::StandIn::Open(":memory:");
  if (!inFile) f->host->LoadSampleData();
  const std::vector<host::sqlite::Row> groups = f->host->Rows("Artikelgruppen");
  const int sampleArticles = static_cast<int>(f->host->Rows("Artikel").size());
  const int sampleAddresses = static_cast<int>(f->host->Rows("Adressen").size());
  for (int i = sampleArticles; i < articles; ++i)
    f->host->InsertRow("Artikel",
                       {{"Id", Name("ART", i)},
                        {"Bezeichnung", Name("Artikel ", i)},
                        {"Beschreibung", Name("Beschreibung ", i)},
                        {"Nummer", Name("", 10000 + i)},
                        {"Einheit", "Stk"},
                        {"Nettopreis", 10.0 + i % 100},
                        {"Erloeskonto", int32_t{8400}},
                        {"UStSatz", 19.0}},
                       groups[static_cast<size_t>(i) % groups.size()].oid);
  std::string middle;
  for (int i = sampleAddresses; i < addresses; ++i) {
    const std::string oid = f->host->InsertRow("Adressen", {{"ID", Name("K", i)}, {"Name", Name("Kunde ", i)}});
    if (i == addresses / 2) middle = oid;
  }
  if (!middle.empty()) f->host->SetCurrentAddressOid(middle, false);
  f->app = f->host->Application();
  f->ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  f->contract = NewContract();
  // Articles from the start, the middle and the end of the table.
  f->articles = NewArticles({"A1", Name("ART", articles / 2), Name("ART", articles - 1)});
  return *f;
}

void BM_NewContractDebitor(benchmark::State& state) {
  Fixture& f = Get(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), state.range(2) != 0);
  const size_t before = f.host->Rows("kt_Vertragspositionen").size();
  for (auto _ : state) f.ckt->NewContractDebitor(f.app, f.contract, f.articles);
  const size_t after = f.host->Rows("kt_Vertragspositionen").size();
  if (after - before != 3 * static_cast<size_t>(state.iterations())) state.SkipWithError("positions missing");
  state.SetItemsProcessed(state.iterations());
}

// --- The floor ---------------------------------------------------------------------

// The rows one call inserts, in insertion order: table and field values.
using RowTemplate = std::pair<std::string, std::vector<std::pair<std::string, rt::Variant>>>;

// The rows of one real call on a scratch database.
std::vector<RowTemplate> RowsOfOneCall() {
  host::sqlite::RegisterErrorTexts();
  auto host = host::sqlite::StandIn::Open(":memory:");
  host->LoadSampleData();
  auto app = host->Application();
  {
    auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
    ckt->NewContractDebitor(app, NewContract(), NewArticles({"A1", "A2", "A3"}));
  }
  std::vector<RowTemplate> rows;
  for (const char* t : {"kt_Vertraege", "kt_Vertragsstaende", "kt_Vertragspositionen", "Adressmerkmale"})
    for (host::sqlite::Row& r : host->Rows(t)) rows.push_back({t, std::move(r.fields)});
  return rows;
}

void Bind(sqlite3_stmt* s, int i, const rt::Variant& v) {
  using Kind = rt::Variant::Kind;
  switch (v.kind()) {
    case Kind::String:
      sqlite3_bind_text(s, i, v.AsString().c_str(), -1, SQLITE_TRANSIENT);
      break;
    case Kind::Bool:
      sqlite3_bind_int(s, i, v.AsBool() ? 1 : 0);
      break;
    case Kind::Int16:
    case Kind::Int32:
      sqlite3_bind_int(s, i, v.kind() == Kind::Int16 ? v.AsInt16() : v.AsInt32());
      break;
    case Kind::Double:
      sqlite3_bind_double(s, i, v.AsDouble());
      break;
    case Kind::Date:
      sqlite3_bind_double(s, i, v.AsDate().serial);
      break;
    default:
      sqlite3_bind_null(s, i);
  }
}

void BM_RawInsertFloor(benchmark::State& state) {
  const bool inFile = state.range(0) != 0;
  const std::vector<RowTemplate> rows = RowsOfOneCall();
  sqlite3* db = nullptr;
  const std::string path = inFile ? TempDatabase() : std::string(":memory:");
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
  // One bare table per host table: record id, master id, the fields.
  std::map<std::string, sqlite3_stmt*> inserts;
  for (const RowTemplate& r : rows) {
    if (inserts.count(r.first)) continue;
    std::string create = "CREATE TABLE \"" + r.first + "\" (\"_oid\" INTEGER PRIMARY KEY, \"_master\" INTEGER";
    std::string insert = "INSERT INTO \"" + r.first + "\" VALUES (NULL, ?";
    for (const auto& field : r.second) {
      create += ", \"" + field.first + "\"";
      insert += ", ?";
    }
    create += "); CREATE INDEX \"" + r.first + "_m\" ON \"" + r.first + "\" (\"_master\", \"_oid\");";
    sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(db, (insert + ")").c_str(), -1, &inserts[r.first], nullptr);
  }
  int64_t inserted = 0;
  for (auto _ : state) {
    for (const RowTemplate& r : rows) {
      sqlite3_stmt* s = inserts[r.first];
      sqlite3_bind_int64(s, 1, 1);
      int i = 2;
      for (const auto& field : r.second) Bind(s, i++, field.second);
      if (sqlite3_step(s) == SQLITE_DONE) ++inserted;
      sqlite3_reset(s);
    }
  }
  if (inserted != state.iterations() * static_cast<int64_t>(rows.size())) state.SkipWithError("insert failed");
  for (auto& entry : inserts) sqlite3_finalize(entry.second);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_NewContractDebitor)
    ->Args({1000, 100, 0})
    ->Args({100000, 10000, 0})
    ->Args({1000, 100, 1})
    ->Args({100000, 10000, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawInsertFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
