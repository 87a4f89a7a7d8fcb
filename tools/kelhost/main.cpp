// kelhost: the stand-in host application as a command.
//
//   kelhost --help
//   kelhost <command> [arguments]
//   kelhost <command> --help
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "kelhost/command.h"
#include "platform/error.h"

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
    PrintCommandList(std::cerr);
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintCommandList(std::cout);
    return kExitOk;
  }
  for (const Command& c : Commands()) {
    if (args[0] != c.name) continue;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    // Asked for, the usage comes before anything the arguments would do
    // or any fault they have.
    if (AsksForUsage(rest)) {
      PrintUsage(std::cout, c);
      return kExitOk;
    }
    try {
      return c.run(rest);
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
