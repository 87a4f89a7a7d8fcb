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
//
// BM_TypeLongText: a script's `type` of a long text, as `kelhost` plays
// it (the whole text selected, the text typed key by key through the
// field's key filter, Tab), into the discount of the new-contract dialog
// (a discount of 5: zeros, then "5") or the name of a new contract type in
// the editor, each dialog then cancelled. The time is the `type` alone;
// ns_per_key is that time per key, which must not grow with the length of
// the text. Arguments: field (0 = txtRabatt, 1 = txtBezeichnung), keys.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "contract_types/frm_fedit_definitions.h"
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
                     : host::sqlite::StandIn::OpenInMemory();
  if (!inFile) host->LoadSampleData();
  AddType(*host);
  return host;
}

// The service every benchmark of this program plays its dialogs with.
const std::shared_ptr<ui::test::ScriptedService>& Ui() {
  static const std::shared_ptr<ui::test::ScriptedService> ui = [] {
    rt::SetToday(rt::DateSerial(2026, 12, 1));
    host::sqlite::RegisterErrorTexts();
    auto service = std::make_shared<ui::test::ScriptedService>();
    ui::SetService(service);
    return service;
  }();
  return ui;
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
  f = std::make_unique<Fixture>();
  f->ui = Ui();
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

// The `type` line of a script: select all, the keys, Tab. Returns its time
// in seconds, or a negative number when the user could not type or leave.
double TypeLine(ui::test::User& user, ui::TextBox& box, const std::string& keys) {
  const double start = bench::Seconds();
  const bool typed = user.SelectAll(box) && user.Type(box, keys) && user.Leave(box.ParentForm());
  const double seconds = bench::Seconds() - start;
  return typed && !box.HasFocus() ? seconds : -1;
}

void BM_TypeLongText(benchmark::State& state) {
  const bool discount = state.range(0) == 0;
  const auto keys = static_cast<size_t>(state.range(1));
  const std::shared_ptr<ui::test::ScriptedService> ui = Ui();
  const std::shared_ptr<host::sqlite::StandIn> host = NewHost(false);
  std::shared_ptr<host::HostApplication> app = host->Application();
  const auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  ui::test::User user;
  // What the field shows after Tab: the discount formatted, the name as typed.
  const std::string text = discount ? std::string(keys - 1, '0') + "5" : std::string(keys, 'x');
  const std::string shown = discount ? "5,00" : text;
  double typing = 0;
  bool right = true;
  for (auto _ : state) {
    double seconds = -1;
    if (discount) {
      ui->OnModal<frmNewContract>([&](frmNewContract& f) {
        seconds = TypeLine(user, f.txtRabatt, text);
        right = right && f.txtRabatt.Text() == shown;
        user.Click(f.cmdCancel);
      });
      bool ok = false;
      int32_t count = 0;
      bool showDef = false;
      host->RunCall([&] { ckt->NewContract(app, ok, count, showDef); });
    } else {
      ui->OnModal<frmFEditDefinitions>([&](frmFEditDefinitions& f) {
        seconds = TypeLine(user, f.txtBezeichnung, text);
        right = right && f.txtBezeichnung.Text() == shown;
        user.Click(f.cmdCancel);
      });
      bool isNew = true;
      host->RunCall([&] { ckt->EditContractDefinition(app, isNew); });
    }
    if (seconds < 0 || !right || !ui->Failures().empty() || !ui->Messages().empty()) {
      state.SkipWithError("the text was not typed as a user types it");
      return;
    }
    typing += seconds;
    state.SetIterationTime(seconds);
  }
  state.counters["ns_per_key"] = typing * 1e9 / (static_cast<double>(state.iterations()) * static_cast<double>(keys));
}

BENCHMARK(BM_TypeLongText)
    ->ArgsProduct({{0, 1}, {100000, 1000000}})
    ->ArgNames({"field", "keys"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
