#include "core/contract_reminders.h"

#include "core/contract_dates.h"
#include "core/globals.h"
#include "core/mod_kt.h"

namespace kp {

namespace {

constexpr int32_t kRenewable = 1;
constexpr int32_t kOneOff = 2;
// The open reminder lies this many days after today.
constexpr double kOpenReminderDays = 2;

}  // namespace

void CreateNewContractReminders(int32_t kind, rt::Date notice, rt::Date end, int32_t noticeLeadWeeks,
                                int32_t endLeadWeeks, bool concluded, const std::string& user) {
  // The helpers add 09:00 to the reminder date they are given: each gets a
  // copy of its own.
  if (kind == kRenewable && gCreateAppointment4AllContracts) {
    rt::Date alarm = WeeksBefore(notice, noticeLeadWeeks);
    modKT::CreateCancellationAlarm("", alarm, notice, user, kRenewable);
  }
  if (kind == kOneOff) {
    rt::Date alarm = WeeksBefore(end, endLeadWeeks);
    modKT::CreateCancellationAlarm("", alarm, end, user, kOneOff);
  }
  if (!concluded) CreateOpenReminder(user);
}

void CreateOpenReminder(const std::string& user) {
  rt::Date alarm = rt::AddDays(rt::Today(), kOpenReminderDays);
  modKT::CreateOpenAlarm("", alarm, user);
}

}  // namespace kp
