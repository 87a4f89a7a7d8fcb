#include "kelhost/command.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace kelhost {

namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

// Two columns: each head, then its text where the texts line up. A head
// too long for that column gets its text on the next line.
void PrintColumns(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows) {
  constexpr size_t kMaxColumn = 28;
  size_t width = 0;
  for (const auto& [head, text] : rows)
    if (head.size() <= kMaxColumn) width = std::max(width, head.size());
  for (const auto& [head, text] : rows) {
    out << "  " << head;
    if (head.size() > width) out << "\n  " << std::string(width, ' ');
    else out << std::string(width - head.size(), ' ');
    out << "   " << text << "\n";
  }
}

// "<name> <synopsis>", as the list and the usage line show it.
std::string Head(const Command& c) { return std::string(c.name) + (*c.synopsis ? " " : "") + c.synopsis; }

std::string UsageLine(const Command& c) { return "usage: kelhost " + Head(c); }

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

void PrintCommandList(std::ostream& out) {
  out << "usage: kelhost <command> [arguments]\n\n"
         "The stand-in host application over an SQLite database file.\n\n"
         "commands:\n";
  std::vector<std::pair<std::string, std::string>> rows;
  for (const Command& c : Commands()) rows.emplace_back(Head(c), c.summary);
  rows.emplace_back("--help", "show this help");
  rows.emplace_back("COMMAND --help", "show the usage of COMMAND, its arguments and options");
  PrintColumns(out, rows);
}

void PrintUsage(std::ostream& out, const Command& command) {
  out << UsageLine(command) << "\n\n" << command.summary << "\n";
  std::vector<std::pair<std::string, std::string>> rows;
  for (const Parameter& p : command.parameters) rows.emplace_back(p.name, p.text);
  rows.emplace_back("-h, --help", "show this usage; nothing else is done");
  out << "\n";
  PrintColumns(out, rows);
}

bool AsksForUsage(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

int UsageError(const std::string& command, const std::string& problem) {
  PrintError(command + ": " + problem);
  for (const Command& c : Registry())
    if (command == c.name) PrintError(UsageLine(c));
  return kExitUsage;
}

}  // namespace kelhost
