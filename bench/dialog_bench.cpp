// Contracts created in the new-contract dialog from a stored contract type:
// CKT.NewContract shown headlessly, a scripted user clicks cmdOK on the
// type the dialog offers first (a renewable maintenance type with one
// position, the number drawn), each contract one host call
// (StandIn::RunCall, as `kelhost new-contract` runs it), in memory and in
// a file, on the sample data.
//
// The time of an iteration is the confirmation: from the click on cmdOK to
// the end of the host call (the save, the listing of the records written,
// the commit). Counters per contract: call_us (the whole call, the dialog's
// loading included), floor_us (the rows the confirmation writes inserted
// raw in one transaction; see floor.h), ratio (confirmation / floor),
// statements and prepares (SQL of the whole call), allocs and alloc_kb (of
// the whole call).
//
// Argument: 0 = in memory / 1 = in a file.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "core/ckt.h"
#include "core/class_factory.h"
#include "floor.h"
#include "host/sqlite/stand_in.h"
#include "new_contract/frm_new_contract.h"
#include "platform/date.h"
#include "platform/object.h"
#include "platform/ui/scripted_service.h"
#include "platform/ui/simulated_user.h"

namespace {

using Values = std::vector<std::pair<std::string, rt::Variant>>;

const char* const kWrittenTables[] = {"kt_Vertraege", "kt_VertragsAktivitaeten", "kt_Vertragsstaende",
                                      "kt_Vertragspositionen", "Adressmerkmale"};

// The sample data and a renewable maintenance type: 12 months paid
// quarterly, renewed for 12 months paid yearly, article A1 twice.
void AddType(host::sqlite::StandIn& host) {
  const std::string type = host.InsertRow("kt_Vertragsdefinitionen",
                                          {{"Status", "freigegeben"},
                                           {"Typ", "D"},
                                           {"Bezeichnung", "Wartung jährlich"},
                                           {"Art", int32_t{1}},
                                           {"ArtStr", "verlängerbar"},
                                           {"Dauer", int32_t{12}},
                                           {"Verlaengerungsdauer", int32_t{12}},
                                           {"Kuendigungsfrist", int32_t{3}},
                                           {"KuendigungsfristEinh", "Monate"},
                                           {"VerlKuendigungsfrist", int32_t{6}},
                                           {"VerlKuendigungsfristEinh", "Wochen"},
                                           {"Zahlungsperiode", int32_t{3}},
                                           {"VerlaengerungsZahlungsperiode", int32_t{12}},
                                           {"NettoSumme", 60.0},
                                           {"WorkflowID", "WF1"}});
  host.InsertRow("kt_DefinitionsPositionen",
                 {{"Artikel", "Wartung Basis"}, {"Nettopreis", 30.0},    {"Artikelnummer", "1001"},
                  {"Artikelart", "DL"},         {"Einheit", "Jahr"},      {"UStSatz", 19.0},
                  {"Beschreibung", "Basiswartung"}, {"Anzahl", 2.0},    {"Erloeskonto", int32_t{8400}},
                  {"ArtikelID", "A1"},          {"PreisM1", 2.5},         {"PreisM3", 7.5},
                  {"PreisM6", 15.0},            {"PreisM12", 30.0},       {"PreisM24", 60.0},
                  {"PreisM36", 90.0},           {"PreisM48", 120.0},      {"PreisM60", 150.0},
                  {"Preis", 30.0},              {"NettoOhneRabatt", 30.0}, {"Row", "001"},
                  {"Positionsnummer", "1"},     {"Gruppierung", "Wartung"}, {"Gruppierungsposition", int32_t{1}}},
                 type);
}

std::shared_ptr<host::sqlite::StandIn> NewHost(bool inFile) {
  auto host = inFile ? host::sqlite::StandIn::Create(bench::TempDatabase("dialog_bench"), true)
                     : host::sqlite::StandIn::Open(":memory:");
  if (!inFile) host->LoadSampleData();
  AddType(*host);
  return host;
}

struct Fixture {
  std::shared_ptr<host::sqlite::StandIn> host;
  std::shared_ptr<host::HostApplication> app;
  std::shared_ptr<CKT> ckt;
  std::shared_ptr<ui::test::ScriptedService> ui;
  ui::test::User user;
  std::unique_ptr<bench::Floor> floor;
  double clicked = 0;  // when the script clicked cmdOK

  // One contract: CKT.NewContract as one host call, confirmed at once.
  bool Contract() {
    ui->OnModal<frmNewContract>([this](frmNewContract& f) {
      clicked = bench::Seconds();
      user.Click(f.cmdOK);
    });
    bool ok = false;
    int32_t count = 0;
    bool showDef = false;
    const host::sqlite::CallResult r = host->RunCall([&] { ckt->NewContract(app, ok, count, showDef); });
    return ok && !r.error && ui->Failures().empty();
  }
};

Fixture& Get(bool inFile) {
  static std::map<bool, std::unique_ptr<Fixture>> fixtures;
  auto& f = fixtures[inFile];
  if (f) return *f;
  rt::SetToday(rt::DateSerial(2026, 12, 1));
  host::sqlite::RegisterErrorTexts();
  f = std::make_unique<Fixture>();
  f->ui = std::make_shared<ui::test::ScriptedService>();
  ui::SetService(f->ui);
  f->ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  // The rows of one confirmation, on a scratch database.
  f->host = NewHost(false);
  f->app = f->host->Application();
  if (!f->Contract()) return *f;
  f->floor = std::make_unique<bench::Floor>(
      bench::RowsOf(*f->host, {kWrittenTables[0], kWrittenTables[1], kWrittenTables[2], kWrittenTables[3],
                               kWrittenTables[4]}),
      inFile);
  f->host = NewHost(inFile);
  f->app = f->host->Application();
  return *f;
}

void BM_NewContractConfirmation(benchmark::State& state) {
  Fixture& f = Get(state.range(0) != 0);
  if (!f.floor) {
    state.SkipWithError("the dialog saved no contract");
    return;
  }
  const size_t before = f.host->Rows("kt_Vertraege").size();
  bench::CallsAndFloor calls(*f.host, *f.floor);
  for (auto _ : state) calls.Iteration(state, [&] { return f.Contract(); }, &f.clicked);
  if (!calls.Report(state) || f.host->Rows("kt_Vertraege").size() - before != static_cast<size_t>(state.iterations()))
    state.SkipWithError("a contract failed");
}

BENCHMARK(BM_NewContractConfirmation)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
