// kelhost edit-type DB (--new | --type NAME) [--user NAME] [--today YYYY-MM-DD]
//                       [--script FILE]
//
// Opens the contract-type editor as the host does (CKT.EditContractDefinition,
// pbNew true for --new; with --type NAME the first kt_Vertragsdefinitionen
// record named NAME is the current type for this run) and lets the script
// FILE play the user (the script language: platform/ui/script.h), or,
// without --script, a person at the screen (screen.h; no display: exit 2,
// nothing done). The whole run is one host call. Options may stand before
// or after DB; --user and --today hold for this run only.
//
// Message boxes of a script go to standard error as "[<title>] <text>".
// Standard output then gets the type record and its position rows as they
// stand (for --new only when a type was inserted), in the form `debitor`
// prints records.
//
// Exit status 0: a save closed the editor (for a script: its `click
// cmdSave`, which closes it only after a successful save); 1: the editor
// was not shown, or it was closed otherwise, or the database stayed locked;
// 2: bad arguments, no display to show the editor on, an unknown --type or
// --user, a bad --today, a file that cannot be read or is not a kelhost
// database, a database whose record counter is damaged (nothing runs), a
// malformed script line (nothing runs), or a script the user
// could not play to its end (an action that cannot be performed, the
// script ending with a dialog shown, lines left after the editor closed).
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"
#include "kelhost/arguments.h"
#include "kelhost/command.h"
#include "kelhost/database.h"
#include "kelhost/edit_type_call.h"
#include "kelhost/screen.h"
#include "platform/ui/script.h"

namespace kelhost {

namespace {

int Usage(const std::string& problem) { return UsageError("edit-type", problem); }

int RunEditTypeCommand(const std::vector<std::string>& args) {
  Arguments a;
  const std::string problem = ParseArguments(args, {"--type", "--user", "--today", "--script"}, {"--new"}, a);
  if (!problem.empty()) return Usage(problem);
  if (a.Has("--new") == a.Has("--type")) return Usage("give either --new or --type NAME");
  if (a.Has("--today") && !ParseIsoDate(a.Value("--today")))
    return Usage("--today " + a.Value("--today") + " is not a date YYYY-MM-DD");

  DialogPlayer player;
  if (!ChooseDialogPlayer("edit-type", a, player)) return kExitUsage;

  host::sqlite::RegisterErrorTexts();
  int status = kExitOk;
  std::shared_ptr<host::sqlite::StandIn> host =
      OpenDatabase("edit-type", a.database, host::sqlite::OpenMode::ReadWrite, status);
  if (!host) return status;
  std::string typeOid;
  if (a.Has("--type")) {
    for (const host::sqlite::Row& row : host->Rows("kt_Vertragsdefinitionen")) {
      if (rt::CStr(row["Bezeichnung"]) == a.Value("--type")) {
        typeOid = row.oid;
        break;
      }
    }
    if (typeOid.empty()) {
      PrintError("edit-type: no contract type named \"" + a.Value("--type") + "\"");
      return kExitUsage;
    }
  }
  if (!ApplyRunOptions(*host, a, "edit-type")) return kExitUsage;
  if (!typeOid.empty()) host->SetCurrentContractTypeOid(typeOid, false);

  const EditTypeRun run =
      player.OnScreen() ? RunEditTypeOnScreen(*host, typeOid)
                        : RunEditType(*host, typeOid, std::move(*player.script), std::cerr);
  if (run.refused != kExitOk) return run.refused;
  if (!run.typeOid.empty()) PrintContractType(std::cout, *host, run.typeOid);
  std::cout << std::flush;
  if (run.failure) {
    PrintError("edit-type: " + player.scriptFile + ", " + *run.failure);
    return kExitUsage;
  }
  if (run.raised) return kExitFailed;
  if (!run.shown) {
    PrintError("edit-type: the editor was not shown");
    return kExitFailed;
  }
  if (!run.saved) {
    PrintError("edit-type: the editor was closed without a save");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

KELHOST_COMMAND({"edit-type", "DB (--new | --type NAME) [--user NAME] [--today YYYY-MM-DD] [--script FILE]",
                 "edit a contract type in the editor, on screen or driven by a script",
                 {kDatabaseParameter,
                  {"--new", "a new contract type"},
                  {"--type NAME", "the contract type named NAME"},
                  kUserParameter,
                  kTodayParameter,
                  kScriptParameter},
                 RunEditTypeCommand});

}  // namespace kelhost
