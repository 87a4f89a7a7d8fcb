// The script language in which a scripted user drives the dialogs (the
// script player, script_player.h; `kelhost edit-type` and its kin).
//
// A script is UTF-8 text, one action per line:
//
//   <verb> <control>[ <argument>]
//
// one blank between the parts; the argument is the rest of the line as it
// stands (further blanks included; a trailing CR is dropped). Blanks before
// the verb are ignored, and so are empty lines and lines whose first
// character after blanks is "#". Verbs ignore letter case; control names
// are matched as Form::ControlByName matches them.
//
//   type CONTROL TEXT     select the whole text of a text box, type TEXT key
//                         by key through its key filter, then leave (Tab);
//                         an editable combo box takes TEXT as its text
//   paste CONTROL [TEXT]  the same past the key filter; no TEXT empties it
//   tick CONTROL          tick a check box
//   untick CONTROL        untick a check box
//   choose CONTROL        choose an option button
//   click CONTROL         click a command button
//   select CONTROL TEXT   choose the first entry of a combo or list box
//                         whose text is exactly TEXT; "#<n>" chooses the
//                         entry at index n (from 0)
//   pick CONTROL TEXT     click the first item of a list view whose first
//                         shown column holds exactly TEXT; "#<n>" clicks the
//                         item at index n (from 1)
//   date CONTROL DATE     choose a date (d.M.yyyy or dd.MM.yyyy) in a date
//                         picker, or empty it with "empty"
//   answer yes|no         the answer to the next question (no control)
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date.h"

namespace ui::test {

enum class Verb { Type, Paste, Tick, Untick, Choose, Click, Select, Pick, Date, Answer };

struct ScriptAction {
  int line = 0;          // 1-based line of the script
  Verb verb = Verb::Click;
  std::string control;   // empty for answer
  std::string argument;  // as it stands; empty when none
  // select and pick with "#<n>": the index; otherwise the argument is a text.
  std::optional<int32_t> index;
  // date: the date, or nullopt for "empty".
  std::optional<rt::Date> date;
  // answer: true for yes.
  bool yes = false;
};

// A line that is not an action: its 1-based number and what is wrong.
class ScriptSyntaxError : public std::runtime_error {
 public:
  ScriptSyntaxError(int line, const std::string& reason)
      : std::runtime_error("line " + std::to_string(line) + ": " + reason), line_(line), reason_(reason) {}
  int line() const { return line_; }
  const std::string& reason() const { return reason_; }

 private:
  int line_;
  std::string reason_;
};

// Reads a whole script; the first malformed line raises ScriptSyntaxError.
std::vector<ScriptAction> ParseScript(std::string_view text);

// The verb as written in scripts ("type", "paste", ...).
std::string_view VerbName(Verb verb);

}  // namespace ui::test
