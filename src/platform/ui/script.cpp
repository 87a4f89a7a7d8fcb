#include "platform/ui/script.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/text.h"

namespace ui::test {

namespace {

struct VerbInfo {
  Verb verb;
  std::string_view name;
  enum class Arg { None, Required, Optional } arg;
};

constexpr std::array<VerbInfo, 10> kVerbs = {{
    {Verb::Type, "type", VerbInfo::Arg::Required},
    {Verb::Paste, "paste", VerbInfo::Arg::Optional},
    {Verb::Tick, "tick", VerbInfo::Arg::None},
    {Verb::Untick, "untick", VerbInfo::Arg::None},
    {Verb::Choose, "choose", VerbInfo::Arg::None},
    {Verb::Click, "click", VerbInfo::Arg::None},
    {Verb::Select, "select", VerbInfo::Arg::Required},
    {Verb::Pick, "pick", VerbInfo::Arg::Required},
    {Verb::Date, "date", VerbInfo::Arg::Required},
    {Verb::Answer, "answer", VerbInfo::Arg::Required},
}};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// "#<n>" as an index that fits 32 bits; nullopt for any other text.
std::optional<int32_t> IndexOf(std::string_view arg) {
  if (arg.size() < 2 || arg[0] != '#' || !AllDigits(arg.substr(1)) || arg.size() > 11) return std::nullopt;
  const long long n = std::stoll(std::string(arg.substr(1)));
  if (n > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(n);
}

// d.M.yyyy or dd.MM.yyyy naming a day that exists.
std::optional<rt::Date> DateOf(std::string_view arg) {
  const std::vector<std::string> parts = rt::Split(arg, ".");
  if (parts.size() != 3) return std::nullopt;
  const std::string &d = parts[0], &m = parts[1], &y = parts[2];
  if (!AllDigits(d) || d.size() > 2 || !AllDigits(m) || m.size() > 2 || !AllDigits(y) || y.size() != 4)
    return std::nullopt;
  const int32_t day = std::stoi(d), month = std::stoi(m), year = std::stoi(y);
  if (year < 100 || month < 1 || month > 12 || day < 1) return std::nullopt;
  const rt::Date date = rt::DateSerial(year, month, day);
  if (rt::Day(date) != day || rt::Month(date) != month) return std::nullopt;  // 31.4. rolls over
  return date;
}

ScriptAction ParseLine(int number, std::string_view line) {
  ScriptAction a;
  a.line = number;
  const size_t verbEnd = line.find(' ');
  const std::string verb = rt::LCase(line.substr(0, verbEnd));
  const VerbInfo* info = nullptr;
  for (const VerbInfo& v : kVerbs)
    if (v.name == verb) info = &v;
  if (info == nullptr) throw ScriptSyntaxError(number, "unknown verb \"" + std::string(line.substr(0, verbEnd)) + "\"");
  a.verb = info->verb;
  std::string_view rest = verbEnd == std::string_view::npos ? std::string_view() : line.substr(verbEnd + 1);

  if (a.verb == Verb::Answer) {
    const std::string answer = rt::LCase(rest);
    if (answer != "yes" && answer != "no") throw ScriptSyntaxError(number, "answer takes yes or no");
    a.yes = answer == "yes";
    a.argument = std::string(rest);
    return a;
  }

  const size_t controlEnd = rest.find(' ');
  a.control = std::string(rest.substr(0, controlEnd));
  if (a.control.empty()) throw ScriptSyntaxError(number, std::string(info->name) + " needs a control name");
  const bool hasArgument = controlEnd != std::string_view::npos;
  if (hasArgument) a.argument = std::string(rest.substr(controlEnd + 1));
  switch (info->arg) {
    case VerbInfo::Arg::None:
      if (hasArgument) throw ScriptSyntaxError(number, std::string(info->name) + " takes no text after the control");
      break;
    case VerbInfo::Arg::Required:
      if (a.argument.empty()) throw ScriptSyntaxError(number, std::string(info->name) + " needs a text after the control");
      break;
    case VerbInfo::Arg::Optional:
      break;
  }
  if (a.verb == Verb::Select || a.verb == Verb::Pick) a.index = IndexOf(a.argument);
  if (a.verb == Verb::Date && rt::LCase(a.argument) != "empty") {
    a.date = DateOf(a.argument);
    if (!a.date) throw ScriptSyntaxError(number, "\"" + a.argument + "\" is no date (d.M.yyyy, dd.MM.yyyy or empty)");
  }
  return a;
}

}  // namespace

std::string_view VerbName(Verb verb) {
  for (const VerbInfo& v : kVerbs)
    if (v.verb == verb) return v.name;
  return {};
}

std::vector<ScriptAction> ParseScript(std::string_view text) {
  std::vector<ScriptAction> actions;
  int number = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    line.remove_prefix(first);
    if (line.empty() || line[0] == '#') continue;
    actions.push_back(ParseLine(number, line));
  }
  return actions;
}

}  // namespace ui::test
