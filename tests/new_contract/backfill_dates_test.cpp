// The dates of a contract entered with already invoiced periods, without a
// host: notice dates, the one-off and open-ended next invoice, and every
// outcome of the renewable path, rendered as lines and compared whole.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/billing_periods.h"
#include "new_contract/backfill_dates.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/format.h"

namespace {

using backfill::ContractUpdate;
using backfill::Failure;
using backfill::PlannedState;
using backfill::RenewablePlan;
using backfill::Terms;
using backfill::ValueSource;

// "dd.MM.yyyy" to a date.
rt::Date D(const std::string& s) {
  return rt::DateSerial(std::stoi(s.substr(6)), std::stoi(s.substr(3, 2)), std::stoi(s.substr(0, 2)));
}
std::string Text(rt::Date d) { return rt::FormatDate(d, "dd.MM.yyyy"); }

// A contract type's terms in short: start, months of the first term, its
// payment period, the renewal term and its payment period, the invoicing
// time, and the two notice periods.
struct Type {
  const char* start;
  int32_t dauer, zp, vd, vzp, rechnungWann;
  int32_t notice;
  const char* unit;
  int32_t renewalNotice;
  const char* renewalUnit;

  Terms ToTerms(int32_t art) const {
    Terms t;
    t.lArt = art;
    t.start = D(start);
    t.lDauer = dauer;
    t.lZahlungsperiode = zp;
    t.lVerlaengerungsdauer = vd;
    t.lVerlaengerungsZahlungsperiode = vzp;
    t.lRechnungWann = rechnungWann;
    t.notice = {notice, unit};
    t.renewalNotice = {renewalNotice, renewalUnit};
    return t;
  }
};

// The worked type: a year, quarterly, renewed by years paid quarterly,
// three months' notice, invoiced in advance.
constexpr Type kQuarterly{"01.10.2024", 12, 3, 12, 3, 0, 3, "Monate", 3, "Monate"};
constexpr Type kQuarterlyArrearsYearlyRenewal{"01.10.2024", 12, 3, 12, 12, 1, 3, "Monate", 3, "Monate"};
constexpr Type kQuarterlyArrears{"01.10.2024", 12, 3, 12, 3, 1, 3, "Monate", 3, "Monate"};
// A start on the 31st: the first-term periods drift to the 30th.
constexpr Type kDrifting{"31.03.2023", 12, 3, 12, 12, 0, 3, "Monate", 6, "Wochen"};
constexpr Type kNearTheEnd{"01.01.9998", 12, 3, 12, 3, 0, 3, "Monate", 3, "Monate"};
constexpr Type kLastYear{"01.01.9999", 11, 3, 12, 3, 1, 3, "Monate", 3, "Monate"};

std::string Value(const ValueSource& v) {
  switch (v.kind) {
    case ValueSource::kDiscountedNettoSumme:
      return "NS";
    case ValueSource::kStateSum:
      return "sum of " + std::to_string(v.state + 1);
    case ValueSource::kZero:
      return "0";
  }
  return "?";
}

// The plan as lines: one per step, then the reminder and the summary.
std::vector<std::string> Describe(const RenewablePlan& p) {
  std::vector<std::string> lines;
  lines.push_back(std::string(p.caseA ? "A" : "B") + " E1 " + Text(p.firstTermEnd));
  for (const backfill::Step& step : p.steps) {
    if (const auto* s = std::get_if<PlannedState>(&step)) {
      std::string line = std::string(s->renewal ? "2 " : "1 ") + Text(s->start) + "-" + Text(s->end) +
                         " ZP " + std::to_string(s->zahlungsperiode) + " N " + Text(s->nextInvoice);
      if (s->insertWithValue) line += " +NS";
      if (s->valueFromSum) line += " =sum";
      if (s->undiscounted) line += " 0%";
      lines.push_back(line);
    } else if (const auto* u = std::get_if<ContractUpdate>(&step)) {
      std::string line = "update KD " + Text(u->kuendfristDatum) + " end " + Text(u->vertragEnde);
      if (u->current) {
        line += " ZP " + std::to_string(u->current->zahlungsperiode) + " value " + Value(u->current->value) +
                " next " + Text(u->current->nextInvoice);
      }
      lines.push_back(line);
    } else {
      const auto& f = std::get<Failure>(step);
      lines.push_back("fails " + std::to_string(f.error.number()) + (f.afterCount ? " after count" : ""));
    }
  }
  if (p.reminder) lines.push_back("remind " + Text(p.reminder->day) + " of " + Text(p.reminder->due));
  lines.push_back("valid " + Text(p.validFrom) + "-" + Text(p.validTo) + ", " + std::to_string(p.stateCount) +
                  " states, last end " + Text(p.lastTermEnd));
  return lines;
}

struct RenewableCase {
  const char* name;
  Type type;
  int16_t k;  // the list entry whose start is lastInvoiced (for the reader)
  const char* lastInvoiced;
  const char* lastListed;
  const char* today;
  bool firstTermOnly;
  std::vector<std::string> expected;
};

RenewablePlan Plan(const RenewableCase& c, bool reminder = true) {
  backfill::Selection sel{D(c.lastInvoiced), D(c.lastListed), D(c.today)};
  return backfill::PlanRenewable(c.type.ToTerms(1), sel, {c.firstTermOnly, reminder, 6});
}

TEST(NewContractBackfillDates, RenewablePathEveryOutcome) {
  const std::vector<RenewableCase> cases = {
      {"worked example 1: an invoiced term, then the final certain term",
       kQuarterly, 7, "01.07.2026", "01.10.2026", "08.12.2026", false,
       {"B E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 31.12.9999 +NS",
        "2 01.10.2025-30.09.2026 ZP 3 N 31.12.9999 +NS =sum",
        "2 01.10.2026-30.09.2027 ZP 3 N 01.10.2026 +NS =sum",
        "update KD 01.07.2027 end 30.09.2027 ZP 3 value sum of 3 next 01.10.2026",
        "remind 20.05.2027 of 01.07.2027",
        "valid 01.10.2024-30.09.2027, 3 states, last end 30.09.2027"}},
      {"worked example 2: case A writes one renewal term however far today lies",
       kQuarterly, 1, "01.01.2025", "01.10.2026", "08.12.2026", false,
       {"A E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 01.04.2025 +NS",
        "update KD 01.07.2025 end 30.09.2025 ZP 3 value NS next 01.04.2025",
        "2 01.10.2025-30.09.2026 ZP 3 N 01.10.2025 =sum",
        "update KD 01.07.2026 end 30.09.2026",
        "remind 20.05.2026 of 01.07.2026",
        "valid 01.10.2024-30.09.2026, 2 states, last end 30.09.2026"}},
      {"case A on the notice date: the first term can still be cancelled",
       kQuarterly, 1, "01.01.2025", "01.07.2025", "01.07.2025", false,
       {"A E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 01.04.2025 +NS",
        "update KD 01.07.2025 end 30.09.2025 ZP 3 value NS next 01.04.2025",
        "remind 20.05.2025 of 01.07.2025",
        "valid 01.10.2024-30.09.2025, 1 states, last end 30.09.2025"}},
      {"case A the day after the notice date",
       kQuarterly, 1, "01.01.2025", "01.07.2025", "02.07.2025", false,
       {"A E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 01.04.2025 +NS",
        "update KD 01.07.2025 end 30.09.2025 ZP 3 value NS next 01.04.2025",
        "2 01.10.2025-30.09.2026 ZP 3 N 01.10.2025 =sum",
        "update KD 01.07.2026 end 30.09.2026",
        "remind 20.05.2026 of 01.07.2026",
        "valid 01.10.2024-30.09.2026, 2 states, last end 30.09.2026"}},
      {"case A in arrears: N after the next period, the renewal state one first-term period late",
       kQuarterlyArrearsYearlyRenewal, 1, "01.01.2025", "01.10.2026", "08.12.2026", true,
       {"A E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 01.07.2025 +NS",
        "update KD 01.07.2025 end 30.09.2025 ZP 3 value NS next 01.07.2025",
        "2 01.10.2025-30.09.2026 ZP 12 N 01.01.2026 =sum 0%",
        "update KD 01.07.2026 end 30.09.2026",
        "remind 20.05.2026 of 01.07.2026",
        "valid 01.10.2024-30.09.2026, 2 states, last end 30.09.2026"}},
      {"the first term's last period invoiced before the first renewal is certain: closing update",
       kQuarterly, 3, "01.07.2025", "01.07.2025", "15.06.2025", true,
       {"B E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 31.12.9999 +NS",
        "update KD 01.07.2025 end 30.09.2025 ZP 3 value NS next 31.12.9999",
        "remind 20.05.2025 of 01.07.2025",
        "valid 01.10.2024-30.09.2025, 1 states, last end 30.09.2025"}},
      {"an earlier period chosen: the final term takes V and P of the invoiced term",
       kQuarterly, 5, "01.01.2026", "01.10.2026", "08.12.2026", true,
       {"B E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 31.12.9999 +NS",
        "2 01.10.2025-30.09.2026 ZP 3 N 01.04.2026 +NS =sum 0%",
        "2 01.10.2026-30.09.2027 ZP 3 N 01.10.2026 +NS =sum 0%",
        "update KD 01.07.2027 end 30.09.2027 ZP 3 value sum of 2 next 01.04.2026",
        "remind 20.05.2027 of 01.07.2027",
        "valid 01.10.2024-30.09.2027, 3 states, last end 30.09.2027"}},
      {"the same in arrears: the invoiced term's N ignores the invoicing time",
       kQuarterlyArrears, 5, "01.01.2026", "01.10.2026", "08.12.2026", false,
       {"B E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 31.12.9999 +NS",
        "2 01.10.2025-30.09.2026 ZP 3 N 01.04.2026 +NS =sum",
        "2 01.10.2026-30.09.2027 ZP 3 N 01.01.2027 +NS =sum",
        "update KD 01.07.2027 end 30.09.2027 ZP 3 value sum of 2 next 01.04.2026",
        "remind 20.05.2027 of 01.07.2027",
        "valid 01.10.2024-30.09.2027, 3 states, last end 30.09.2027"}},
      {"a year later: the closing update leaves the contract in the invoiced term, the attribute at E1",
       kQuarterly, 5, "01.01.2026", "01.10.2027", "08.12.2027", false,
       {"B E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 31.12.9999 +NS",
        "2 01.10.2025-30.09.2026 ZP 3 N 01.04.2026 +NS =sum",
        "update KD 01.07.2026 end 30.09.2026 ZP 3 value sum of 2 next 01.04.2026",
        "remind 20.05.2026 of 01.07.2026",
        "valid 01.10.2024-30.09.2025, 2 states, last end 30.09.2026"}},
      {"drift makes L + ZP equal E1: case B, the first renewal is final",
       kDrifting, 3, "30.12.2023", "30.12.2023", "10.01.2024", false,
       {"B E1 30.03.2024",
        "1 31.03.2023-30.03.2024 ZP 3 N 31.12.9999 +NS",
        "2 31.03.2024-30.03.2025 ZP 12 N 31.03.2024 +NS =sum",
        "update KD 17.02.2025 end 30.03.2025 ZP 12 value sum of 2 next 31.03.2024",
        "remind 06.01.2025 of 17.02.2025",
        "valid 31.03.2023-30.03.2025, 2 states, last end 30.03.2025"}},
      {"drift equality before the first notice date: closing update in the first term",
       kDrifting, 3, "30.12.2023", "30.12.2023", "20.12.2023", false,
       {"B E1 30.03.2024",
        "1 31.03.2023-30.03.2024 ZP 3 N 31.12.9999 +NS",
        "update KD 31.12.2023 end 30.03.2024 ZP 3 value NS next 31.12.9999",
        "remind 19.11.2023 of 31.12.2023",
        "valid 31.03.2023-30.03.2024, 1 states, last end 30.03.2024"}},
      {"in arrears, the final term's last period invoiced: no further invoice",
       kQuarterlyArrears, 11, "01.07.2027", "01.07.2027", "15.08.2027", false,
       {"B E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 31.12.9999 +NS",
        "2 01.10.2025-30.09.2026 ZP 3 N 31.12.9999 +NS =sum",
        "2 01.10.2026-30.09.2027 ZP 3 N 31.12.9999 +NS =sum",
        "update KD 01.07.2027 end 30.09.2027 ZP 3 value sum of 3 next 31.12.9999",
        "remind 20.05.2027 of 01.07.2027",
        "valid 01.10.2024-30.09.2027, 3 states, last end 30.09.2027"}},
      {"L the day before a renewal term: the invoiced term fixes P at its start, V stays",
       kQuarterly, 4, "30.09.2025", "01.10.2026", "08.12.2026", false,
       {"B E1 30.09.2025",
        "1 01.10.2024-30.09.2025 ZP 3 N 31.12.9999 +NS",
        "2 01.10.2025-30.09.2026 ZP 3 N 01.10.2025 +NS =sum",
        "2 01.10.2026-30.09.2027 ZP 3 N 01.10.2026 +NS =sum",
        "update KD 01.07.2027 end 30.09.2027 ZP 3 value NS next 01.10.2025",
        "remind 20.05.2027 of 01.07.2027",
        "valid 01.10.2024-30.09.2027, 3 states, last end 30.09.2027"}},
      {"a renewal term beyond 31.12.9999: the first-term state stays",
       kNearTheEnd, 5, "01.04.9999", "01.04.9999", "08.12.2026", false,
       {"B E1 31.12.9998",
        "1 01.01.9998-31.12.9998 ZP 3 N 31.12.9999 +NS",
        "fails 5",
        "valid 01.01.9998-31.12.9998, 1 states, last end 31.12.9998"}},
      {"a date beyond 31.12.9999 for the first state's next invoice: counted, not written",
       kLastYear, 2, "01.07.9999", "01.10.9999", "08.12.2026", false,
       {"A E1 30.11.9999",
        "fails 5 after count",
        "valid 01.01.9999-30.11.9999, 1 states, last end 30.11.9999"}},
  };
  for (const RenewableCase& c : cases) {
    EXPECT_EQ(Describe(Plan(c)), c.expected) << c.name;
  }

  // Without the setting no notice reminder is planned; nothing else changes.
  for (const RenewableCase& c : cases) {
    std::vector<std::string> expected;
    for (const std::string& line : c.expected) {
      if (line.rfind("remind ", 0) != 0) expected.push_back(line);
    }
    EXPECT_EQ(Describe(Plan(c, false)), expected) << c.name;
  }
}

// The switches of the save from a type adjusted in memory, without the
// setting: a final certain term still gets its reminder, a closing update
// after renewal terms gives the attribute the last term's end, and dates
// worked out before the writes change nothing while they are in the
// calendar.
TEST(NewContractBackfillDates, TheInMemorySwitches) {
  struct Case {
    const char* name;
    const char* lastInvoiced;
    const char* lastListed;
    const char* today;
    std::vector<std::string> tail;  // the reminder line, if any, and the summary
  };
  const Case cases[] = {
      {"a final certain term", "01.07.2026", "01.10.2026", "08.12.2026",
       {"remind 20.05.2027 of 01.07.2027", "valid 01.10.2024-30.09.2027, 3 states, last end 30.09.2027"}},
      {"a closing update after a renewal term", "01.01.2026", "01.10.2027", "08.12.2027",
       {"valid 01.10.2024-30.09.2026, 2 states, last end 30.09.2026"}},
      {"a closing update in the first term", "01.07.2025", "01.07.2025", "15.06.2025",
       {"valid 01.10.2024-30.09.2025, 1 states, last end 30.09.2025"}},
      {"case A with a renewal state", "01.01.2025", "01.10.2026", "08.12.2026",
       {"valid 01.10.2024-30.09.2026, 2 states, last end 30.09.2026"}},
  };
  for (const Case& c : cases) {
    backfill::RenewableOptions o;
    o.finalTermReminder = true;
    o.validToLastTerm = true;
    o.datesBeforeWrites = true;
    const std::vector<std::string> lines = Describe(backfill::PlanRenewable(
        kQuarterly.ToTerms(1), {D(c.lastInvoiced), D(c.lastListed), D(c.today)}, o));
    const std::vector<std::string> tail(lines.end() - static_cast<std::ptrdiff_t>(c.tail.size()), lines.end());
    EXPECT_EQ(tail, c.tail) << c.name;
    const bool reminded = lines.end()[-2].rfind("remind", 0) == 0;
    EXPECT_EQ(reminded, c.tail.size() == 2) << c.name;
  }
}

// The renewable path's own search for the start of list entry k: the
// first-term periods while they start before the first term's end, then
// the renewal periods while they start before today, counted from 0.
std::optional<rt::Date> SearchLastInvoicedStart(const Terms& t, int32_t k, rt::Date today) {
  const rt::Date e1 = rt::AddDays(rt::AddMonths(t.start, t.lDauer), -1);
  int32_t i = -1;
  for (rt::Date p = t.start; p < e1; p = rt::AddMonths(p, t.lZahlungsperiode)) {
    if (++i == k) return p;
  }
  for (rt::Date p = rt::AddDays(e1, 1); p < today; p = rt::AddMonths(p, t.lVerlaengerungsZahlungsperiode)) {
    if (++i == k) return p;
  }
  return std::nullopt;
}

// Every position of several lists names the period the paths step to: the
// renewable path's L, and the one-off and open-ended next period start.
TEST(NewContractBackfillDates, ListPositionsAndThePathsAgree) {
  struct Case {
    Type type;
    const char* today;
  };
  const Case cases[] = {
      {kQuarterly, "08.12.2026"},
      {kQuarterly, "15.06.2025"},
      {kQuarterlyArrearsYearlyRenewal, "08.12.2027"},
      {kDrifting, "10.01.2024"},
      {kDrifting, "31.05.2026"},
      {{"31.01.2023", 2, 1, 1, 1, 0, 1, "Monate", 1, "Monate"}, "30.09.2023"},
      {{"29.02.2024", 13, 6, 12, 1, 0, 3, "Monate", 3, "Monate"}, "01.06.2026"},
      {{"15.01.2024", 12, 1, 12, 3, 0, 3, "Monate", 3, "Monate"}, "20.05.2025"},
  };
  for (const Case& c : cases) {
    for (int32_t art : {1, 2, 3}) {
      SCOPED_TRACE(std::string(c.type.start) + " today " + c.today + " kind " + std::to_string(art));
      Terms t = c.type.ToTerms(art);
      t.lRechnungWann = 0;
      const kp::BillingPeriods list = kp::ListBillingPeriods(art, t.start, t.lDauer, t.lZahlungsperiode,
                                                             t.lVerlaengerungsZahlungsperiode, D(c.today));
      ASSERT_FALSE(list.periods.empty());
      const auto n = static_cast<int32_t>(list.periods.size());
      for (int32_t k = 0; k < n; ++k) {
        const rt::Date entry = list.periods[static_cast<size_t>(k)].start;
        if (art == 1) {
          EXPECT_EQ(SearchLastInvoicedStart(t, k, D(c.today)), entry) << k;
        } else if (k + 1 < n) {
          const rt::Date following = list.periods[static_cast<size_t>(k) + 1].start;
          const auto k16 = static_cast<int16_t>(k);
          const rt::Date next = art == 2 ? backfill::PlanOneOff(t, k16).nextInvoice
                                         : backfill::PlanOpenEnded(t, k16).nextInvoice;
          EXPECT_EQ(Text(next), Text(following)) << k;
        }
      }
      if (art == 1) {
        EXPECT_EQ(SearchLastInvoicedStart(t, n, D(c.today)), std::nullopt);
      }
    }
  }
}

TEST(NewContractBackfillDates, ZeroPeriodsAreRefusedByTheWalkItself) {
  // A zero renewal term would write states for ever; the engine refuses
  // such terms even when called without the check before it.
  backfill::Selection sel{D("01.07.2026"), D("01.10.2026"), D("08.12.2026")};
  for (int32_t Terms::*field :
       {&Terms::lVerlaengerungsdauer, &Terms::lVerlaengerungsZahlungsperiode, &Terms::lZahlungsperiode}) {
    Terms t = kQuarterly.ToTerms(1);
    t.*field = 0;
    try {
      backfill::PlanRenewable(t, sel, {});
      ADD_FAILURE() << "no error";
    } catch (const rt::Error& e) {
      EXPECT_EQ(e.number(), 5);
    }
  }
}

TEST(NewContractBackfillDates, OneOffAndOpenEndedNextInvoice) {
  struct Case {
    int32_t art;
    Type type;
    int16_t k;
    const char* end;
    const char* next;
  };
  constexpr Type kYearQuarterly{"01.02.2024", 12, 3, 0, 0, 0, 0, "", 0, ""};
  constexpr Type kYearQuarterlyArrears{"01.02.2024", 12, 3, 0, 0, 1, 0, "", 0, ""};
  constexpr Type kMonthly31st{"31.01.2024", 3, 1, 0, 0, 0, 0, "", 0, ""};
  constexpr Type kMonthly31stArrears{"31.01.2024", 3, 1, 0, 0, 1, 0, "", 0, ""};
  constexpr Type kHalfYears{"31.12.2024", 60, 6, 0, 0, 0, 0, "", 0, ""};
  constexpr Type kOpenQuarterly{"01.01.2024", 0, 3, 0, 0, 0, 0, "", 0, ""};
  constexpr Type kOpenQuarterlyArrears{"01.01.2024", 0, 3, 0, 0, 1, 0, "", 0, ""};
  const Case cases[] = {
      {2, kYearQuarterly, 1, "31.01.2025", "01.08.2024"},
      {2, kYearQuarterlyArrears, 1, "31.01.2025", "01.11.2024"},
      {2, kYearQuarterly, 3, "31.01.2025", "31.12.9999"},
      {2, kYearQuarterlyArrears, 3, "31.01.2025", "31.12.9999"},
      // In arrears the last invoice falls on the day after the end.
      {2, kYearQuarterlyArrears, 2, "31.01.2025", "01.02.2025"},
      {2, kYearQuarterly, 0, "31.01.2025", "01.05.2024"},
      // The drifted start equals the end: not strictly later, still due.
      {2, kMonthly31st, 2, "29.04.2024", "29.04.2024"},
      {2, kMonthly31stArrears, 2, "29.04.2024", "29.05.2024"},
      {2, kHalfYears, 9, "30.12.2029", "30.12.2029"},
      {3, kOpenQuarterly, 1, "30.12.1899", "01.07.2024"},
      {3, kOpenQuarterlyArrears, 1, "30.12.1899", "01.10.2024"},
      {3, kOpenQuarterly, 2, "30.12.1899", "01.10.2024"},
      {3, kOpenQuarterlyArrears, 2, "30.12.1899", "01.01.2025"},
  };
  for (const Case& c : cases) {
    const Terms t = c.type.ToTerms(c.art);
    const backfill::SingleTermPlan p = c.art == 2 ? backfill::PlanOneOff(t, c.k) : backfill::PlanOpenEnded(t, c.k);
    EXPECT_EQ(Text(p.end), c.end) << c.type.start << " k " << c.k;
    EXPECT_EQ(Text(p.nextInvoice), c.next) << c.type.start << " k " << c.k;
  }

  // Beyond 31.12.9999 the arithmetic raises 5; so does a zero period.
  constexpr Type kLate{"01.07.9999", 12, 3, 0, 0, 0, 0, "", 0, ""};
  constexpr Type kZero{"01.01.2024", 12, 0, 0, 0, 0, 0, "", 0, ""};
  for (const Terms& t : {kLate.ToTerms(2), kZero.ToTerms(2), kZero.ToTerms(3)}) {
    try {
      t.lArt == 2 ? backfill::PlanOneOff(t, 0) : backfill::PlanOpenEnded(t, 0);
      ADD_FAILURE() << "no error";
    } catch (const rt::Error& e) {
      EXPECT_EQ(e.number(), 5);
    }
  }
}

}  // namespace
