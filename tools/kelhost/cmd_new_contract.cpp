// kelhost new-contract DB [--address ID] [--user NAME] [--today YYYY-MM-DD]
//                         [--script FILE]
//
// Creates a contract the way a user does in the host: one CKT through the
// add-on's class factory and one CKT.NewContract (pbShowDef false), whose
// dialog, and any editor or position dialog it opens, a scripted user
// plays line by line from the script file (platform/ui/script.h), or,
// without --script, a person at the screen (screen.h; no display: exit 2,
// nothing done). Message boxes of a script go to standard error as
// "[<title>] <text>". The whole run is one host call (host_call.h).
//
// Then prints "pbOK <true|false>", "plVsCount <n>" and, as `debitor` does,
// "Vertragnummer <number>" when a contract was written and every record the
// run wrote.
//
// Exit status 0: pbOK is true; 1: it is false, or the database stayed
// locked; 2: bad arguments, no display to show the dialog on, a script file
// that cannot be read or has a line that is not an action, an unknown user
// or address, a bad date, a file that is not a kelhost database or one
// whose record counter is damaged (nothing runs), or a failing script (an
// action the user cannot perform, a script that ends while a dialog is
// shown, lines left after the dialog closed; lines left
// when no dialog was shown do not count). A failing script ends the run where it failed; what was written
// before stays written and is printed.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ckt.h"
#include "core/class_factory.h"
#include "host/sqlite/stand_in.h"
#include "kelhost/arguments.h"
#include "kelhost/command.h"
#include "kelhost/database.h"
#include "kelhost/host_call.h"
#include "kelhost/screen.h"
#include "platform/error.h"
#include "platform/ui/script.h"

namespace kelhost {

namespace {

constexpr const char* kCommand = "new-contract";
int Usage(const std::string& problem) { return UsageError(kCommand, problem); }

int RunNewContract(const std::vector<std::string>& args) {
  Arguments a;
  const std::string problem = ParseArguments(args, {"--address", "--user", "--today", "--script"}, {}, a);
  if (!problem.empty()) return Usage(problem);
  if (a.Has("--today") && !ParseIsoDate(a.Value("--today")))
    return Usage("--today " + a.Value("--today") + " is not a date YYYY-MM-DD");

  DialogPlayer player;
  if (!ChooseDialogPlayer(kCommand, a, player)) return kExitUsage;

  host::sqlite::RegisterErrorTexts();
  int status = kExitOk;
  std::shared_ptr<host::sqlite::StandIn> host =
      OpenDatabase(kCommand, a.database, host::sqlite::OpenMode::ReadWrite, status);
  if (!host) return status;
  if (!ApplyRunOptions(*host, a, kCommand)) return kExitUsage;

  auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("CKT"));
  if (!ckt) rt::RaiseRuntime(rt::errc::CannotCreateObject);
  std::shared_ptr<host::HostApplication> app = host->Application();
  bool pbOK = false;
  int32_t plVsCount = 0;
  bool pbShowDef = false;
  const auto call = [&] { ckt->NewContract(app, pbOK, plVsCount, pbShowDef); };
  const ScriptedCall run =
      player.OnScreen() ? ScriptedCall{RunHostCall(*host, call), std::nullopt, nullptr}
               : RunScriptedCall(*host, std::move(*player.script), std::cerr, call);
  ckt.reset();
  if (!run.call.ran()) return run.call.refused;

  std::cout << "pbOK " << (pbOK ? "true" : "false") << "\n" << "plVsCount " << plVsCount << "\n";
  PrintCallRecords(std::cout, run.call.written);
  std::cout << std::flush;

  if (run.failure) {
    PrintError(std::string(kCommand) + ": " + player.scriptFile + ", " + *run.failure);
    return kExitUsage;
  }
  if (run.call.raised) return kExitFailed;
  return pbOK ? kExitOk : kExitFailed;
}

}  // namespace

KELHOST_COMMAND({kCommand, "DB [--address ID] [--user NAME] [--today YYYY-MM-DD] [--script FILE]",
                 "create a contract in the new-contract dialog, on screen or played by a script",
                 {kDatabaseParameter,
                  kAddressParameter,
                  kUserParameter,
                  kTodayParameter,
                  kScriptParameter},
                 RunNewContract});

}  // namespace kelhost
