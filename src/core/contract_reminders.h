// The reminder appointments of a newly written contract.
#pragma once

#include <cstdint>
#include <string>

#include "platform/date.h"

namespace kp {

// Creates the reminders of the contract just inserted (the current record
// of kt_Vertraege), in this order:
//   kind 1 while gCreateAppointment4AllContracts is set: a notice reminder
//     `noticeLeadWeeks` weeks before `notice`, due on `notice`;
//   kind 2: an end reminder `endLeadWeeks` weeks before `end`, due on `end`;
//   not `concluded`: an open reminder two days after today.
// Any other kind gets at most the open reminder. Each reminder's id
// replaces the contract's AlarmOID, so the last one wins. The modKT helpers
// report their own failures and the next reminder is still tried; a
// reminder date outside the calendar raises 5 to the caller.
void CreateNewContractReminders(int32_t kind, rt::Date notice, rt::Date end, int32_t noticeLeadWeeks,
                                int32_t endLeadWeeks, bool concluded, const std::string& user);

// The open reminder alone ("not concluded yet", two days after today), for
// the paths that create the other reminders later.
void CreateOpenReminder(const std::string& user);

}  // namespace kp
