// The commands of kelhost. Each command lives in its own source file and
// registers itself with a static KELHOST_COMMAND; main dispatches by name.
// A command's registration holds its usage, the one text that
// `kelhost COMMAND --help`, the usage line of its usage errors and the list
// of `kelhost --help` print.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelhost {

// Exit statuses shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the command ran and failed
inline constexpr int kExitUsage = 2;   // bad arguments or input; nothing was done

// An argument or option of a command, as its usage shows it.
struct Parameter {
  const char* name;  // "DB", "--user NAME"
  const char* text;  // what it gives, one line
};

struct Command {
  const char* name;
  const char* synopsis;  // arguments, for --help ("DB [--sample]")
  const char* summary;   // one line for --help
  std::vector<Parameter> parameters;  // every word of the synopsis, in its order
  // Runs with the arguments after the command name; returns the exit status.
  int (*run)(const std::vector<std::string>& args);
};

// Adds a command; returns true so that it can initialise a static.
bool RegisterCommand(const Command& command);
// The registered commands, ordered by name.
std::vector<Command> Commands();

// Prints "kelhost: <message>" to standard error.
void PrintError(const std::string& message);

// kelhost --help: the list of the commands, each with its synopsis and
// summary.
void PrintCommandList(std::ostream& out);

// kelhost COMMAND --help: "usage: kelhost <name> <synopsis>", the summary,
// then one line for each parameter and one for -h, --help.
void PrintUsage(std::ostream& out, const Command& command);

// True when `args` (a command's arguments) ask for its usage: -h or
// --help stands among them, anywhere.
bool AsksForUsage(const std::vector<std::string>& args);

// A usage error of the command `command`: "kelhost: <command>: <problem>",
// then its usage line, on standard error. Returns kExitUsage.
int UsageError(const std::string& command, const std::string& problem);

}  // namespace kelhost

#define KELHOST_CONCAT2(a, b) a##b
#define KELHOST_CONCAT(a, b) KELHOST_CONCAT2(a, b)
#define KELHOST_COMMAND(...) \
  static const bool KELHOST_CONCAT(kelhost_registered_, __LINE__) = ::kelhost::RegisterCommand(__VA_ARGS__)
