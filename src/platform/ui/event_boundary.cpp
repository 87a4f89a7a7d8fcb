#include "platform/ui/event_boundary.h"

#include <utility>

namespace ui {

namespace {

struct BoundaryState {
  EventErrorReporter reporter;
  std::optional<rt::Error> last;
  int count = 0;
};

BoundaryState& State() {
  static BoundaryState state;
  return state;
}

void Escaped(const rt::Error& e) {
  BoundaryState& s = State();
  s.last = e;
  ++s.count;
  if (!s.reporter) return;
  // The reporter shows a message box; should that fail too, the error has
  // been recorded and there is nobody left to tell.
  EventErrorReporter reporter = s.reporter;
  try {
    reporter(e);
  } catch (const rt::Unrecoverable&) {
    throw;
  } catch (...) {
  }
}

}  // namespace

void SetEventErrorReporter(EventErrorReporter reporter) { State().reporter = std::move(reporter); }

bool RunEvent(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (...) {
    Escaped(rt::CurrentError());  // an rt::Unrecoverable is thrown on
    return false;
  }
}

std::optional<rt::Error> LastEventError() { return State().last; }
int EventErrorCount() { return State().count; }

void ClearEventErrors() {
  State().last.reset();
  State().count = 0;
}

}  // namespace ui
