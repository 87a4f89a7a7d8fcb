// kelhost: the stand-in host application as a command.
//
//   kelhost --help
//   kelhost <command> [arguments]
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
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
  // Summaries line up after the heads; a head too long for that column
  // gets its summary on the next line.
  constexpr size_t kMaxColumn = 28;
  size_t width = 6;  // "--help"
  std::vector<std::string> heads;
  for (const Command& c : Commands()) {
    heads.push_back(std::string(c.name) + (*c.synopsis ? " " : "") + c.synopsis);
    if (heads.back().size() <= kMaxColumn) width = std::max(width, heads.back().size());
  }
  auto line = [&out, width](const std::string& head, const char* summary) {
    out << "  " << head;
    if (head.size() > width) out << "\n  " << std::string(width, ' ');
    else out << std::string(width - head.size(), ' ');
    out << "   " << summary << "\n";
  };
  size_t i = 0;
  for (const Command& c : Commands()) line(heads[i++], c.summary);
  line("--help", "show this help");
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

namespace {

// The exit status once the output is out: a write to standard output or
// standard error that failed (a full disk, a closed pipe) turns success
// into failure.
int Finish(int status) {
  const bool outFailed = !std::cout.flush() || std::fflush(stdout) != 0 || std::ferror(stdout);
  if (outFailed) kelhost::PrintError(std::string("cannot write to standard output: ") + std::strerror(errno));
  std::cerr.flush();
  const bool errFailed = !std::cerr || std::fflush(stderr) != 0 || std::ferror(stderr);
  return (outFailed || errFailed) && status == kelhost::kExitOk ? kelhost::kExitFailed : status;
}

int Run(const std::vector<std::string>& args) {
  using namespace kelhost;
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

}  // namespace

int main(int argc, char** argv) {
  // A closed pipe, or a file grown to the process's size limit, is
  // reported as a failed write, not by a signal, so that a command can
  // tell it apart, say so and end cleanly.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  return Finish(Run(std::vector<std::string>(argv + 1, argv + argc)));
}
