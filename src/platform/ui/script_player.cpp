#include "platform/ui/script_player.h"

#include <utility>

namespace ui::test {

namespace {

// What the user sees a control as, for messages.
std::string KindOf(const Control& c) {
  if (dynamic_cast<const TextBox*>(&c)) return "a text box";
  if (const auto* combo = dynamic_cast<const ComboBox*>(&c))
    return combo->GetStyle() == ComboBox::Style::Editable ? "an editable combo box" : "a drop-down list";
  if (dynamic_cast<const ListBox*>(&c)) return "a list box";
  if (dynamic_cast<const ListView*>(&c)) return "a list view";
  if (dynamic_cast<const CheckBox*>(&c)) return "a check box";
  if (dynamic_cast<const OptionButton*>(&c)) return "an option button";
  if (dynamic_cast<const CommandButton*>(&c)) return "a command button";
  if (dynamic_cast<const DatePicker*>(&c)) return "a date picker";
  if (dynamic_cast<const Label*>(&c)) return "a label";
  return "a frame";
}

// The index of the first entry with exactly `text`, or -1.
template <class List>
int32_t EntryIndex(const List& list, const std::string& text) {
  for (int32_t i = 0; i < list.ListCount(); ++i)
    if (list.List(i) == text) return i;
  return -1;
}

// The first column of a list view with a width (1 is the item text).
int32_t FirstShownColumn(const ListView& lvw) {
  for (int32_t c = 1; c <= lvw.ColumnCount(); ++c)
    if (!lvw.Column(c).Hidden()) return c;
  return 1;
}

}  // namespace

ScriptPlayer::ScriptPlayer(std::vector<ScriptAction> script, std::ostream& out)
    : script_(std::move(script)), out_(out) {}

void ScriptPlayer::Fail(const ScriptAction& a, const std::string& reason) const {
  throw ScriptFailure("line " + std::to_string(a.line) + ": " + reason);
}

void ScriptPlayer::Warn(const std::string& text) { out_ << "warning: " << text << "\n" << std::flush; }

MsgResult ScriptPlayer::MessageBox(std::string_view prompt, int style, std::optional<std::string_view> title) {
  out_ << BoxLine(prompt, title) << "\n" << std::flush;
  if ((style & 0xF) != mb::YesNo) return MsgResult::Ok;
  if (!answers_.empty()) {
    const Answer a = answers_.front();
    answers_.pop_front();
    return a.yes ? MsgResult::Yes : MsgResult::No;
  }
  const MsgResult taken = DefaultAnswer(style);
  const std::string where = current_ == 0 ? "before line 1" : "line " + std::to_string(current_);
  Warn(where + ": no answer was given; the default button " +
       std::string(taken == MsgResult::Yes ? "Yes" : "No") + " is taken");
  return taken;
}

void ScriptPlayer::ShowModal(Form& form) {
  const size_t display = displays_.size();
  displays_.push_back(Display{form.Name(), std::nullopt});
  while (form.IsShown()) {
    if (next_ == script_.size()) {
      const std::string end = script_.empty() ? "the script is empty" : "the script ends (line " +
                                                                             std::to_string(script_.back().line) + ")";
      throw ScriptFailure(end + " while " + form.Name() + " is shown");
    }
    const ScriptAction& a = script_[next_++];
    current_ = a.line;
    Play(a, form);
    if (!form.IsShown()) displays_[display].closedBy = a;
  }
}

void ScriptPlayer::Finish() {
  if (next_ < script_.size())
    Fail(script_[next_], "this line and the ones after it are left; the dialogs have closed");
  for (const Answer& a : answers_) Warn("line " + std::to_string(a.line) + ": no question took this answer");
  answers_.clear();
}

Control& ScriptPlayer::Reachable(const ScriptAction& a, Form& form) {
  Control* c = form.ControlByName(a.control);
  if (c == nullptr) Fail(a, form.Name() + " has no control " + a.control);
  if (!c->Visible()) Fail(a, a.control + " is hidden");
  if (!c->Enabled()) Fail(a, a.control + " is disabled");
  if (!c->Reachable()) Fail(a, a.control + " is out of reach (a frame holding it is hidden or disabled)");
  return *c;
}

template <class T>
T& ScriptPlayer::Target(const ScriptAction& a, Form& form, const char* kind) {
  Control& c = Reachable(a, form);
  T* t = dynamic_cast<T*>(&c);
  if (t == nullptr) Fail(a, a.control + " is " + KindOf(c) + ", not " + kind);
  return *t;
}

void ScriptPlayer::Refused(const ScriptAction& a, Form& form) const {
  const Control* active = form.ActiveControl();
  Fail(a, (active ? active->Name() : std::string("the focused control")) +
              " keeps the focus: its validation refuses to let it go");
}

void ScriptPlayer::TypeInto(const ScriptAction& a, Form& form, bool paste) {
  Control& c = Reachable(a, form);
  if (auto* combo = dynamic_cast<ComboBox*>(&c)) {
    if (combo->GetStyle() != ComboBox::Style::Editable)
      Fail(a, a.control + " is a drop-down list; choose an entry with select");
    if (!user_.Type(*combo, a.argument)) Refused(a, form);
    if (!combo->HasFocus()) Fail(a, "the focus left " + a.control + " while the text was entered");
  } else if (auto* box = dynamic_cast<TextBox*>(&c)) {
    if (!user_.SelectAll(*box)) Refused(a, form);
    const bool done = paste ? user_.Paste(*box, a.argument) : user_.Type(*box, a.argument);
    if (!done || !box->HasFocus()) Fail(a, "the focus left " + a.control + " while the text was entered");
  } else {
    Fail(a, a.control + " is " + KindOf(c) + ", not a text box or an editable combo box");
  }
  // Tab. A validation keeping the focus is the user's to see, not a failure.
  user_.Leave(form);
}

void ScriptPlayer::Play(const ScriptAction& a, Form& form) {
  switch (a.verb) {
    case Verb::Answer:
      answers_.push_back(Answer{a.line, a.yes});
      return;
    case Verb::Type:
    case Verb::Paste:
      TypeInto(a, form, a.verb == Verb::Paste);
      return;
    case Verb::Tick:
    case Verb::Untick: {
      CheckBox& box = Target<CheckBox>(a, form, "a check box");
      if (!(a.verb == Verb::Tick ? user_.Tick(box) : user_.Untick(box))) Refused(a, form);
      return;
    }
    case Verb::Choose:
      if (!user_.Choose(Target<OptionButton>(a, form, "an option button"))) Refused(a, form);
      return;
    case Verb::Click:
      if (!user_.Click(Target<CommandButton>(a, form, "a command button"))) Refused(a, form);
      return;
    case Verb::Select: {
      Control& c = Reachable(a, form);
      auto* combo = dynamic_cast<ComboBox*>(&c);
      auto* list = dynamic_cast<ListBox*>(&c);
      if (combo == nullptr && list == nullptr) Fail(a, a.control + " is " + KindOf(c) + ", not a combo or list box");
      const int32_t count = combo ? combo->ListCount() : list->ListCount();
      const int32_t i = a.index ? *a.index : (combo ? EntryIndex(*combo, a.argument) : EntryIndex(*list, a.argument));
      if (i < 0 || i >= count) Fail(a, a.control + " has no entry " + (a.index ? a.argument : "\"" + a.argument + "\""));
      if (!(combo ? user_.Select(*combo, i) : user_.Select(*list, i))) Refused(a, form);
      return;
    }
    case Verb::Pick: {
      ListView& lvw = Target<ListView>(a, form, "a list view");
      int32_t i = 0;
      if (a.index) {
        i = *a.index;
      } else {
        const int32_t column = FirstShownColumn(lvw);
        for (int32_t k = 1; k <= lvw.Count() && i == 0; ++k) {
          const ListItem& item = lvw.Item(k);
          if ((column == 1 ? item.Text() : item.SubItems(column - 1)) == a.argument) i = k;
        }
      }
      if (i < 1 || i > lvw.Count()) Fail(a, a.control + " has no item " + (a.index ? a.argument : "\"" + a.argument + "\""));
      if (!user_.ClickItem(lvw, i)) Refused(a, form);
      return;
    }
    case Verb::Date: {
      DatePicker& picker = Target<DatePicker>(a, form, "a date picker");
      if (!a.date && !picker.AllowEmpty()) Fail(a, a.control + " cannot be emptied");
      if (!user_.SetDate(picker, a.date)) Refused(a, form);
      return;
    }
  }
}

}  // namespace ui::test
