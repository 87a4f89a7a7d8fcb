// The reminder appointments of a newly written contract.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/date.h"

namespace kp {

// The day of the reminder a new contract of `kind` gets besides the open
// one: kind 1 the notice reminder, `noticeLeadWeeks` weeks before `notice`;
// kind 2 the end reminder, `endLeadWeeks` weeks before `end`; none for any
// other kind. A day outside the calendar raises 5.
std::optional<rt::Date> ReminderDay(int32_t kind, rt::Date notice, rt::Date end, int32_t noticeLeadWeeks,
                                    int32_t endLeadWeeks);

// Creates the reminders of the contract just inserted (the current record
// of kt_Vertraege), in this order:
//   kind 1 while gCreateAppointment4AllContracts is set: a notice reminder
//     on the ReminderDay, due on `notice`;
//   kind 2: an end reminder on the ReminderDay, due on `end`;
//   not `concluded`: an open reminder two days after today.
// `day` is the ReminderDay when the caller worked it out before it wrote
// the contract; without it the day is worked out here, only for a reminder
// that is created, and a day outside the calendar raises 5 to the caller.
// Any other kind gets at most the open reminder. Each reminder's id
// replaces the contract's AlarmOID, so the last one wins. The modKT helpers
// report their own failures and the next reminder is still tried.
void CreateNewContractReminders(int32_t kind, rt::Date notice, rt::Date end, int32_t noticeLeadWeeks,
                                int32_t endLeadWeeks, bool concluded, const std::string& user,
                                std::optional<rt::Date> day = std::nullopt);

// The open reminder alone ("not concluded yet", two days after today), for
// the paths that create the other reminders later.
void CreateOpenReminder(const std::string& user);

}  // namespace kp
