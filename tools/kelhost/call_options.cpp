#include "kelhost/call_options.h"

#include <algorithm>

#include "host/sqlite/errors.h"
#include "kelhost/command.h"
#include "platform/error.h"

namespace kelhost {

namespace {

const std::vector<std::string> kSessionOptions = {"--address", "--user", "--today"};

// A date written YYYY-MM-DD that names a real day.
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

}  // namespace

std::optional<CallOptions> ParseCallOptions(const std::string& command, const std::vector<std::string>& args,
                                            const std::vector<std::string>& own,
                                            const std::vector<std::string>& required, const std::string& usage) {
  auto usageError = [&](const std::string& problem) -> std::optional<CallOptions> {
    PrintError(command + ": " + problem);
    PrintError(usage);
    return std::nullopt;
  };
  auto known = [&](const std::string& a) {
    return std::find(kSessionOptions.begin(), kSessionOptions.end(), a) != kSessionOptions.end() ||
           std::find(own.begin(), own.end(), a) != own.end();
  };
  CallOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.empty() || a[0] != '-') {
      if (!o.path.empty()) return usageError("more than one database given");
      o.path = a;
      continue;
    }
    if (!known(a)) return usageError("unknown option " + a);
    if (i + 1 >= args.size()) return usageError(a + " needs a value");
    if (o.Has(a)) return usageError(a + " is given twice");
    o.values[a] = args[++i];
  }
  if (o.path.empty()) return usageError("no database given");
  for (const std::string& r : required)
    if (!o.Has(r)) return usageError(r + " is missing");
  if (o.Has("--today")) {
    o.today = ParseIsoDate(o.Value("--today"));
    if (!o.today) return usageError("--today " + o.Value("--today") + " is not a date YYYY-MM-DD");
  }
  return o;
}

bool ApplySession(const std::string& command, host::sqlite::StandIn& host, const CallOptions& options) {
  if (options.Has("--user")) {
    try {
      host.SetCurrentUser(options.Value("--user"), false);
    } catch (const rt::Error& e) {
      if (e.number() != host::sqlite::hosterr::UnknownUser) throw;
      PrintError(command + ": unknown user " + options.Value("--user"));
      return false;
    }
  }
  if (options.Has("--address") && !host.SetCurrentAddress(options.Value("--address"), false)) {
    PrintError(command + ": no address with the ID \"" + options.Value("--address") + "\"");
    return false;
  }
  if (options.today) rt::SetToday(*options.today);
  return true;
}

}  // namespace kelhost
