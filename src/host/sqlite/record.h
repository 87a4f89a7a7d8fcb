// A stored record of a host table, a position in a table's order, and the
// orders themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/variant.h"

namespace host::sqlite {

struct Record {
  int64_t oid = 0;
  int64_t master = 0;               // 0 for a table without master
  std::vector<rt::Variant> values;  // stored kinds, in schema order
  std::vector<std::string> keys;    // one per named index
};

// A view's order: the natural order (index -1) or a named index; in the
// natural order of a detail table, only the records of one master.
struct Order {
  int index = -1;
  bool byMaster = false;
  int64_t master = 0;
};

// A record's id and its master's id; oid 0 when there is no record.
struct Position {
  int64_t oid = 0;
  int64_t master = 0;
};

}  // namespace host::sqlite
