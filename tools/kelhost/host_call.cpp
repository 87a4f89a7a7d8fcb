#include "kelhost/host_call.h"

#include <algorithm>
#include <atomic>
#include <iostream>

#include "host/sqlite/errors.h"
#include "kelhost/command.h"
#include "kelhost/console_ui.h"
#include "kelhost/show_format.h"
#include "platform/ui/service.h"

namespace kelhost {

namespace {

// Puts a service in place for a scope and the earlier one back after it.
class ServiceScope {
 public:
  explicit ServiceScope(std::shared_ptr<ui::Service> service) : saved_(ui::CurrentService()) {
    ui::SetService(std::move(service));
  }
  ~ServiceScope() { ui::SetService(saved_); }
  ServiceScope(const ServiceScope&) = delete;
  ServiceScope& operator=(const ServiceScope&) = delete;

 private:
  std::shared_ptr<ui::Service> saved_;
};

// Read by a handler that may run on any thread.
std::atomic<CallProgress> progress = CallProgress::NoneYet;

}  // namespace

CallProgress HostCallProgress() { return progress; }

bool RunUnlessLocked(const std::function<void()>& write) {
  try {
    write();
    return true;
  } catch (const rt::Error& e) {
    if (e.number() != host::sqlite::hosterr::Busy) throw;
    PrintError("the database is locked by another process; gave up waiting, nothing was written");
    return false;
  }
}

HostCall RunHostCall(host::sqlite::StandIn& host, const std::function<void()>& call) {
  HostCall report;
  host::sqlite::CallResult result;
  // What the add-on raises comes back in the result: only the host's own
  // wait for the lock ends here.
  if (!RunUnlessLocked([&] {
        const CallProgress before = progress.exchange(CallProgress::Running);
        try {
          result = host.RunCall(call);
        } catch (...) {
          progress = before;
          throw;
        }
        progress = CallProgress::Committed;
      }))
    return report;
  report.ran = true;
  report.written = result.Written();
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

HostCall RunHostCallWith(host::sqlite::StandIn& host, std::shared_ptr<ui::Service> service,
                         const std::function<void()>& call) {
  ServiceScope scope(std::move(service));
  return RunHostCall(host, call);
}

ScriptedCall RunScriptedCall(host::sqlite::StandIn& host, std::vector<ui::test::ScriptAction> script,
                             std::ostream& boxes, const std::function<void()>& call) {
  ScriptedCall run;
  run.player = std::make_shared<ui::test::ScriptPlayer>(std::move(script), boxes);
  run.call = RunHostCallWith(host, run.player, [&] {
    // A broken script ends the run, not the host call: what was saved
    // before stays saved and is listed.
    try {
      call();
      // Lines left matter only when a dialog was shown at all.
      if (!run.player->Displays().empty()) run.player->Finish();
    } catch (const ui::ScriptFailure& f) {
      run.failure = f.what();
    }
  });
  return run;
}

void PrintAddonError(const rt::Error& e) {
  std::cerr << "Fehler &H" << rt::Hex(e.number()) << " in " << ui::NewlineText(e.source()) << "\n"
            << ui::NewlineText(e.description()) << "\n"
            << std::flush;
}

void PrintRecords(std::ostream& out, const std::vector<host::sqlite::WrittenRecord>& records) {
  for (const host::sqlite::WrittenRecord& w : records) {
    out << w.table << " " << w.row.oid << "\n";
    for (const auto& [field, value] : w.row.fields) out << "  " << field << " = " << FormatShowValue(value) << "\n";
  }
}

bool PrintCallRecords(std::ostream& out, const std::vector<host::sqlite::WrittenRecord>& records) {
  const auto contract = std::find_if(records.begin(), records.end(),
                                     [](const host::sqlite::WrittenRecord& w) { return w.table == "kt_Vertraege"; });
  if (contract != records.end()) out << "Vertragnummer " << FormatShowValue(contract->row["Vertragnummer"]) << "\n";
  PrintRecords(out, records);
  return contract != records.end();
}

}  // namespace kelhost
