// The script player: a user-interface service that plays a script
// (script.h) as a user at the screen would, with ui::test::User, on the
// form shown on top. `kelhost edit-type` drives the contract-type editor
// with it; any dialog can be driven the same way.
//
//   ui::test::ScriptPlayer player(ui::test::ParseScript(text), std::cerr);
//   ui::SetService(player-as-shared_ptr);
//   ... the call that shows the dialog ...
//   player.Finish();   // lines left over are a broken script
//
// Modal displays: each display plays lines on its form until the form is
// hidden; a dialog opened by an action (`click cmdAddPos`) takes the lines
// that follow until it closes, then the form below takes the next ones.
// Message boxes: each goes to the stream as "[<title>] <text>" (ui::BoxLine)
// and a newline. A question takes the answer the last `answer` lines
// queued, the oldest first; with none queued it takes its default button,
// and a warning line goes to the stream.
//
// A broken script ends the run with ui::ScriptFailure, naming the line
// ("line 7: ..."), which no event boundary or error trap stops:
//  - an action the user cannot perform: the control is absent, of another
//    kind, hidden, disabled or in a hidden or disabled frame; the entry or
//    item is missing; the control holding the focus refuses to let it go
//    (its validation cancels); a handler moves the focus away while the
//    user types or pastes; a picker the user may not empty is emptied;
//  - the script ends while a dialog is shown;
//  - lines are left after the last dialog closed (Finish).
// After `type` and `paste` the field is left (Tab). A validation that keeps
// the focus then is no failure: its message is printed, and the next line
// can act only on that field.
#pragma once

#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/script.h"
#include "platform/ui/simulated_user.h"

namespace ui::test {

class ScriptPlayer : public Service {
 public:
  ScriptPlayer(std::vector<ScriptAction> script, std::ostream& out);

  MsgResult MessageBox(std::string_view prompt, int style, std::optional<std::string_view> title) override;
  void ShowModal(Form& form) override;
  void DoEvents() override {}

  // Ends the run: a line not played yet raises ScriptFailure; an answer no
  // question took gives a warning.
  void Finish();

  // How many lines have been played.
  size_t Played() const { return next_; }

  // One modal display, in the order the displays began.
  struct Display {
    std::string form;  // the form's name
    // The line whose action hid the form; none when the form was hidden
    // before any line of its own was played, or the display ended by a
    // failure.
    std::optional<ScriptAction> closedBy;
  };
  const std::vector<Display>& Displays() const { return displays_; }

 private:
  [[noreturn]] void Fail(const ScriptAction& a, const std::string& reason) const;
  void Warn(const std::string& text);
  void Play(const ScriptAction& a, Form& form);
  // The control the action names on `form`, reachable by the user, as a T;
  // any other case fails the run.
  template <class T>
  T& Target(const ScriptAction& a, Form& form, const char* kind);
  Control& Reachable(const ScriptAction& a, Form& form);
  // Fails the run: the focused control refused to let the focus go.
  [[noreturn]] void Refused(const ScriptAction& a, Form& form) const;
  void TypeInto(const ScriptAction& a, Form& form, bool paste);

  std::vector<ScriptAction> script_;
  size_t next_ = 0;
  std::vector<Display> displays_;
  std::ostream& out_;
  User user_;
  struct Answer {
    int line;
    bool yes;
  };
  std::deque<Answer> answers_;
  int current_ = 0;  // the line being played; 0 before the first
};

}  // namespace ui::test
