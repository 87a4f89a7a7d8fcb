// A kelhost of the test build (tests/tools/paused) that stops once at a
// named step (host/sqlite/files/steps.h), so that a test can act at exactly that
// moment of a race with another process.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "kelhost_run.h"

namespace kelhost_test {

// A kelhost of the test build that stops once at a named step
// (host/sqlite/files/steps.h), so that the test can act at exactly that moment,
// and goes on when told to.
class PausedKelhost {
 public:
  // Starts `l` (whose `exe` it sets) to stop at `step`.
  PausedKelhost(Launch l, const std::string& step) {
    int tell[2], wait[2];
    if (::pipe2(tell, O_CLOEXEC) != 0) return;
    if (::pipe2(wait, O_CLOEXEC) != 0) {
      ::close(tell[0]);
      ::close(tell[1]);
      return;
    }
    // Only the child's ends reach kelhost.
    ::fcntl(tell[1], F_SETFD, 0);
    ::fcntl(wait[0], F_SETFD, 0);
    l.exe = KELHOST_PAUSED_PATH;
    l.env.push_back("KELHOST_PAUSE_AT=" + step);
    l.env.push_back("KELHOST_PAUSE_FDS=" + std::to_string(tell[1]) + "," + std::to_string(wait[0]));
    pid_ = StartKelhost(l);
    ::close(tell[1]);
    ::close(wait[0]);
    told_ = tell[0];
    go_ = wait[1];
  }
  ~PausedKelhost() {
    if (pid_ > 0) Finish();
    if (told_ >= 0) ::close(told_);
  }
  PausedKelhost(const PausedKelhost&) = delete;
  PausedKelhost& operator=(const PausedKelhost&) = delete;

  // True once it stands at the step; false when it ended without reaching it.
  bool Paused() {
    std::string line;
    char c = 0;
    while (::read(told_, &c, 1) == 1 && c != '\n') line += c;
    return c == '\n';
  }

  // Lets it go on.
  void Resume() {
    // Closing its end of the pipe is the word to go on.
    if (go_ >= 0) ::close(go_);
    go_ = -1;
  }

  // Lets it go on and waits for its end: its exit status, or -1 when a
  // signal ended it.
  int Finish() {
    Resume();
    const int status = WaitKelhost(pid_);
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
  int told_ = -1;  // it tells that it stands at the step
  int go_ = -1;    // it is told to go on
};

}  // namespace kelhost_test
