#include "kelhost/host_call.h"

#include <iostream>

#include "host/sqlite/errors.h"
#include "kelhost/command.h"
#include "kelhost/console_ui.h"
#include "kelhost/show_format.h"

namespace kelhost {

HostCall RunHostCall(host::sqlite::StandIn& host, const std::function<void()>& call) {
  HostCall report;
  host::sqlite::CallResult result;
  try {
    result = host.RunCall(call);
  } catch (const rt::Error& e) {
    if (e.number() != host::sqlite::hosterr::Busy) throw;
    PrintError("the database is locked by another process; gave up waiting, nothing was written");
    return report;
  }
  report.ran = true;
  report.written = std::move(result.written);
  if (result.error) {
    report.raised = true;
    try {
      std::rethrow_exception(result.error);
    } catch (...) {
      PrintAddonError(rt::CurrentError());
    }
  }
  return report;
}

void PrintAddonError(const rt::Error& e) {
  std::cerr << "Fehler &H" << rt::Hex(e.number()) << " in " << ConsoleLines(e.source()) << "\n"
            << ConsoleLines(e.description()) << "\n"
            << std::flush;
}

void PrintRecords(std::ostream& out, const std::vector<host::sqlite::WrittenRecord>& records) {
  for (const host::sqlite::WrittenRecord& w : records) {
    out << w.table << " " << w.row.oid << "\n";
    for (const auto& [field, value] : w.row.fields) out << "  " << field << " = " << FormatShowValue(value) << "\n";
  }
}

}  // namespace kelhost
