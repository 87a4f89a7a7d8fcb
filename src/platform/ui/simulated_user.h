// A simulated user for tests: acts on a form's controls as a person at the
// screen would, through the same paths as a real front end. Every handler
// the action raises runs at the event boundary, so an error escaping it is
// reported, not thrown.
//
// Each action returns true when the user could perform it and false when
// it was refused:
//   - the control (or a container it sits in) is hidden or disabled;
//   - moving the focus there was cancelled by the Validate handler of the
//     control that had the focus (a click is then swallowed);
//   - the action does not apply (an index that is not in the list, typing
//     into a drop-down list, a text box the focus left while typing, no
//     date for a picker the user may not empty).
// Errors escaping a handler are reported under the event's name,
// "<form>.<control>_<event>" (event_boundary.h).
// Acting on a form that was never created throws ui::ScriptFailure. The
// form need not be shown: tests may drive a dialog directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/date.h"
#include "platform/ui/controls.h"

namespace ui::test {

class User {
 public:
  // Moves the focus to `to`. The control that had the focus is validated
  // first (unless it is `to`); a cancel keeps the focus where it was.
  bool MoveFocus(Control& to);

  // Tab: the focused control of `form` is validated; unless that cancels
  // (false), the focus goes to the next control in the tab order
  // (Form::TabNext), or stays where it is when there is no other.
  bool Leave(Form& form);

  // Focuses the text box and types the characters one by one at the end of
  // the text (or over the whole text after SelectAll). Each character
  // passes the KeyPress handler first, which may change or swallow it;
  // every resulting change raises Change. Stops, returning false, when a
  // handler moved the focus elsewhere.
  bool Type(TextBox& box, std::string_view chars);
  // Presses Backspace `times` times (through KeyPress, code 8): each press
  // deletes the last character, or the whole text after SelectAll.
  bool Backspace(TextBox& box, int times = 1);
  // Selects the whole text, so that the next key or paste replaces it.
  bool SelectAll(TextBox& box);
  // Pastes text at the end (or over the selection): KeyPress is not
  // involved, Change is raised once.
  bool Paste(TextBox& box, std::string_view text);

  // Types free text into an editable combo box (replacing its text).
  bool Type(ComboBox& combo, std::string_view text);

  // Clicks: the focus moves to the control first.
  bool Click(CommandButton& button);
  bool Tick(CheckBox& box);    // ticks it; clicks only when it was not ticked
  bool Untick(CheckBox& box);  // unticks it; clicks only when it was ticked
  bool Choose(OptionButton& option);
  bool Select(ComboBox& combo, int32_t index);  // picks an entry; clicks
  bool Select(ListBox& list, int32_t index);
  bool ClickItem(ListView& list, int32_t index);  // selects item `index` (from 1), then ItemClick
  // Chooses a date, or empties the picker (nullopt), which only a picker
  // with AllowEmpty allows.
  bool SetDate(DatePicker& picker, std::optional<rt::Date> value);

 private:
  static bool Reach(Control& c);
  // Runs the Validate of `c` as the user leaves it; true unless it cancels.
  static bool ValidateLeaving(Control& c);
  bool Key(TextBox& box, int16_t keyAscii);
};

}  // namespace ui::test
