// One `kelhost debitor` call on the sample database and on a database with
// 1 000 000 position rows (1 000 contracts of 1 000 positions each), and
// `kelhost version`. The call runs in one transaction and lists the
// records it wrote from the host's own record of its writes, so its cost
// should not grow with the database: the aim is the large database within
// 2x of the sample.
//
// BM_DebitorCommand runs the kelhost binary as a user does (process start,
// opening the file, the call, the listing to /dev/null); BM_VersionCommand
// runs `kelhost version`, which is little more than the process start.
// Each iteration of both also runs an empty C++ program (empty_program,
// linked to nothing of ours) as its floor, so that both see the same
// machine; the iteration's time is kelhost's. Counters: empty_us (the
// floor) and ratio (kelhost / floor). The aims, on a quiet machine:
// `version` within 3x of the floor, `debitor` on the sample within 8 ms.
// A process start costs mostly the libraries it loads and relocates; Qt,
// loaded only for a dialog on screen, would take more than all of the rest.
//
// BM_DebitorHostCall does the same work as `debitor` in this process:
// StandIn::Open, RunCall of CKT.NewContractDebitor, the records written
// read back.
//
// Argument of the debitor benchmarks: 0 = the sample database, 1 = 1 000 000
// positions.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "core/ckt.h"
#include "core/class_factory.h"
#include "host/sqlite/stand_in.h"
#include "platform/date.h"
#include "platform/object.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kContracts = 1000;
constexpr int kPositionsPerContract = 1000;

// A folder of this run's files, removed when the process ends.
const fs::path& Folder() {
  static const fs::path folder = [] {
    std::string tmpl = (fs::temp_directory_path() / "kelhost_call_bench_XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(Folder(), ec);
    });
    return fs::path(tmpl);
  }();
  return folder;
}

void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::fprintf(stderr, "%s\n", err ? err : "sqlite error");
    std::abort();
  }
}

// Adds the old contracts, one state each with its positions, straight into
// the file, with record ids the stand-in has not handed out yet.
void AddPositions(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) std::abort();
  const std::string n = std::to_string(kContracts);
  const std::string per = std::to_string(kPositionsPerContract);
  const std::string all = std::to_string(kContracts * kPositionsPerContract);
  Exec(db,
       "BEGIN;"
       "CREATE TEMP TABLE base AS SELECT value AS b FROM _kelhost_meta WHERE key = 'LastOid';"
       "WITH RECURSIVE i(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM i WHERE x < " + n + ")"
       " INSERT INTO kt_Vertraege (_oid, _master, Typ, Bezeichnung, Vertragnummer, AktValue)"
       " SELECT (SELECT b FROM base) + x, (SELECT _oid FROM Adressen ORDER BY _oid LIMIT 1), 'D',"
       " 'Bestand ' || x, printf('B%07d', x), 1000 FROM i;"
       "WITH RECURSIVE i(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM i WHERE x < " + n + ")"
       " INSERT INTO kt_Vertragsstaende (_oid, _master, LaufTyp, Value)"
       " SELECT (SELECT b FROM base) + " + n + " + x, (SELECT b FROM base) + x, 'E', 1000 FROM i;"
       "WITH RECURSIVE i(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM i WHERE x < " + all + ")"
       " INSERT INTO kt_Vertragspositionen (_oid, _master, Artikel, Nettopreis, Artikelnummer, Einheit,"
       " Beschreibung, Anzahl, Erloeskonto, ArtikelID, Row, PreisM1, PreisM12, Preis, NettoOhneRabatt)"
       " SELECT (SELECT b FROM base) + 2 * " + n + " + x, (SELECT b FROM base) + " + n + " + 1 + (x - 1) / " +
           per + ", 'Wartung Basis', 1, '1001', 'Jahr', 'Basiswartung, Position ' || x, 1, 8400, 'A1',"
           " printf('%03d', (x - 1) % " + per + " + 1), 10, 120, 1, 1 FROM i;"
       "UPDATE _kelhost_meta SET value = (SELECT b FROM base) + 2 * " + n + " + " + all +
           " WHERE key = 'LastOid';"
       "COMMIT;");
  sqlite3_close(db);
}

// The sample database, or the sample with the positions; made once.
const std::string& Database(bool large) {
  static std::map<bool, std::string> made;
  std::string& path = made[large];
  if (path.empty()) {
    path = (Folder() / (large ? "large.db" : "sample.db")).string();
    host::sqlite::StandIn::Create(path, true);
    if (large) AddPositions(path);
  }
  return path;
}

// The demo's maintenance contract with two article lines, as kelhost files.
const char* kContract =
    "lVertragArt = 1\nVertragBeginn = 01.01.2027\nVertragGeschlossenAm = 15.12.2026\n"
    "Bezeichnung = Wartungsvertrag\nDauer = 12\nZahlungsperiode = 3\nVerlaengerungsdauer = 12\n"
    "VerlaengerungsZahlungsperiode = 12\ndblRabatt = 10\nKuendFristInWochen = 6\nMemo =\n"
    "RabattNurErsteLaufzeit = false\nSetztMerkmalGruppe = Vertrag\nSetztMerkmal = Wartungsvertrag\n"
    "SetztWert = ja\nAuftragsnummer =\n";
const char* kArticles = "sArtikelID;dblAnzahl;lPreisDauer\nA1;1;12\nA2;2;1\n";

std::string Input(const char* name, const char* text) {
  const std::string path = (Folder() / name).string();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// A program run to its end, as a user starts it, its output to /dev/null.
class Process {
 public:
  explicit Process(std::vector<std::string> args) : args_(std::move(args)) {
    for (std::string& a : args_) argv_.push_back(a.data());
    argv_.push_back(nullptr);
    posix_spawn_file_actions_init(&quiet_);
    posix_spawn_file_actions_addopen(&quiet_, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet_, 2, "/dev/null", O_WRONLY, 0);
  }
  ~Process() { posix_spawn_file_actions_destroy(&quiet_); }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Seconds from its start to its end; negative when it failed.
  double Run() {
    const double start = bench::Seconds();
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, argv_[0], &quiet_, nullptr, argv_.data(), environ) != 0 ||
        ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
      return -1;
    return bench::Seconds() - start;
  }

 private:
  std::vector<std::string> args_;
  std::vector<char*> argv_;
  posix_spawn_file_actions_t quiet_;
};

// Iterations of `command`, each beside a run of the empty program; the
// benchmark fails when a process does.
void AgainstEmptyProgram(benchmark::State& state, Process& command) {
  Process empty({EMPTY_PROGRAM_PATH});
  double commandTime = 0, emptyTime = 0;
  for (auto _ : state) {
    const double e = empty.Run();
    const double c = command.Run();
    if (e < 0 || c < 0) {
      state.SkipWithError("a process failed");
      return;
    }
    state.SetIterationTime(c);
    commandTime += c;
    emptyTime += e;
  }
  state.counters["empty_us"] = emptyTime / static_cast<double>(state.iterations()) * 1e6;
  state.counters["ratio"] = commandTime / emptyTime;
  state.SetItemsProcessed(state.iterations());
}

void BM_VersionCommand(benchmark::State& state) {
  Process version({KELHOST_PATH, "version"});
  AgainstEmptyProgram(state, version);
}

void BM_DebitorCommand(benchmark::State& state) {
  const std::string& db = Database(state.range(0) != 0);
  const std::string contract = Input("vertrag.txt", kContract);
  const std::string articles = Input("artikel.csv", kArticles);
  Process debitor({KELHOST_PATH, "debitor", db, "--contract", contract, "--articles", articles, "--today",
                   "2026-12-01"});
  AgainstEmptyProgram(state, debitor);
}

rt::ObjectPtr NewArticle(const char* id, double quantity, int32_t months) {
  rt::ObjectPtr a = kelpaktor2::CreateInstance("kt_CArticle");
  a->Put("sArtikelID", id);
  a->Put("dblAnzahl", quantity);
  a->Put("lPreisDauer", months);
  return a;
}

void BM_DebitorHostCall(benchmark::State& state) {
  const std::string& db = Database(state.range(0) != 0);
  rt::SetToday(rt::DateSerial(2026, 12, 1));
  host::sqlite::RegisterErrorTexts();
  rt::ObjectPtr contract = kelpaktor2::CreateInstance("kt_CContractD");
  for (const auto& [name, value] : std::vector<std::pair<const char*, rt::Variant>>{
           {"lVertragArt", int32_t{1}},        {"VertragBeginn", rt::DateSerial(2027, 1, 1)},
           {"VertragGeschlossenAm", rt::DateSerial(2026, 12, 15)},
           {"Bezeichnung", "Wartungsvertrag"}, {"Dauer", int32_t{12}},
           {"Zahlungsperiode", int32_t{3}},    {"Verlaengerungsdauer", int32_t{12}},
           {"VerlaengerungsZahlungsperiode", int32_t{12}},
           {"dblRabatt", 10.0},                {"KuendFristInWochen", int32_t{6}},
           {"SetztMerkmalGruppe", "Vertrag"},  {"SetztMerkmal", "Wartungsvertrag"},
           {"SetztWert", "ja"}})
    contract->Put(name, value);
  auto articles = std::make_shared<rt::Collection>();
  articles->Add(rt::Variant(NewArticle("A1", 1, 12)));
  articles->Add(rt::Variant(NewArticle("A2", 2, 1)));
  size_t written = 0;
  for (auto _ : state) {
    auto host = host::sqlite::StandIn::Open(db);
    auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
    auto app = host->Application();
    const host::sqlite::CallResult result =
        host->RunCall([&] { ckt->NewContractDebitor(app, contract, articles); });
    if (result.error) {
      state.SkipWithError("the call raised an error");
      break;
    }
    written += result.Written().size();
  }
  state.counters["records"] =
      benchmark::Counter(static_cast<double>(written), benchmark::Counter::kAvgIterations);
  rt::SetToday(std::nullopt);
}

}  // namespace

BENCHMARK(BM_VersionCommand)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DebitorCommand)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DebitorHostCall)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
