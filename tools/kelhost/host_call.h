// How kelhost has the add-on do its work: every command that calls the
// add-on runs the call, or the whole scripted run of a dialog, as one host
// call (StandIn::RunCall, one write transaction) through RunHostCall, and
// lists the records it wrote with PrintRecords.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
#include "platform/error.h"
#include "platform/ui/script.h"
#include "platform/ui/script_player.h"
#include "platform/ui/service.h"

namespace kelhost {

// What RunHostCall reports.
struct HostCall {
  // The exit status of a call the host refused (see RunUnlessRefused): the
  // add-on was not called, or its call was rolled back because the file
  // moved, and nothing was written; a message is on standard error
  // already. kExitOk when the call ran and committed.
  int refused = kExitOk;
  bool ran() const { return refused == kExitOk; }
  // The add-on raised an error; it is on standard error already.
  bool raised = false;
  // The records the call wrote, as StandIn::RunCall lists them.
  std::vector<host::sqlite::WrittenRecord> written;
};

// Runs `use`, a use of the database (a host call, a store of kelhost's
// own, opening it or reading it), and returns kExitOk; or, when the host
// refuses it before it wrote anything, prints why and returns the exit
// status the command ends with:
//  - another process kept the database locked beyond the busy wait: "the
//    database is locked by another process; gave up waiting, nothing was
//    written", kExitFailed;
//  - the database's record counter cannot be trusted
//    (host::sqlite::DamagedCounter): "<DB> is damaged: its record counter
//    LastOid in _kelhost_meta is 0, below the highest record id 57;
//    nothing was written", kExitUsage;
//  - a reader that may not write cannot read without writing
//    (host::sqlite::ReadNeedsWrite): "cannot read <DB> without writing
//    beside it: ...; nothing was read", kExitFailed;
//  - the database file was moved away or replaced while it was written
//    (host::sqlite::FileMoved): "<DB> was moved away or replaced by another
//    process while it was written; nothing was written" (the write was
//    rolled back), or, where it committed just then and its log could not
//    go into the moved file, what holds instead; kExitFailed.
// Other failures are raised.
int RunUnlessRefused(const std::function<void()>& use);

// Runs `call` as one host call on `host`. An error the add-on raised is
// printed with PrintAddonError. Failures of the host itself (a failed
// commit) are raised.
HostCall RunHostCall(host::sqlite::StandIn& host, const std::function<void()>& call);

// How far the host calls of this process have come, for a process that
// must end at once (Qt failing while a dialog is open) and says what of its
// work stays.
enum class CallProgress {
  NoneYet,    // no call has committed, and none runs
  Running,    // a call runs: its transaction is open, and ending the process leaves nothing of it
  Committed,  // the last call committed and none runs
};

// Where RunHostCall stands; a call that RunCall could not run or commit
// (it raised) leaves it where it was.
CallProgress HostCallProgress();

// RunHostCall with `service` as the user-interface service for the call
// only; the service installed before is put back afterwards.
HostCall RunHostCallWith(host::sqlite::StandIn& host, std::shared_ptr<ui::Service> service,
                         const std::function<void()>& call);

// What RunScriptedCall reports.
struct ScriptedCall {
  HostCall call;
  // A broken script: "line N: what the user could not do". The call ended
  // there; what it wrote before stays written.
  std::optional<std::string> failure;
  // The player, for what it saw (its modal displays).
  std::shared_ptr<ui::test::ScriptPlayer> player;
};

// Runs `call` as one host call (RunHostCall) with a script player playing
// `script` as the user on every dialog the call shows; the player is the
// user-interface service for the call only, and prints the message boxes to
// `boxes`. When a dialog was shown, lines left after the call are a broken
// script as well.
ScriptedCall RunScriptedCall(host::sqlite::StandIn& host, std::vector<ui::test::ScriptAction> script,
                             std::ostream& boxes, const std::function<void()>& call);

// Prints "Fehler &H<hex> in <source>", a newline and the description to
// standard error (line breaks inside as newlines).
void PrintAddonError(const rt::Error& e);

// Prints each record as "<table> <Oid>" and one "  <field> = <value>" line
// per field in schema order, values formatted (and escaped) as
// `kelhost show` formats them.
void PrintRecords(std::ostream& out, const std::vector<host::sqlite::WrittenRecord>& records);

// What the commands print after a call that may create a contract:
// "Vertragnummer <number>" when the records hold a kt_Vertraege record,
// then PrintRecords. True when a contract was among them.
bool PrintCallRecords(std::ostream& out, const std::vector<host::sqlite::WrittenRecord>& records);

}  // namespace kelhost
