#include "new_contract/backfill_dates.h"

#include <variant>

#include "core/contract_dates.h"
#include "platform/number.h"

namespace backfill {

namespace {

rt::Date PlusMonths(rt::Date d, int32_t months) { return rt::AddMonths(d, months); }
rt::Date PlusDays(rt::Date d, int32_t days) { return rt::AddDays(d, days); }

using kp::TermEnd;

rt::Date NoticeDate(rt::Date termEnd, const NoticePeriod& notice) {
  return kp::NoticeDate(termEnd, notice.count, notice.unit);
}

// The start of the period k + 1 periods after `start`, stepped one period at
// a time with the 16-bit counter of the list position.
rt::Date StepPeriods(rt::Date start, int32_t months, int16_t k) {
  rt::Date x = start;
  rt::For16(0, k, [&](int16_t) { x = PlusMonths(x, months); });
  return x;
}

// Builds the renewable plan step by step, so that a failure of the date
// arithmetic leaves the steps planned before it.
class RenewableWalk {
 public:
  RenewableWalk(const Terms& t, const Selection& s, const RenewableOptions& o) : t_(t), s_(s), o_(o) {}

  RenewablePlan Run() {
    const rt::Date S = t_.start;
    const rt::Date E1 = TermEnd(S, t_.lDauer);  // raises before anything is written
    plan_.firstTermEnd = E1;
    plan_.validFrom = S;
    plan_.validTo = E1;
    plan_.lastTermEnd = E1;
    try {
      plan_.caseA = PlusMonths(L(), t_.lZahlungsperiode) < E1;
      if (plan_.caseA) {
        CaseA();
      } else {
        CaseB();
      }
    } catch (const rt::Error& e) {
      plan_.steps.emplace_back(Failure{e, countRaised_});
      plan_.reminder.reset();
    }
    return std::move(plan_);
  }

 private:
  rt::Date L() const { return s_.lastInvoicedStart; }
  rt::Date E1() const { return plan_.firstTermEnd; }
  int32_t ZP() const { return t_.lZahlungsperiode; }
  int32_t VZP() const { return t_.lVerlaengerungsZahlungsperiode; }
  int32_t VD() const { return t_.lVerlaengerungsdauer; }

  // Raises the state count; the state's own dates are worked out after it,
  // so a failure there counts a state that is not written.
  void BeginState() {
    ++plan_.stateCount;
    countRaised_ = true;
  }
  int32_t AddState(const PlannedState& state) {
    plan_.steps.emplace_back(state);
    countRaised_ = false;
    return stateOrdinal_++;
  }
  void Update(rt::Date kd, rt::Date end, std::optional<ContractUpdate::Current> current) {
    if (o_.datesBeforeWrites) kp::WeeksBefore(kd, o_.leadWeeks);  // the reminder day, used or not
    plan_.steps.emplace_back(ContractUpdate{kd, end, current});
    plan_.lastTermEnd = end;
  }
  void Remind(rt::Date kd, bool always = false) {
    if (o_.noticeReminder || always) plan_.reminder = NoticeReminder{kp::WeeksBefore(kd, o_.leadWeeks), kd};
  }
  // The notice date of a term whose state was planned last, in case B.
  // Worked out before that state's positions when the dates precede the
  // writes: a failure then leaves the state without them.
  rt::Date NoticeOfStatePlanned(rt::Date termEnd, const NoticePeriod& notice) {
    try {
      return NoticeDate(termEnd, notice);
    } catch (const rt::Error&) {
      if (o_.datesBeforeWrites) std::get<PlannedState>(plan_.steps.back()).positions = false;
      throw;
    }
  }
  // The invoicing-time rule of a renewal term: in arrears one payment period
  // of the first term later (kept as the host's renewal expects it).
  rt::Date InvoiceAt(rt::Date periodStart) const {
    return t_.lRechnungWann == 0 ? periodStart : PlusMonths(periodStart, ZP());
  }
  PlannedState RenewalState(rt::Date ts, rt::Date te, rt::Date next, bool insertWithValue) const {
    return PlannedState{true, ts, te, VZP(), next, o_.firstTermOnly, insertWithValue, true};
  }

  void CaseA() {
    BeginState();
    rt::Date next = PlusMonths(L(), ZP());
    if (t_.lRechnungWann != 0) next = PlusMonths(next, ZP());
    AddState(PlannedState{false, t_.start, E1(), ZP(), next, false, true, false});
    rt::Date kd = NoticeDate(E1(), t_.notice);
    Update(kd, E1(), ContractUpdate::Current{ZP(), {}, next});
    if (s_.today > kd) {
      const rt::Date ts = PlusDays(E1(), 1);
      const rt::Date te = TermEnd(ts, VD());
      BeginState();
      AddState(RenewalState(ts, te, InvoiceAt(ts), false));
      kd = NoticeDate(te, t_.renewalNotice);
      Update(kd, te, std::nullopt);
      plan_.validTo = te;
    }
    Remind(kd);
  }

  void CaseB() {
    BeginState();
    AddState(PlannedState{false, t_.start, E1(), ZP(), rt::kMaxDate, false, true, false});
    ValueSource v{};  // the discounted NettoSumme
    rt::Date p = rt::kMaxDate;
    rt::Date kd = NoticeOfStatePlanned(E1(), t_.notice);
    rt::Date ts = PlusDays(E1(), 1);
    rt::Date te = TermEnd(ts, VD());
    // Each pass moves the term on by VD >= 1 month while L + VD >= TE holds,
    // so the walk ends within (L - E1) / VD + 2 passes.
    for (;;) {
      if (L() < te && s_.lastListedStart < te && s_.today > kd) {
        FinalTerm(ts, te, v, p);
        return;
      }
      if (PlusMonths(L(), VD()) < te) {
        ClosingUpdate(ts, v, p);
        return;
      }
      InvoicedTerm(ts, te, v, p);
      kd = NoticeOfStatePlanned(te, t_.renewalNotice);
      ts = PlusDays(te, 1);
      te = TermEnd(ts, VD());
    }
  }

  // The term that is certain (today is after the previous notice date) and
  // not invoiced in full: it becomes the contract's term.
  void FinalTerm(rt::Date ts, rt::Date te, ValueSource v, rt::Date& p) {
    BeginState();
    rt::Date next;
    if (L() >= ts) {
      const rt::Date b = PlusMonths(L(), VZP());
      if (b <= te) {
        next = InvoiceAt(b);
      } else {  // its last period was invoiced
        next = rt::kMaxDate;
        p = rt::kMaxDate;
      }
    } else {
      next = InvoiceAt(ts);
    }
    const int32_t ordinal = AddState(RenewalState(ts, te, next, true));
    const rt::Date kd = NoticeDate(te, t_.renewalNotice);
    // An earlier invoiced term that fixed the next invoice keeps it and its value.
    const bool pending = p == rt::kMaxDate;
    Update(kd, te,
           ContractUpdate::Current{VZP(), pending ? ValueSource{ValueSource::kStateSum, ordinal} : v,
                                   pending ? next : p});
    plan_.validTo = te;
    Remind(kd, o_.finalTermReminder);
  }

  // A term the invoicing has reached: its next invoice is the start of its
  // first period not yet invoiced, whatever the invoicing time.
  void InvoicedTerm(rt::Date ts, rt::Date te, ValueSource& v, rt::Date& p) {
    BeginState();
    rt::Date next;
    if (L() < ts) {
      next = ts;
      if (p == rt::kMaxDate) p = ts;
    } else if (L() > te || PlusMonths(L(), VZP()) > te) {
      next = rt::kMaxDate;
      p = rt::kMaxDate;
    } else {
      next = PlusMonths(L(), VZP());
      p = next;
    }
    const int32_t ordinal = AddState(RenewalState(ts, te, next, true));
    if (L() < ts) {
      // v unchanged
    } else if (L() > te) {
      v = ValueSource{ValueSource::kZero, 0};
    } else {
      v = ValueSource{ValueSource::kStateSum, ordinal};
    }
  }

  // The contract stays in the last term written; `ts` is the day after it.
  void ClosingUpdate(rt::Date ts, ValueSource v, rt::Date p) {
    rt::Date kd;
    if (plan_.stateCount == 1) {
      kd = NoticeDate(E1(), t_.notice);
      Update(kd, E1(), ContractUpdate::Current{ZP(), v, p});
    } else {
      const rt::Date end = PlusDays(ts, -1);
      kd = NoticeDate(end, t_.renewalNotice);
      Update(kd, end, ContractUpdate::Current{VZP(), v, p});
      if (o_.validToLastTerm) plan_.validTo = end;
    }
    Remind(kd);
  }

  const Terms& t_;
  const Selection& s_;
  const RenewableOptions& o_;
  RenewablePlan plan_;
  int32_t stateOrdinal_ = 0;
  bool countRaised_ = false;
};

}  // namespace

bool PeriodsAreValid(const Terms& terms) {
  if (terms.lZahlungsperiode < 1) return false;
  if (terms.lArt != 1) return true;
  return terms.lVerlaengerungsdauer >= 1 && terms.lVerlaengerungsZahlungsperiode >= 1;
}

SingleTermPlan PlanOneOff(const Terms& terms, int16_t k) {
  if (!PeriodsAreValid(terms)) rt::RaiseRuntime(rt::errc::InvalidCall);
  const rt::Date end = TermEnd(terms.start, terms.lDauer);
  const rt::Date x = StepPeriods(terms.start, terms.lZahlungsperiode, k);
  if (x > end) return {end, rt::kMaxDate};
  return {end, terms.lRechnungWann == 0 ? x : PlusMonths(x, terms.lZahlungsperiode)};
}

SingleTermPlan PlanOpenEnded(const Terms& terms, int16_t k) {
  if (!PeriodsAreValid(terms)) rt::RaiseRuntime(rt::errc::InvalidCall);
  const rt::Date x = StepPeriods(terms.start, terms.lZahlungsperiode, k);
  return {rt::kNoDate, terms.lRechnungWann == 0 ? x : PlusMonths(x, terms.lZahlungsperiode)};
}

RenewablePlan PlanRenewable(const Terms& terms, const Selection& selection,
                            const RenewableOptions& options) {
  if (!PeriodsAreValid(terms)) rt::RaiseRuntime(rt::errc::InvalidCall);
  return RenewableWalk(terms, selection, options).Run();
}

}  // namespace backfill
