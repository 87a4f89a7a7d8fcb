#include "kelhost/debitor_call.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/ckt.h"
#include "core/class_factory.h"
#include "host/sqlite/schema.h"
#include "kelhost/command.h"
#include "kelhost/console_ui.h"
#include "kelhost/show_format.h"
#include "platform/error.h"
#include "platform/ui/service.h"

namespace kelhost {

namespace {

constexpr const char* kContractTable = "kt_Vertraege";

// The record ids of every table of the host, by table.
using IdSnapshot = std::vector<std::pair<std::string, std::set<std::string>>>;

IdSnapshot TakeSnapshot(host::sqlite::StandIn& host) {
  IdSnapshot snapshot;
  const host::sqlite::Schema schema = host::sqlite::Schema::Default();
  for (const host::sqlite::TableDef& t : schema.tables()) {
    std::set<std::string> ids;
    for (const host::sqlite::Row& row : host.Rows(t.name)) ids.insert(row.oid);
    snapshot.emplace_back(t.name, std::move(ids));
  }
  return snapshot;
}

struct WrittenRecord {
  std::string table;
  host::sqlite::Row row;
};

// The records that were not there at the time of `before`, in write order:
// the stand-in hands out increasing record ids across all tables.
std::vector<WrittenRecord> NewRecords(host::sqlite::StandIn& host, const IdSnapshot& before) {
  std::vector<WrittenRecord> written;
  for (const auto& [table, ids] : before) {
    for (host::sqlite::Row& row : host.Rows(table))
      if (!ids.count(row.oid)) written.push_back({table, std::move(row)});
  }
  std::sort(written.begin(), written.end(), [](const WrittenRecord& a, const WrittenRecord& b) {
    return std::strtoll(a.row.oid.c_str(), nullptr, 10) < std::strtoll(b.row.oid.c_str(), nullptr, 10);
  });
  return written;
}

void PrintAddonError(const rt::Error& e) {
  std::cerr << "Fehler &H" << rt::Hex(e.number()) << " in " << ui::NewlineText(e.source()) << "\n"
            << ui::NewlineText(e.description()) << "\n"
            << std::flush;
}

}  // namespace

int CallNewContractDebitor(host::sqlite::StandIn& host, const rt::ObjectPtr& contract,
                           const std::shared_ptr<rt::Collection>& articles, std::ostream& out) {
  const IdSnapshot before = TakeSnapshot(host);
  bool raised = false;
  {
    auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
    if (!ckt) rt::RaiseRuntime(rt::errc::CannotCreateObject);
    std::shared_ptr<host::HostApplication> app = host.Application();
    try {
      ckt->NewContractDebitor(app, contract, articles);
    } catch (...) {
      PrintAddonError(rt::CurrentError());
      raised = true;
    }
  }

  const std::vector<WrittenRecord> written = NewRecords(host, before);
  const auto contractRecord = std::find_if(written.begin(), written.end(), [](const WrittenRecord& w) {
    return w.table == kContractTable;
  });
  if (contractRecord != written.end())
    out << "Vertragnummer " << FormatShowValue(contractRecord->row["Vertragnummer"]) << "\n";
  for (const WrittenRecord& w : written) {
    out << w.table << " " << w.row.oid << "\n";
    for (const auto& [field, value] : w.row.fields) out << "  " << field << " = " << FormatShowValue(value) << "\n";
  }
  out << std::flush;

  if (raised) return kExitFailed;
  if (contractRecord == written.end()) {
    PrintError("no contract was written");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace kelhost
