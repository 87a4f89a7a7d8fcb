// The event boundary: where the window system calls into a dialog.
//
// A handler run because the user acted (a click, a key, a change, a
// validation, a form's activation) runs through RunEvent. An error that
// escapes the handler ends there: it is handed to the process-wide event
// error reporter and never ends the process. Handlers run because code set a
// control's value do not pass the boundary: their errors reach the code that
// set the value, as any other failing statement does.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/error.h"

namespace ui {

// A broken test script (an unexpected question or modal form, a form left
// shown). It is a programming error, not a run-time error: the boundary lets
// it pass so that the test sees it.
class ScriptFailure : public rt::Unrecoverable {
 public:
  explicit ScriptFailure(const std::string& what) : rt::Unrecoverable(what) {}
};

using EventErrorReporter = std::function<void(const rt::Error&)>;

// Installs the reporter (an empty function removes it). Without a reporter
// an escaped error is only recorded.
void SetEventErrorReporter(EventErrorReporter reporter);

// Runs `handler` at the boundary. Returns false when an error escaped it;
// that error was reported and recorded. An rt::Unrecoverable (such as a
// ScriptFailure), from the handler or from the reporter, is passed on.
bool RunEvent(const std::function<void()>& handler);

// The last error that escaped a handler at the boundary (whether or not a
// reporter took it), and how many escaped since the last clearing.
std::optional<rt::Error> LastEventError();
int EventErrorCount();
void ClearEventErrors();

}  // namespace ui
