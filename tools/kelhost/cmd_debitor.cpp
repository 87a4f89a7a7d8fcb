// kelhost debitor DB [--address ID] [--user NAME] [--today YYYY-MM-DD]
//                    --contract FILE --articles FILE
//
// Creates a contract the way a host program does without any dialog: one
// CKT through the add-on's class factory and exactly one call of
// CKT.NewContractDebitor with a contract object read from the contract file
// and the article lines of the articles file (formats in input_files.h).
// Options may stand before or after DB. --address, --user and --today hold
// for this run only; nothing of them is saved in the database.
//
// Exit status 0: the call raised nothing and wrote a contract; 1: the
// add-on raised an error or wrote no contract, or the database stayed
// locked by another process or was moved away while it was written; 2: bad arguments, a malformed or oversized
// input file, an unknown user or address, a bad date, a file that is not
// a kelhost database or one whose record counter is damaged, in which case
// the add-on is not called and nothing is written.
//
// The call runs as one host call (host_call.h). When the add-on read a
// property that the contract file lacks, the properties it lacks are named
// on standard error after the add-on's own message; so are the article IDs
// that the database lacks when the add-on found articles missing.
#include <iostream>
#include <string>

#include "host/sqlite/stand_in.h"
#include "kelhost/arguments.h"
#include "kelhost/command.h"
#include "kelhost/console_ui.h"
#include "kelhost/database.h"
#include "kelhost/debitor_call.h"
#include "kelhost/input_files.h"
#include "kelhost/show_format.h"
#include "platform/error.h"

namespace kelhost {

namespace {

int Usage(const std::string& problem) { return UsageError("debitor", problem); }

int RunDebitor(const std::vector<std::string>& args) {
  Arguments a;
  const std::string problem =
      ParseArguments(args, {"--address", "--user", "--today", "--contract", "--articles"}, {}, a);
  if (!problem.empty()) return Usage(problem);
  if (!a.Has("--contract")) return Usage("--contract is missing");
  if (!a.Has("--articles")) return Usage("--articles is missing");
  if (a.Has("--today") && !ParseIsoDate(a.Value("--today")))
    return Usage("--today " + a.Value("--today") + " is not a date YYYY-MM-DD");

  host::sqlite::RegisterErrorTexts();
  std::shared_ptr<ContractData> contract;
  std::shared_ptr<rt::Collection> articles;
  try {
    contract = ReadContractFile(a.Value("--contract"));
    articles = ReadArticlesFile(a.Value("--articles"));
  } catch (const InputError& e) {
    PrintError(std::string("debitor: ") + e.what());
    return kExitUsage;
  }

  int opened = kExitOk;
  std::shared_ptr<host::sqlite::StandIn> host =
      OpenDatabase("debitor", a.database, host::sqlite::OpenMode::ReadWrite, opened);
  if (!host) return opened;
  if (!ApplyRunOptions(*host, a, "debitor")) return kExitUsage;

  InstallConsoleService();
  std::vector<std::string> missingArticles;
  const int status = CallNewContractDebitor(*host, contract, articles, std::cout, &missingArticles);
  // The add-on read a property the contract file does not give (error 438
  // inside the add-on): say which ones the file lacks.
  if (contract->MissedAny()) {
    std::string lacking;
    for (const InputProperty& p : ContractProperties())
      if (!contract->Has(p.name)) lacking += (lacking.empty() ? "" : ", ") + std::string(p.name);
    PrintError("debitor: the contract file " + a.Value("--contract") + " lacks " + lacking);
  }
  // The add-on found articles missing: say which IDs the database lacks,
  // each in quotes (an ID may hold blanks), escaped as show escapes texts.
  if (!missingArticles.empty()) {
    std::string ids;
    for (const std::string& id : missingArticles)
      ids += (ids.empty() ? "\"" : ", \"") + FormatShowValue(rt::Variant(id)) + "\"";
    PrintError("debitor: the articles file " + a.Value("--articles") + " names articles that " + a.database +
               " lacks: " + ids);
  }
  return status;
}

}  // namespace

KELHOST_COMMAND({"debitor",
                 "DB [--address ID] [--user NAME] [--today YYYY-MM-DD] --contract FILE --articles FILE",
                 "create a contract without dialog, as a host program does",
                 {kDatabaseParameter,
                  kAddressParameter,
                  kUserParameter,
                  kTodayParameter,
                  {"--contract FILE", "the contract file: one Name = Value a line"},
                  {"--articles FILE",
                   "the articles file: a line of column names, then one article a line, fields split at ;"}},
                 RunDebitor});

}  // namespace kelhost
