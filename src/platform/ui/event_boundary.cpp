#include "platform/ui/event_boundary.h"

#include <utility>

#include "platform/ui/form.h"

namespace ui {

namespace {

struct BoundaryState {
  EventErrorReporter reporter;
  std::optional<rt::Error> last;
  std::string lastEvent;
  int count = 0;
};

BoundaryState& State() {
  static BoundaryState state;
  return state;
}

void Escaped(const std::string& event, const rt::Error& e) {
  BoundaryState& s = State();
  s.last = e;
  s.lastEvent = event;
  ++s.count;
  if (!s.reporter) return;
  // The reporter shows a message box; should that fail too, the error has
  // been recorded and there is nobody left to tell.
  EventErrorReporter reporter = s.reporter;
  try {
    reporter(event, e);
  } catch (const rt::Unrecoverable&) {
    throw;
  } catch (...) {
  }
}

}  // namespace

void SetEventErrorReporter(EventErrorReporter reporter) { State().reporter = std::move(reporter); }

std::string EventName(const Control& control, std::string_view event) {
  const Form& form = control.ParentForm();
  std::string name = form.Name() + ".";
  name += &control == &form ? std::string("Form") : control.Name();
  name += "_";
  name += event;
  return name;
}

bool RunEvent(const std::string& event, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (...) {
    Escaped(event, rt::CurrentError());  // an rt::Unrecoverable is thrown on
    return false;
  }
}

bool RunEvent(const Control& control, std::string_view event, const std::function<void()>& handler) {
  return RunEvent(EventName(control, event), handler);
}

std::optional<rt::Error> LastEventError() { return State().last; }
std::string LastEventName() { return State().lastEvent; }
int EventErrorCount() { return State().count; }

void ClearEventErrors() {
  State().last.reset();
  State().lastEvent.clear();
  State().count = 0;
}

}  // namespace ui
