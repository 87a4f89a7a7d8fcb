#include "kelhost/host_call.h"

#include <sys/stat.h>

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

// What is wrong with a damaged record counter, after "<DB> is damaged: ".
std::string DescribeDamage(const host::sqlite::DamagedCounter& d) {
  using host::sqlite::CounterFault;
  const std::string counter = "its record counter LastOid in _kelhost_meta ";
  // As SQL writes it, on one line.
  const std::string found = FormatShowValue(rt::Variant(d.found()));
  switch (d.fault()) {
    case CounterFault::Missing:
      return counter + "is missing";
    case CounterFault::NotWhole:
      return counter + "is " + found + ", not a whole number";
    case CounterFault::BelowHighest:
      if (d.highest() == 0) return counter + "is " + found + ", below 0";
      return counter + "is " + found + ", below the highest record id " + std::to_string(d.highest());
    case CounterFault::AtLargest:
      return counter + "is " + found + ", the largest record id there is, so no record can follow";
  }
  return counter + "cannot be trusted";
}

// Why a reader that may not write cannot read, after "cannot read <DB>
// without writing".
std::string DescribeNeed(const host::sqlite::ReadNeedsWrite& r) {
  const std::string& db = r.file();
  switch (r.need()) {
    case host::sqlite::WriteNeeded::LogIndex: {
      // kelhost keeps both files; which of them are there now says why.
      struct stat st {};
      const bool wal = ::lstat((db + "-wal").c_str(), &st) == 0;
      const bool shm = ::lstat((db + "-shm").c_str(), &st) == 0;
      std::string text = " beside it: it is in WAL mode, and SQLite reads it only through its log " + db +
                         "-wal and the log's index " + db + "-shm, ";
      if (!wal && !shm) {
        text += "which are not there (kelhost keeps them beside the database; another program removed them, as "
                "the sqlite3 shell does when it closes the database)";
      } else if (!wal || !shm) {
        text += "of which " + db + (wal ? "-shm" : "-wal") + " is not there (another program removed it)";
      } else {
        text += "which SQLite cannot read through as they stand without writing to them";
      }
      return text + "; kelhost makes them only as a user who may write " + db +
             " and its folder: the database's owner can run any kelhost command that writes to " + db +
             ", which leaves them there for good, or switch " + db +
             " to a rollback journal with PRAGMA journal_mode=DELETE";
    }
    case host::sqlite::WriteNeeded::LogRecovery:
      return " beside it: it is in WAL mode, and a process that ended left its log " + db +
             "-wal and the log's index " + db +
             "-shm in a state that SQLite sets right before it reads through them, which kelhost does only as a "
             "user who may write " + db + " and its folder";
    case host::sqlite::WriteNeeded::Rollback:
      return " to it: a process ended during a transaction and left its journal " + db +
             "-journal, which SQLite must roll back into " + db +
             " before anyone reads it; kelhost rolls it back only in a database marked as its own, as a user who "
             "may write " + db + " and its folder";
  }
  return "";
}

}  // namespace

CallProgress HostCallProgress() { return progress; }

int RunUnlessRefused(const std::function<void()>& use) {
  try {
    use();
    return kExitOk;
  } catch (const host::sqlite::DamagedCounter& d) {
    PrintError(d.file() + " is damaged: " + DescribeDamage(d) + "; nothing was written");
    return kExitUsage;
  } catch (const host::sqlite::ReadNeedsWrite& r) {
    PrintError("cannot read " + r.file() + " without writing" + DescribeNeed(r) + "; nothing was read");
    return kExitFailed;
  } catch (const host::sqlite::FileMoved& m) {
    const std::string& db = m.file();
    if (!m.committed()) {
      PrintError(db + " was moved away or replaced by another process while it was written; nothing was written");
    } else {
      PrintError(db + " was moved away or replaced by another process as the write was committed; what was "
                 "written lies in the log " + db + "-wal under the old name, which other processes kept from "
                 "going into the moved file");
    }
    return kExitFailed;
  } catch (const rt::Error& e) {
    if (e.number() != host::sqlite::hosterr::Busy) throw;
    PrintError("the database is locked by another process; gave up waiting, nothing was written");
    return kExitFailed;
  }
}

HostCall RunHostCall(host::sqlite::StandIn& host, const std::function<void()>& call) {
  HostCall report;
  host::sqlite::CallResult result;
  // What the add-on raises comes back in the result: only the host's own
  // refusals end here.
  report.refused = RunUnlessRefused([&] {
    const CallProgress before = progress.exchange(CallProgress::Running);
    try {
      result = host.RunCall(call);
    } catch (...) {
      progress = before;
      throw;
    }
    progress = CallProgress::Committed;
    // The call's end: its database's close path, so that a file moved
    // away meanwhile holds the call whole before it is reported.
    host.Close();
  });
  if (!report.ran()) return report;
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
