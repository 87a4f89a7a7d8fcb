// One run of the contract-type editor: CKT.EditContractDefinition (pbNew
// true for a new type) on a CKT made through the add-on's class factory, as
// one host call (RunHostCall), played either by a script, as a user at the
// screen would play it, with the script player (platform/ui/script_player.h)
// as the user-interface service for the call, or by a person at the screen
// (screen.h).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
#include "platform/ui/script.h"

namespace kelhost {

struct EditTypeRun {
  // As HostCall::refused: the exit status when the host refused the run
  // (nothing was called or written), kExitOk when it ran.
  int refused = kExitOk;
  // The add-on raised an error to kelhost (printed already).
  bool raised = false;
  // The editor was shown, and a successful save ended its display (for a
  // script: its `click cmdSave`, which closes it only after one).
  bool shown = false;
  bool saved = false;
  // A broken script: "line N: what the user could not do"; what the call
  // wrote before stays written.
  std::optional<std::string> failure;
  // The contract type of the run: the one made current for an edit, or the
  // one a new run inserted ("" when it inserted none).
  std::string typeOid;
};

// Runs the editor on `host` for a new type (`typeOid` "") or for the type
// `typeOid`, which the caller has made current. Boxes and the player's
// warnings go to `boxes`.
EditTypeRun RunEditType(host::sqlite::StandIn& host, const std::string& typeOid,
                        std::vector<ui::test::ScriptAction> script, std::ostream& boxes);

// The same run with a person playing the user in the dialogs on screen;
// the front end must be running (StartScreen). `failure` stays empty.
EditTypeRun RunEditTypeOnScreen(host::sqlite::StandIn& host, const std::string& typeOid);

// Prints the contract type `typeOid` and its position rows as they stand,
// in the form of PrintRecords.
void PrintContractType(std::ostream& out, host::sqlite::StandIn& host, const std::string& typeOid);

}  // namespace kelhost
