#include "kelhost/arguments.h"

#include "host/sqlite/errors.h"
#include "kelhost/command.h"
#include "platform/error.h"

namespace kelhost {

std::string ParseArguments(const std::vector<std::string>& args, std::initializer_list<const char*> valued,
                           std::initializer_list<const char*> flags, Arguments& out) {
  const auto among = [](const std::string& a, std::initializer_list<const char*> names) {
    for (const char* n : names)
      if (a == n) return true;
    return false;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.empty() || a[0] != '-') {
      if (!out.database.empty()) return "more than one database given";
      out.database = a;
      continue;
    }
    if (out.Has(a)) return a + " is given twice";
    if (among(a, flags)) {
      out.flags.insert(a);
      continue;
    }
    if (!among(a, valued)) return "unknown option " + a;
    if (i + 1 >= args.size()) return a + " needs a value";
    out.values[a] = args[++i];
  }
  if (out.database.empty()) return "no database given";
  return "";
}

std::optional<rt::Date> ParseIsoDate(const std::string& s) {
  auto digits = [&s](size_t from, size_t n) {
    for (size_t i = from; i < from + n; ++i)
      if (s[i] < '0' || s[i] > '9') return false;
    return true;
  };
  if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !digits(0, 4) || !digits(5, 2) || !digits(8, 2))
    return std::nullopt;
  const int y = std::stoi(s.substr(0, 4)), m = std::stoi(s.substr(5, 2)), d = std::stoi(s.substr(8, 2));
  if (m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
  try {
    const rt::Date date = rt::DateSerial(y, m, d);
    if (rt::Day(date) != d || rt::Month(date) != m) return std::nullopt;
    return date;
  } catch (const rt::Error&) {
    return std::nullopt;
  }
}

bool ApplyRunOptions(host::sqlite::StandIn& host, const Arguments& args, const std::string& command) {
  std::optional<rt::Date> today;
  if (args.Has("--today")) {
    today = ParseIsoDate(args.Value("--today"));
    if (!today) {
      PrintError(command + ": --today " + args.Value("--today") + " is not a date YYYY-MM-DD");
      return false;
    }
  }
  if (args.Has("--user")) {
    try {
      host.SetCurrentUser(args.Value("--user"), false);
    } catch (const rt::Error& e) {
      if (e.number() != host::sqlite::hosterr::UnknownUser) throw;
      PrintError(command + ": unknown user " + args.Value("--user"));
      return false;
    }
  }
  if (args.Has("--address") && !host.SetCurrentAddress(args.Value("--address"), false)) {
    PrintError(command + ": no address with the ID \"" + args.Value("--address") + "\"");
    return false;
  }
  if (today) rt::SetToday(*today);
  return true;
}

}  // namespace kelhost
