// The command lines of the kelhost commands that call the add-on:
//
//   kelhost <command> DB [--option VALUE | --flag] ...
//
// Options may stand before or after DB, each at most once.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
#include "platform/date.h"

namespace kelhost {

// The usage lines of DB and of the run options that these commands share.
inline constexpr Parameter kDatabaseParameter{"DB", "the database file (options may stand before or after it)"};
inline constexpr Parameter kAddressParameter{
    "--address ID", "the Adressen record the contract is for (default: the database's current address)"};
inline constexpr Parameter kUserParameter{"--user NAME", "one of the database's users, for this run only"};
inline constexpr Parameter kTodayParameter{"--today YYYY-MM-DD", "today's date, for this run only"};
inline constexpr Parameter kScriptParameter{
    "--script FILE", "a script that plays the user, one action a line (without it: the dialog on screen)"};

struct Arguments {
  std::string database;
  std::map<std::string, std::string> values;  // options with a value
  std::set<std::string> flags;                 // options without one

  bool Has(const std::string& option) const { return values.count(option) != 0 || flags.count(option) != 0; }
  const std::string& Value(const std::string& option) const { return values.at(option); }
};

// Reads `args` into `out`: `valued` are the options that take a value,
// `flags` those that take none. Returns what is wrong ("unknown option -x",
// "--user needs a value", "--user is given twice", "more than one database
// given", "no database given"), or "" when nothing is.
std::string ParseArguments(const std::vector<std::string>& args, std::initializer_list<const char*> valued,
                           std::initializer_list<const char*> flags, Arguments& out);

// A date written YYYY-MM-DD that names a real day.
std::optional<rt::Date> ParseIsoDate(const std::string& s);

// --user NAME, --address ID and --today YYYY-MM-DD, for this run only: the
// user becomes the current user of `host` (not of the file), the Adressen
// record with that ID its current address, the date today's date. Returns
// false, with "kelhost: <command>: ..." on standard error, for an unknown
// user or address or a bad date; today's date is then not changed.
bool ApplyRunOptions(host::sqlite::StandIn& host, const Arguments& args, const std::string& command);

}  // namespace kelhost
