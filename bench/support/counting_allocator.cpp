// Counts the allocations of a benchmark program: its global operator new
// (the add-on's, the host's and the runtime's allocations alike) and
// SQLite's allocator, which is replaced before SQLite starts.
#include <sqlite3.h>

#include <cstdlib>
#include <new>

#include "bench_support.h"

namespace {

bench::Allocations counted;
sqlite3_mem_methods sqliteDefault;
sqlite3_mem_methods sqliteCounting;

void* SqliteMalloc(int n) {
  ++counted.count;
  counted.bytes += n;
  return sqliteDefault.xMalloc(n);
}

void* SqliteRealloc(void* p, int n) {
  ++counted.count;
  counted.bytes += n;
  return sqliteDefault.xRealloc(p, n);
}

const bool sqliteCounted = [] {
  sqlite3_config(SQLITE_CONFIG_GETMALLOC, &sqliteDefault);
  sqliteCounting = sqliteDefault;
  sqliteCounting.xMalloc = SqliteMalloc;
  sqliteCounting.xRealloc = SqliteRealloc;
  return sqlite3_config(SQLITE_CONFIG_MALLOC, &sqliteCounting) == SQLITE_OK;
}();

}  // namespace

bench::Allocations bench::AllocationsSoFar() { return counted; }

void* operator new(std::size_t n) {
  ++counted.count;
  counted.bytes += static_cast<int64_t>(n);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return operator new(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return operator new(n, std::nothrow); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
