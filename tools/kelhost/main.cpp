// kelhost: the stand-in host application as a command.
//
//   kelhost --help
//   kelhost <command> [arguments]
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "kelhost/command.h"
#include "platform/error.h"

namespace kelhost {

namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

void PrintHelp(std::ostream& out) {
  out << "usage: kelhost <command> [arguments]\n\n"
         "The stand-in host application over an SQLite database file.\n\n"
         "commands:\n";
  size_t width = 0;
  std::vector<std::string> heads;
  for (const Command& c : Commands()) {
    heads.push_back(std::string(c.name) + (*c.synopsis ? " " : "") + c.synopsis);
    width = std::max(width, heads.back().size());
  }
  size_t i = 0;
  for (const Command& c : Commands()) {
    const std::string& head = heads[i++];
    out << "  " << head << std::string(width - head.size() + 3, ' ') << c.summary << "\n";
  }
  out << "  --help" << std::string(width >= 6 ? width - 6 + 3 : 3, ' ') << "show this help\n";
}

}  // namespace

bool RegisterCommand(const Command& command) {
  Registry().push_back(command);
  return true;
}

std::vector<Command> Commands() {
  std::vector<Command> commands = Registry();
  std::sort(commands.begin(), commands.end(),
            [](const Command& a, const Command& b) { return std::string(a.name) < std::string(b.name); });
  return commands;
}

void PrintError(const std::string& message) { std::cerr << "kelhost: " << message << "\n"; }

}  // namespace kelhost

int main(int argc, char** argv) {
  using namespace kelhost;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintHelp(std::cerr);
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(std::cout);
    return kExitOk;
  }
  for (const Command& c : Commands()) {
    if (args[0] != c.name) continue;
    try {
      return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
    } catch (const rt::Error& e) {
      PrintError(e.what());
      return kExitFailed;
    } catch (const std::exception& e) {
      PrintError(e.what());
      return kExitFailed;
    }
  }
  PrintError("unknown command: " + args[0] + " (see kelhost --help)");
  return kExitUsage;
}
