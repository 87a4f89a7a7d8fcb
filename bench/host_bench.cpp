// The stand-in host's indexed access: a Seek by index "Id" on Artikel and a
// walk over one address's contracts, on tables of 1 000 and 100 000 rows.
// The cost should not grow with the table beyond the logarithm. Also the
// field access by name that every reader and writer of the add-on makes.
//
// BM_StepContracts and BM_StepPersistVars: single steps of a walk, on a small
// and a large case (10 or 100 000 contracts on one address; the sample's
// two or 10 000 persistent variables), outside any host call and inside
// one. A step should cost the same in both.
//
// BM_RawIndexLookup is the floor: the same keyed lookup with a prepared
// SQLite statement on a bare table of the same shape, nothing else. Where
// it grows from 1 000 to 100 000 rows, that growth is the machine's memory
// hierarchy, and the host's Seek cannot grow less.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"

namespace {

constexpr int kContractsPerAddress = 10;

struct Fixture {
  std::shared_ptr<host::sqlite::StandIn> host;
  std::shared_ptr<host::DbConnection> conn;
  std::vector<std::string> articleIds;
  std::string address;  // an address in the middle of the table
};

// prefix + number (built with += to keep GCC's -Wrestrict quiet).
std::string Name(const char* prefix, long n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

std::string ArticleId(int i) { return Name("ART", static_cast<long>(i) * 7919 % 1000003); }

// One database per size, built once: `rows` articles in 20 groups and
// `rows` contracts, ten per address.
Fixture& Get(int rows) {
  static std::map<int, std::unique_ptr<Fixture>> fixtures;
  auto& f = fixtures[rows];
  if (f) return *f;
  f = std::make_unique<Fixture>();
  f->host = host::sqlite::StandIn::OpenInMemory();
  std::vector<std::string> groups;
  for (int g = 0; g < 20; ++g) groups.push_back(f->host->InsertRow("Artikelgruppen", {{"ID", Name("G", g)}}));
  for (int i = 0; i < rows; ++i) {
    f->articleIds.push_back(ArticleId(i));
    f->host->InsertRow(
        "Artikel",
        {{"Id", f->articleIds.back()}, {"Bezeichnung", Name("Artikel ", i)}, {"Nettopreis", 10.0 + i % 100}},
        groups[static_cast<size_t>(i % 20)]);
  }
  std::vector<std::string> addresses;
  for (int a = 0; a < rows / kContractsPerAddress; ++a)
    addresses.push_back(f->host->InsertRow("Adressen", {{"ID", Name("K", a)}}));
  // Contracts interleaved over the addresses, as they arrive over time.
  for (int i = 0; i < rows; ++i)
    f->host->InsertRow("kt_Vertraege", {{"Vertragnummer", std::to_string(i)}},
                       addresses[static_cast<size_t>(i) % addresses.size()]);
  f->address = addresses[addresses.size() / 2];
  f->conn = f->host->Application()->Database()->Connection();
  return *f;
}

void BM_SeekArticleById(benchmark::State& state) {
  Fixture& f = Get(static_cast<int>(state.range(0)));
  auto articles = f.conn->Table("Artikel");
  articles->Indexes()->Select("Id", 0);
  articles->MoveFirst(256);
  size_t i = 0;
  bool found = false;
  for (auto _ : state) {
    articles->Seek(f.articleIds[i], 256, &found);
    benchmark::DoNotOptimize(found);
    i = (i + 104729) % f.articleIds.size();
  }
  if (!found) state.SkipWithError("article not found");
  state.SetItemsProcessed(state.iterations());
}

void BM_WalkAddressContracts(benchmark::State& state) {
  Fixture& f = Get(static_cast<int>(state.range(0)));
  f.host->SetCurrentAddressOid(f.address, false);
  auto contracts = f.conn->Table("kt_Vertraege");
  int64_t seen = 0;
  for (auto _ : state) {
    for (contracts->MoveFirst(256); !contracts->Eof(); contracts->Move(1, 256)) ++seen;
  }
  if (seen != state.iterations() * kContractsPerAddress) state.SkipWithError("wrong number of contracts");
  state.SetItemsProcessed(seen);
}

// Field access by name on the current contract, as every writer and reader
// of the add-on does it: Fields, Item by name, Value. The names lie early,
// late and in another letter case in the table's forty fields.
void BM_ReadFieldsByName(benchmark::State& state) {
  Fixture& f = Get(static_cast<int>(state.range(0)));
  f.host->SetCurrentAddressOid(f.address, false);
  auto contracts = f.conn->Table("kt_Vertraege");
  contracts->MoveFirst(256);
  const char* const names[] = {"Typ", "Vertragnummer", "AUFTRAGSNUMMER", "AktValue"};
  int64_t read = 0;
  for (auto _ : state) {
    for (const char* name : names) {
      benchmark::DoNotOptimize(contracts->Fields()->Item(name)->Value());
      ++read;
    }
  }
  state.SetItemsProcessed(read);
}

// Runs `walk` outside any host call (inCall false) or inside one.
template <class F>
void MaybeInCall(host::sqlite::StandIn& host, bool inCall, F&& walk) {
  if (inCall) {
    host.RunCall(walk);
  } else {
    walk();
  }
}

// One address with `n` contracts, built once per n.
host::sqlite::StandIn& ContractsOnOneAddress(int n) {
  static std::map<int, std::shared_ptr<host::sqlite::StandIn>> hosts;
  auto& host = hosts[n];
  if (host) return *host;
  host = host::sqlite::StandIn::OpenInMemory();
  host->RunCall([&] {
    const std::string address = host->InsertRow("Adressen", {{"ID", "K1"}});
    for (int i = 0; i < n; ++i) host->InsertRow("kt_Vertraege", {{"Vertragnummer", std::to_string(i)}}, address);
    host->SetCurrentAddressOid(address, false);
  });
  return *host;
}

// A step through the contracts of the current address (and back to the
// first after the last), reading a field of each.
void BM_StepContracts(benchmark::State& state) {
  host::sqlite::StandIn& host = ContractsOnOneAddress(static_cast<int>(state.range(0)));
  auto contracts = host.Application()->Database()->Connection()->Table("kt_Vertraege");
  MaybeInCall(host, state.range(1) != 0, [&] {
    contracts->MoveFirst(256);
    for (auto _ : state) {
      contracts->Move(1, 256);
      if (contracts->Eof()) contracts->MoveFirst(256);
      benchmark::DoNotOptimize(contracts->Fields()->Item("Vertragnummer")->Value());
    }
  });
  state.SetItemsProcessed(state.iterations());
}

// The sample's persistent variables and `n` more, built once per n.
host::sqlite::StandIn& PersistVars(int n) {
  static std::map<int, std::shared_ptr<host::sqlite::StandIn>> hosts;
  auto& host = hosts[n];
  if (host) return *host;
  host = host::sqlite::StandIn::OpenInMemory();
  host->LoadSampleData();
  host->RunCall([&] {
    for (int i = 0; i < n; ++i) host->SetPersistVar(Name("var", i), Name("Wert ", i));
  });
  return *host;
}

// A step of the walk by which the add-on reads a persistent variable:
// Count, then At(i) and its Name from the first to the last.
void BM_StepPersistVars(benchmark::State& state) {
  host::sqlite::StandIn& host = PersistVars(static_cast<int>(state.range(0)));
  auto vars = host.Application()->Database()->ScriptEngine()->PersistVars();
  MaybeInCall(host, state.range(1) != 0, [&] {
    int32_t count = vars->Count();
    int32_t i = 0;
    for (auto _ : state) {
      benchmark::DoNotOptimize(vars->At(i)->Name());
      if (++i == count) {
        i = 0;
        count = vars->Count();
      }
    }
  });
  state.SetItemsProcessed(state.iterations());
}

void BM_RawIndexLookup(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  // The shape of the host's Artikel table: its columns and its three
  // indexes, filled one statement at a time as the host fills it.
  sqlite3_exec(
      db,
      "CREATE TABLE t (\"_oid\" INTEGER PRIMARY KEY, \"_master\" INTEGER, \"Id\" TEXT,"
      " \"Bezeichnung\" TEXT, \"Beschreibung\" TEXT, \"Nummer\" TEXT, \"Art\" TEXT, \"Einheit\" TEXT,"
      " \"Nettopreis\" REAL, \"Gruppierung\" TEXT, \"Erloeskonto\" INTEGER, \"UStSatz\" REAL,"
      " \"ArtikelgruppeID\" TEXT, \"_key\" TEXT);"
      "CREATE INDEX m ON t (\"_master\", \"_oid\");"
      "CREATE INDEX i ON t (\"Id\");"
      "CREATE INDEX k ON t (\"_key\", \"_oid\", \"_master\");",
      nullptr, nullptr, nullptr);
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?, ?, ?, ?, '', '', '', '', ?, '', 8400, 19.0, 'G', ?)", -1,
                     &ins, nullptr);
  std::vector<std::string> keys;
  for (int i = 0; i < rows; ++i) {
    keys.push_back(ArticleId(i));
    const std::string name = Name("Artikel ", i);
    sqlite3_bind_int64(ins, 1, i + 1);
    sqlite3_bind_int64(ins, 2, i % 20);
    sqlite3_bind_text(ins, 3, keys.back().c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(ins, 4, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(ins, 5, 10.0 + i % 100);
    sqlite3_bind_text(ins, 6, keys.back().c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(ins);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  sqlite3_stmt* q = nullptr;
  sqlite3_prepare_v2(
      db, "SELECT \"_oid\", \"_master\" FROM t WHERE \"_key\" = ? ORDER BY \"_key\", \"_oid\" LIMIT 1", -1,
      &q, nullptr);
  size_t i = 0;
  int64_t found = 0;
  for (auto _ : state) {
    sqlite3_bind_text(q, 1, keys[i].c_str(), -1, SQLITE_STATIC);
    if (sqlite3_step(q) == SQLITE_ROW) ++found;
    sqlite3_reset(q);
    i = (i + 104729) % keys.size();
  }
  if (found != state.iterations()) state.SkipWithError("key not found");
  sqlite3_finalize(q);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_SeekArticleById)->Arg(1000)->Arg(100000);
BENCHMARK(BM_WalkAddressContracts)->Arg(1000)->Arg(100000);
BENCHMARK(BM_ReadFieldsByName)->Arg(1000);
BENCHMARK(BM_StepContracts)->ArgsProduct({{10, 100000}, {0, 1}});
BENCHMARK(BM_StepPersistVars)->ArgsProduct({{0, 10000}, {0, 1}});
BENCHMARK(BM_RawIndexLookup)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
