// The commands of kelhost. Each command lives in its own source file and
// registers itself with a static KELHOST_COMMAND; main dispatches by name.
#pragma once

#include <string>
#include <vector>

namespace kelhost {

// Exit statuses shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the command ran and failed
inline constexpr int kExitUsage = 2;   // bad arguments or input; nothing was done

struct Command {
  const char* name;
  const char* synopsis;  // arguments, for --help ("DB [--sample]")
  const char* summary;   // one line for --help
  // Runs with the arguments after the command name; returns the exit status.
  int (*run)(const std::vector<std::string>& args);
};

// Adds a command; returns true so that it can initialise a static.
bool RegisterCommand(const Command& command);
// The registered commands, ordered by name.
std::vector<Command> Commands();

// Prints "kelhost: <message>" to standard error.
void PrintError(const std::string& message);

}  // namespace kelhost

#define KELHOST_CONCAT2(a, b) a##b
#define KELHOST_CONCAT(a, b) KELHOST_CONCAT2(a, b)
#define KELHOST_COMMAND(...) \
  static const bool KELHOST_CONCAT(kelhost_registered_, __LINE__) = ::kelhost::RegisterCommand(__VA_ARGS__)
