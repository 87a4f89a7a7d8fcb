// Contracts created without dialog: CKT.NewContractDebitor with three
// article lines and an address attribute, each contract one host call
// (StandIn::RunCall, one write transaction, as kelhost runs it), on a
// database with 1 000 addresses and 100 articles and on one with 100 000
// addresses and 10 000 articles, each in memory and in a file. The cost per
// contract should not grow with the database.
//
// The floor, measured in the same iterations so that both see the same
// machine: the rows one such call inserts (contract, contract state, three
// positions, attribute), inserted with prepared SQLite statements into bare
// tables of the same columns, in one transaction per contract, nothing
// else; in memory or in a file as the host's database.
//
// The time of an iteration is the host's contract. Counters per contract
// (see CallsAndFloor in floor.h): floor_us, ratio (host / floor),
// statements and prepares (SQL the host ran and compiled), allocs and
// alloc_kb (C++ and SQLite allocations of the host's contract).
//
// Arguments: addresses, articles, 0 = in memory / 1 = in a file.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "floor.h"
#include "core/ckt.h"
#include "core/class_factory.h"
#include "host/sqlite/stand_in.h"
#include "platform/date.h"
#include "platform/object.h"

namespace {

using bench::Name;

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

// The rows of one real call on a scratch database.
std::vector<bench::RowTemplate> RowsOfOneCall() {
  auto host = host::sqlite::StandIn::OpenInMemory();
  host->LoadSampleData();
  auto app = host->Application();
  {
    auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
    ckt->NewContractDebitor(app, NewContract(), NewArticles({"A1", "A2", "A3"}));
  }
  return bench::RowsOf(*host, {"kt_Vertraege", "kt_Vertragsstaende", "kt_Vertragspositionen", "Adressmerkmale"});
}

struct Fixture {
  std::shared_ptr<host::sqlite::StandIn> host;
  std::shared_ptr<host::HostApplication> app;
  std::shared_ptr<CKT> ckt;
  rt::ObjectPtr contract;
  std::shared_ptr<rt::Collection> articles;
  std::unique_ptr<bench::Floor> floor;
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
  f->host = inFile ? host::sqlite::StandIn::Create(bench::TempDatabase("api_bench"), true)
                   : host::sqlite::StandIn::OpenInMemory();
  if (!inFile) f->host->LoadSampleData();
  const std::vector<host::sqlite::Row> groups = f->host->Rows("Artikelgruppen");
  const int sampleArticles = static_cast<int>(f->host->Rows("Artikel").size());
  const int sampleAddresses = static_cast<int>(f->host->Rows("Adressen").size());
  f->host->RunCall([&] {
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
      const std::string oid =
          f->host->InsertRow("Adressen", {{"ID", Name("K", i)}, {"Name", Name("Kunde ", i)}});
      if (i == addresses / 2) middle = oid;
    }
    if (!middle.empty()) f->host->SetCurrentAddressOid(middle, false);
  });
  f->app = f->host->Application();
  f->ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  f->contract = NewContract();
  // Articles from the start, the middle and the end of the table.
  f->articles = NewArticles({"A1", Name("ART", articles / 2), Name("ART", articles - 1)});
  f->floor = std::make_unique<bench::Floor>(RowsOfOneCall(), inFile);
  return *f;
}

void BM_NewContractDebitor(benchmark::State& state) {
  Fixture& f = Get(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), state.range(2) != 0);
  const size_t before = f.host->Rows("kt_Vertragspositionen").size();
  bench::CallsAndFloor calls(*f.host, *f.floor);
  for (auto _ : state) {
    calls.Iteration(state, [&] {
      return !f.host->RunCall([&] { f.ckt->NewContractDebitor(f.app, f.contract, f.articles); }).error;
    });
  }
  const size_t after = f.host->Rows("kt_Vertragspositionen").size();
  if (!calls.Report(state) || after - before != 3 * static_cast<size_t>(state.iterations()))
    state.SkipWithError("a contract failed");
}

BENCHMARK(BM_NewContractDebitor)
    ->Args({1000, 100, 0})
    ->Args({100000, 10000, 0})
    ->Args({1000, 100, 1})
    ->Args({100000, 10000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
