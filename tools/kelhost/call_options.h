// The command line of the kelhost commands that call the add-on for one
// address and user:
//
//   kelhost <command> DB [--address ID] [--user NAME] [--today YYYY-MM-DD]
//                        <the command's own options>
//
// Options may stand before or after DB; each takes one value and may be
// given once. --address, --user and --today hold for this run only: the
// database keeps its own session.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"
#include "platform/date.h"

namespace kelhost {

struct CallOptions {
  std::string path;                           // the database file
  std::map<std::string, std::string> values;  // by option, "--user" ...
  std::optional<rt::Date> today;              // --today, read

  bool Has(const std::string& option) const { return values.count(option) != 0; }
  const std::string& Value(const std::string& option) const { return values.at(option); }
};

// Reads `args` with the session options and `own` options; each of
// `required` must be given. On a problem prints
// "kelhost: <command>: <problem>" and `usage` to standard error and gives
// nullopt (the command then exits with kExitUsage).
std::optional<CallOptions> ParseCallOptions(const std::string& command, const std::vector<std::string>& args,
                                            const std::vector<std::string>& own,
                                            const std::vector<std::string>& required, const std::string& usage);

// Makes --user, --address and --today hold on `host` for this run. False,
// after printing the problem, for an unknown user or address.
bool ApplySession(const std::string& command, host::sqlite::StandIn& host, const CallOptions& options);

}  // namespace kelhost
