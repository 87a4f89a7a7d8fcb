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
// locked by another process; 2: bad arguments, a malformed or oversized
// input file, an unknown user or address, a bad date or a file that is not
// a kelhost database, in which case the add-on is not called and nothing
// is written.
//
// The call runs as one host call (host_call.h). When the add-on read a
// property that the contract file lacks, the properties it lacks are named
// on standard error after the add-on's own message.
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include "host/sqlite/errors.h"
#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
#include "kelhost/console_ui.h"
#include "kelhost/database.h"
#include "kelhost/debitor_call.h"
#include "kelhost/input_files.h"
#include "platform/date.h"
#include "platform/error.h"

namespace kelhost {

namespace {

constexpr const char* kUsage =
    "usage: kelhost debitor DB [--address ID] [--user NAME] [--today YYYY-MM-DD] --contract FILE --articles FILE";

// A date written YYYY-MM-DD that names a real day.
std::optional<rt::Date> ParseIsoDate(const std::string& s) {
  auto digits = [&s](size_t from, size_t n) {
    for (size_t i = from; i < from + n; ++i)
      if (s[i] < '0' || s[i] > '9') return false;
    return true;
  };
  if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !digits(0, 4) || !digits(5, 2) || !digits(8, 2))
    return std::nullopt;
  const int y = std::stoi(s.substr(0, 4)), m = std::stoi(s.substr(5, 2)), d = std::stoi(s.substr(8, 2));
  if (m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
  try {
    const rt::Date date = rt::DateSerial(y, m, d);
    if (rt::Day(date) != d || rt::Month(date) != m) return std::nullopt;
    return date;
  } catch (const rt::Error&) {
    return std::nullopt;
  }
}

int Usage(const std::string& problem) {
  PrintError("debitor: " + problem);
  PrintError(kUsage);
  return kExitUsage;
}

int RunDebitor(const std::vector<std::string>& args) {
  static const char* const kOptions[] = {"--address", "--user", "--today", "--contract", "--articles"};
  std::map<std::string, std::string> options;
  std::string path;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.empty() || a[0] != '-') {
      if (!path.empty()) return Usage("more than one database given");
      path = a;
      continue;
    }
    bool known = false;
    for (const char* o : kOptions) known = known || a == o;
    if (!known) return Usage("unknown option " + a);
    if (i + 1 >= args.size()) return Usage(a + " needs a value");
    if (options.count(a)) return Usage(a + " is given twice");
    options[a] = args[++i];
  }
  if (path.empty()) return Usage("no database given");
  if (!options.count("--contract")) return Usage("--contract is missing");
  if (!options.count("--articles")) return Usage("--articles is missing");

  std::optional<rt::Date> today;
  if (options.count("--today")) {
    today = ParseIsoDate(options["--today"]);
    if (!today) return Usage("--today " + options["--today"] + " is not a date YYYY-MM-DD");
  }
  host::sqlite::RegisterErrorTexts();
  std::shared_ptr<ContractData> contract;
  std::shared_ptr<rt::Collection> articles;
  try {
    contract = ReadContractFile(options["--contract"]);
    articles = ReadArticlesFile(options["--articles"]);
  } catch (const InputError& e) {
    PrintError(std::string("debitor: ") + e.what());
    return kExitUsage;
  }

  std::shared_ptr<host::sqlite::StandIn> host = OpenDatabase("debitor", path, host::sqlite::OpenMode::ReadWrite);
  if (!host) return kExitUsage;
  if (options.count("--user")) {
    try {
      host->SetCurrentUser(options["--user"], false);
    } catch (const rt::Error& e) {
      if (e.number() != host::sqlite::hosterr::UnknownUser) throw;
      PrintError("debitor: unknown user " + options["--user"]);
      return kExitUsage;
    }
  }
  if (options.count("--address") && !host->SetCurrentAddress(options["--address"], false)) {
    PrintError("debitor: no address with the ID \"" + options["--address"] + "\"");
    return kExitUsage;
  }
  if (today) rt::SetToday(*today);

  InstallConsoleService();
  const int status = CallNewContractDebitor(*host, contract, articles, std::cout);
  // The add-on read a property the contract file does not give (error 438
  // inside the add-on): say which ones the file lacks.
  if (contract->MissedAny()) {
    std::string lacking;
    for (const InputProperty& p : ContractProperties())
      if (!contract->Has(p.name)) lacking += (lacking.empty() ? "" : ", ") + std::string(p.name);
    PrintError("debitor: the contract file " + options["--contract"] + " lacks " + lacking);
  }
  return status;
}

}  // namespace

KELHOST_COMMAND({"debitor",
                 "DB [--address ID] [--user NAME] [--today YYYY-MM-DD] --contract FILE --articles FILE",
                 "create a contract without dialog, as a host program does", RunDebitor});

}  // namespace kelhost
