// The test build of kelhost: it stops once at a named step
// (host/sqlite/files/steps.h) when its environment asks for it, so that a test
// can move files at exactly that moment.
//
//   KELHOST_PAUSE_AT   the step's name
//   KELHOST_PAUSE_FDS  "<tell>,<wait>", two descriptors it inherited
//   KELHOST_WAITS_DIVIDED_BY  a number: every wait lasts that much shorter
//                      (host/sqlite/files/steps.h), with or without a step
//
// On reaching the step it writes the step's name and a newline to <tell>,
// then goes on once <wait> is closed (or a byte comes through it).
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/sqlite/files/steps.h"

namespace {

std::string awaited;
int tellFd = -1;
int waitFd = -1;

void Pause(const char* step) {
  if (waitFd < 0 || awaited != step) return;
  const std::string line = awaited + "\n";
  if (::write(tellFd, line.data(), line.size()) < 0) std::perror("kelhost paused: tell");
  char go = 0;
  while (::read(waitFd, &go, 1) < 0 && errno == EINTR) {
  }
  ::close(tellFd);
  ::close(waitFd);
  waitFd = -1;  // once only
}

const bool shortened = [] {
  const char* divisor = std::getenv("KELHOST_WAITS_DIVIDED_BY");
  if (!divisor) return false;
  host::sqlite::SetWaitsDividedBy(std::atoi(divisor));
  return true;
}();

const bool installed = [] {
  const char* step = std::getenv("KELHOST_PAUSE_AT");
  const char* fds = std::getenv("KELHOST_PAUSE_FDS");
  if (!step || !fds || std::sscanf(fds, "%d,%d", &tellFd, &waitFd) != 2) return false;
  awaited = step;
  host::sqlite::SetStepHook(&Pause);
  return true;
}();

}  // namespace
