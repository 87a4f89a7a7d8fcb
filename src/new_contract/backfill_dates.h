// The dates of a contract entered after some of its periods were already
// invoiced: which contract states it gets, with which terms and next
// invoices, how the contract record is completed, and where the notice
// reminder and the address attribute's validity lie.
//
// Pure functions of the contract's terms, the selected list position, the
// start of that position's period and today: no host, no dialog. The save
// from a stored type walks these results and makes the host calls in their
// order; the save from a type adjusted in memory can walk them too.
//
// Dates are whole days. "+ n months" is rt::AddMonths (the day cut to the
// end of a shorter month); periods are stepped one at a time from the
// previous result, never as the start plus a multiple, exactly as the list
// of invoiced periods is built, so a start on the 29th to 31st drifts to an
// earlier day and stays there. A term runs from its start to its start plus
// its length in one step, minus one day. rt::kMaxDate (31.12.9999, text
// "99991231") means "no further invoice".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/date.h"
#include "platform/error.h"

namespace backfill {

// A notice period of a contract type: `count` weeks when `unit` is exactly
// "Wochen" (letter case counts), `count` months for any other unit text
// (kp::NoticeDate).
struct NoticePeriod {
  int32_t count = 0;
  std::string unit;
};

// The terms of the selected contract type, as the dialog holds them.
struct Terms {
  int32_t lArt = 0;           // 1 renewable, 2 one-off, 3 open-ended
  rt::Date start;             // S, the contract start
  int32_t lDauer = 0;         // first term, months
  int32_t lZahlungsperiode = 0;                // ZP, months
  int32_t lVerlaengerungsdauer = 0;            // VD, months
  int32_t lVerlaengerungsZahlungsperiode = 0;  // VZP, months
  int32_t lRechnungWann = 0;  // 0 in advance, any other value in arrears
  NoticePeriod notice;        // of the first term
  NoticePeriod renewalNotice; // of every renewal term
};

// False when a period the paths step by is below one month: the payment
// period for every kind, and for a renewable type also the renewal term and
// the renewal payment period. Stepping by such a period never ends, so the
// save refuses the type before it writes anything.
bool PeriodsAreValid(const Terms& terms);

// --- One-off and open-ended contracts ---------------------------------------

// The single state of a one-off or open-ended contract covers its whole term.
struct SingleTermPlan {
  rt::Date end;          // VertragEnde and LaufzeitEnde; rt::kNoDate when open-ended
  rt::Date nextInvoice;  // AktNaechsteRechnung and NaechsteRechnung
};

// One-off: end = S + Dauer months - 1 day. The next period starts k + 1
// payment periods after S (each step from the previous result). Strictly
// after the end: no further invoice (rt::kMaxDate). Otherwise that start in
// advance, one payment period later in arrears (then not compared with the
// end again). A date beyond 31.12.9999 raises 5.
SingleTermPlan PlanOneOff(const Terms& terms, int16_t k);

// Open-ended: no end (rt::kNoDate). The next invoice as for a one-off
// contract without the comparison with an end.
SingleTermPlan PlanOpenEnded(const Terms& terms, int16_t k);

// --- Renewable contracts ----------------------------------------------------

// What the renewable path needs besides the terms. The selected list
// position k enters as the start of its period.
struct Selection {
  rt::Date lastInvoicedStart;  // L: the start of list entry k
  rt::Date lastListedStart;    // the start of the list's last entry
  rt::Date today;
};

struct RenewableOptions {
  bool firstTermOnly = false;   // the discount applies to the first term only
  bool noticeReminder = false;  // create the notice reminder at the end
  int32_t leadWeeks = 6;        // the reminder lies this many weeks before the notice date
  // The save from a type adjusted in memory differs from the save from a
  // stored type in three places only:
  //  - a final certain term gets its notice reminder even without
  //    noticeReminder;
  //  - at a closing update after renewal terms, the address attribute runs
  //    to the end of the last term written instead of the first term's end;
  //  - dates before the writes they precede: in case B the notice date of
  //    the first-term state and of an invoiced term before that state's
  //    positions, and before every update of the contract the reminder day
  //    of its notice date, reminded or not. A date outside the calendar then
  //    ends the steps before that write; without the switch the notice date
  //    follows the positions and the reminder day is worked out only for
  //    the reminder.
  bool finalTermReminder = false;
  bool validToLastTerm = false;
  bool datesBeforeWrites = false;
};

// Where an amount written to the contract comes from. The discounted
// NettoSumme is the type's NettoSumme at the percent entered for the
// contract; a state's sum is the total of that state's positions.
struct ValueSource {
  enum Kind { kDiscountedNettoSumme, kStateSum, kZero };
  Kind kind = kDiscountedNettoSumme;
  int32_t state = 0;  // kStateSum: the state's ordinal among the plan's states, from 0

  friend bool operator==(const ValueSource&, const ValueSource&) = default;
};

// One kt_Vertragsstaende record with its positions.
struct PlannedState {
  bool renewal = false;       // LaufTyp "2" and renewal pricing; else "1" and first-term pricing
  rt::Date start;             // LaufzeitStart
  rt::Date end;               // LaufzeitEnde
  int32_t zahlungsperiode = 0;
  rt::Date nextInvoice;       // NaechsteRechnung
  bool undiscounted = false;  // Rabattprozent 0 (the discount is for the first term only)
  // Value at the insert: the type's NettoSumme discounted at this state's
  // percent; when false the insert leaves Value out.
  bool insertWithValue = true;
  // After the positions, Value becomes their sum (Update on the same record).
  bool valueFromSum = false;
  // False when the steps fail between the state and its positions (the
  // Failure follows): the state is written alone, with its insert's Value.
  bool positions = true;
};

// Puts on the contract record, then its Update. KuendfristDatum and
// VertragEnde always; the current values only when `current` is set.
struct ContractUpdate {
  struct Current {
    int32_t zahlungsperiode = 0;  // AktZahlungsperiode and its text
    ValueSource value;            // AktValue
    rt::Date nextInvoice;         // AktNaechsteRechnung and its text
  };
  rt::Date kuendfristDatum;
  rt::Date vertragEnde;
  std::optional<Current> current;
};

// The date arithmetic failed here (a date beyond 31.12.9999). The records
// of the steps before stay written; `afterCount` says whether the state
// count was already raised for a state that was then not written.
struct Failure {
  rt::Error error;
  bool afterCount = false;
};

using Step = std::variant<PlannedState, ContractUpdate, Failure>;

struct NoticeReminder {
  rt::Date day;  // R: the notice date less the lead weeks
  rt::Date due;  // KD: the notice date
};

struct RenewablePlan {
  rt::Date firstTermEnd;  // E1 = S + Dauer months - 1 day
  bool caseA = false;     // invoicing continues inside the first term
  // What the path writes after the contract record and the open-conclusion
  // reminder, in order. Ends with a Failure when the arithmetic failed.
  std::vector<Step> steps;
  std::optional<NoticeReminder> reminder;  // the last write of the path
  rt::Date validFrom;    // the address attribute's validity
  rt::Date validTo;
  rt::Date lastTermEnd;  // the end of the last term written
  int32_t stateCount = 0;  // states begun: the dialog's lVsCount at the end
};

// The renewable path:
//   case A (L + ZP < E1): the first-term state with its next invoice after L,
//     the contract's update to the first term; when today is after the first
//     notice date, one renewal state and the contract's end moved to it;
//   case B (otherwise): the first-term state with no further invoice, then a
//     walk over the renewal terms: a term that is certain and not invoiced in
//     full ends the walk as the contract's term (final certain term); a term
//     reached by the invoicing is written and the walk goes on (invoiced
//     term); otherwise the contract stays in the last term written (closing
//     update).
// The notice reminder is planned only when options.noticeReminder is set
// (or, for a final certain term, options.finalTermReminder).
// The periods must be valid (PeriodsAreValid), else raises 5; a failure of
// E1 itself raises (nothing is written then), every later one ends the
// steps with a Failure.
RenewablePlan PlanRenewable(const Terms& terms, const Selection& selection,
                            const RenewableOptions& options);

}  // namespace backfill
