// The event boundary: where the window system calls into a dialog.
//
// A handler run because the user acted (a click, a key, a change, a
// validation, a form's activation) runs through RunEvent, under the name of
// the event: "<form>.<control>_<event>" ("frmFEditDefPositions.cmdOk_Click",
// "frmFEditDefinitions.txtDauer_Change"), or "<form>.Form_<event>" for an
// event of the form itself ("frmNewContract.Form_Activate"). An error that
// escapes the handler ends there: it is handed, with the event's name, to
// the process-wide event error reporter and never ends the process.
// Handlers run because code set a control's value do not pass the boundary:
// their errors reach the code that set the value, as any other failing
// statement does.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace ui {

class Control;

// A broken script (an unexpected question or modal form, a form left shown,
// an action the user cannot perform). It is a programming error, not a
// run-time error: the boundary and the add-on's traps let it pass so that
// the test or the tool running the script sees it.
class ScriptFailure : public rt::Unrecoverable {
 public:
  explicit ScriptFailure(const std::string& what) : rt::Unrecoverable(what) {}
};

// Receives an error that escaped a user's event, with the event's name.
using EventErrorReporter = std::function<void(const std::string& event, const rt::Error& error)>;

// Installs the reporter (an empty function removes it). Without a reporter
// an escaped error is only recorded. The add-on's core installs one when
// the library is loaded.
void SetEventErrorReporter(EventErrorReporter reporter);

// The name of an event of a control: "<form>.<control>_<event>", or
// "<form>.Form_<event>" when `control` is the form.
std::string EventName(const Control& control, std::string_view event);

// Runs `handler` at the boundary as the event `event`. Returns false when
// an error escaped it; that error was reported and recorded. An
// rt::Unrecoverable (such as a ScriptFailure), from the handler or from the
// reporter, is passed on.
bool RunEvent(const std::string& event, const std::function<void()>& handler);
// The same for the event EventName(control, event).
bool RunEvent(const Control& control, std::string_view event, const std::function<void()>& handler);

// The last error that escaped a handler at the boundary (whether or not a
// reporter took it) and its event's name, and how many escaped since the
// last clearing.
std::optional<rt::Error> LastEventError();
std::string LastEventName();
int EventErrorCount();
void ClearEventErrors();

}  // namespace ui
