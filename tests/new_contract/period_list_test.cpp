// The billing periods a contract's start opens: the sequence itself, and the
// list of already invoiced periods the dialog builds from it.
#include <string>
#include <vector>

#include "core/billing_periods.h"
#include "new_contract_fixture.h"
#include "platform/format.h"

namespace {

using nctest::D;

// The starts of a sequence as "dd.MM.yyyy".
std::vector<std::string> Starts(const kp::BillingPeriods& list) {
  std::vector<std::string> out;
  for (const auto& p : list.periods) out.push_back(rt::FormatDate(p.start, "dd.MM.yyyy"));
  return out;
}

TEST(NewContractBillingPeriods, EachKindStepsFromThePreviousStart) {
  struct Case {
    const char* what;
    int32_t kind, months, period, renewal;
    rt::Date start, today;
    size_t count, firstTerm;
    std::vector<std::string> someStarts;  // the first ones, then the last
    rt::Date lastEnd;
  };
  const Case cases[] = {
      {"renewable, renewal periods before today", 1, 12, 1, 3, D(2024, 1, 15), D(2025, 5, 20), 14, 12,
       {"15.01.2024", "15.02.2024", "15.04.2025"}, D(2025, 7, 14)},
      {"renewable, today in the first term: future periods too", 1, 12, 1, 3, D(2024, 1, 15), D(2025, 1, 10), 12,
       12, {"15.01.2024", "15.02.2024", "15.12.2024"}, D(2025, 1, 14)},
      {"a renewal period starting today is not offered", 1, 12, 3, 3, D(2024, 1, 1), D(2025, 4, 1), 5, 4,
       {"01.01.2024", "01.04.2024", "01.01.2025"}, D(2025, 3, 31)},
      {"drift at the month's end", 1, 2, 1, 1, D(2023, 1, 31), D(2023, 1, 31), 3, 3,
       {"31.01.2023", "28.02.2023", "28.03.2023"}, D(2023, 4, 27)},
      {"drift over a year", 1, 12, 1, 1, D(2023, 3, 31), D(2023, 3, 31), 13, 13,
       {"31.03.2023", "30.04.2023", "29.03.2024"}, D(2024, 4, 28)},
      {"leap-year drift, the last start just before the end", 2, 4, 1, 0, D(2024, 1, 31), D(2000, 1, 1), 5, 5,
       {"31.01.2024", "29.02.2024", "29.05.2024"}, D(2024, 6, 28)},
      {"one-off, whatever today", 2, 12, 3, 0, D(2024, 3, 1), D(2030, 1, 1), 4, 4,
       {"01.03.2024", "01.06.2024", "01.12.2024"}, D(2025, 2, 28)},
      {"open-ended, today inside a period", 3, 0, 1, 0, D(2024, 1, 1), D(2024, 3, 15), 4, 4,
       {"01.01.2024", "01.02.2024", "01.04.2024"}, D(2024, 4, 30)},
      {"open-ended, today a period start", 3, 0, 1, 0, D(2024, 1, 1), D(2024, 3, 1), 3, 3,
       {"01.01.2024", "01.02.2024", "01.03.2024"}, D(2024, 3, 31)},
      {"open-ended, start in the future", 3, 0, 1, 0, D(2024, 6, 1), D(2024, 3, 1), 1, 1, {"01.06.2024"},
       D(2024, 6, 30)},
      {"any other kind is open-ended", 0, 12, 6, 0, D(2023, 1, 1), D(2024, 3, 1), 4, 4,
       {"01.01.2023", "01.07.2023", "01.07.2024"}, D(2024, 12, 31)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const kp::BillingPeriods list = kp::ListBillingPeriods(k.kind, k.start, k.months, k.period, k.renewal, k.today);
    ASSERT_EQ(list.periods.size(), k.count);
    EXPECT_EQ(list.firstTermCount, k.firstTerm);
    const std::vector<std::string> starts = Starts(list);
    for (size_t i = 0; i + 1 < k.someStarts.size(); ++i) EXPECT_EQ(starts[i], k.someStarts[i]) << i;
    EXPECT_EQ(starts.back(), k.someStarts.back());
    EXPECT_EQ(list.periods.back().end, k.lastEnd);
    // Within one run of steps the periods meet without gap or overlap.
    for (size_t i = 1; i < list.periods.size(); ++i) {
      if (i == list.firstTermCount) continue;
      EXPECT_EQ(rt::AddDays(list.periods[i - 1].end, 1), list.periods[i].start) << i;
    }
  }
}

TEST(NewContractBillingPeriods, ListEndAndTheTermBoundary) {
  const auto oneOff = kp::ListBillingPeriods(2, D(2024, 3, 1), 12, 3, 0, D(2024, 1, 1));
  EXPECT_EQ(oneOff.listEnd, D(2025, 2, 28));
  const auto open = kp::ListBillingPeriods(3, D(2024, 1, 1), 0, 1, 0, D(2024, 3, 15));
  EXPECT_EQ(open.listEnd, D(2024, 4, 30));
  const auto renewable = kp::ListBillingPeriods(1, D(2023, 1, 31), 2, 1, 1, D(2023, 6, 1));
  EXPECT_EQ(renewable.listEnd, std::nullopt);
  // The drifted third first-term period reaches into the first renewal
  // period, which starts the day after the first term.
  ASSERT_EQ(renewable.firstTermCount, 3u);
  EXPECT_EQ(renewable.periods[2].end, D(2023, 4, 27));
  EXPECT_EQ(renewable.periods[3].start, D(2023, 3, 31));
}

TEST(NewContractBillingPeriods, AStepBelowOneMonthListsNothing) {
  struct Case {
    int32_t kind, months, period, renewal;
    size_t count;
  };
  const Case cases[] = {
      {1, 12, 0, 1, 14},   // no first-term periods; renewal ones from 2025 up to today
      {1, 12, 3, 0, 4},    // first term only
      {1, 12, -3, -1, 0},  //
      {2, 12, 0, 0, 0},    //
      {3, 0, 0, 0, 0},     // the open-ended search ends at once
      {3, 0, -1, 0, 0},    //
  };
  for (const Case& k : cases) {
    const auto list = kp::ListBillingPeriods(k.kind, D(2024, 1, 1), k.months, k.period, k.renewal, D(2026, 3, 1));
    EXPECT_EQ(list.periods.size(), k.count) << k.kind << " " << k.period << " " << k.renewal;
  }
}

class NewContractPeriodList : public nctest::NewContractTest {};

TEST_F(NewContractPeriodList, TheDialogListsThePeriodsInTheDateFormat) {
  rt::SetToday(D(2025, 5, 20));
  AddType({{"Zahlungsperiode", 1}, {"VerlaengerungsZahlungsperiode", 3}});
  auto f = OpenDialog();
  user_.SetDate(f->DTPVertragBeginn, D(2024, 1, 15));
  auto entries = Entries(f->lstInvoices);
  ASSERT_EQ(entries.size(), 14u);
  EXPECT_EQ(entries[0], "15.01.2024 - 14.02.2024");
  EXPECT_EQ(entries[11], "15.12.2024 - 14.01.2025");
  EXPECT_EQ(entries[12], "15.01.2025 - 14.04.2025");
  EXPECT_EQ(entries[13], "15.04.2025 - 14.07.2025");
  EXPECT_EQ(NewContractPeer::dLastListedStart(*f), D(2025, 4, 15));

  // The format is read on every run; an empty one shows whole dates.
  host_->SetPersistVar("g_DateFormat", "yyyy-MM-dd");
  user_.SetDate(f->DTPVertragBeginn, D(2024, 1, 16));
  EXPECT_EQ(Entries(f->lstInvoices).at(0), "2024-01-16 - 2024-02-15");
  host_->SetPersistVar("g_DateFormat", "");
  user_.SetDate(f->DTPVertragBeginn, D(2024, 1, 15));
  EXPECT_EQ(Entries(f->lstInvoices).at(0), "15.01.2024 - 14.02.2024");
}

TEST_F(NewContractPeriodList, EveryRebuildUnticksTheBoxAndLeavesAnEmptiedConclusionDate) {
  AddType({{"Art", 2}, {"Zahlungsperiode", 3}});
  auto f = OpenDialog();
  EXPECT_EQ(NewContractPeer::dListEnd(*f), D(2025, 3, 14));
  user_.Tick(f->chkOldContract);
  user_.Select(f->lstInvoices, 3);
  user_.SetDate(f->DTPGeschlossenAm, std::nullopt);
  user_.SetDate(f->DTPVertragBeginn, D(2024, 3, 1));
  EXPECT_EQ(f->chkOldContract.Value(), 0);
  EXPECT_EQ(f->lstInvoices.ListIndex(), -1);
  EXPECT_FALSE(f->lstInvoices.Visible());
  EXPECT_EQ(f->DTPGeschlossenAm.Value(), std::nullopt);
  EXPECT_EQ(Entries(f->lstInvoices).back(), "01.12.2024 - 28.02.2025");
  EXPECT_EQ(NewContractPeer::dListEnd(*f), D(2025, 2, 28));
  EXPECT_EQ(NewContractPeer::dLastListedStart(*f), D(2024, 12, 1));
}

TEST_F(NewContractPeriodList, AZeroPeriodListsNothingAndKeepsTheLastStart) {
  AddType({{"Bezeichnung", "A"}});
  AddType({{"Bezeichnung", "B"}, {"Art", 3}, {"Zahlungsperiode", 0}});
  auto f = OpenDialog();
  const rt::Date last = NewContractPeer::dLastListedStart(*f);
  user_.ClickItem(f->lvwBezeichnung, 2);
  EXPECT_EQ(f->lstInvoices.ListCount(), 0);
  EXPECT_EQ(NewContractPeer::dLastListedStart(*f), last);
}

}  // namespace
