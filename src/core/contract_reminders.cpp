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

std::optional<rt::Date> ReminderDay(int32_t kind, rt::Date notice, rt::Date end, int32_t noticeLeadWeeks,
                                    int32_t endLeadWeeks) {
  if (kind == kRenewable) return WeeksBefore(notice, noticeLeadWeeks);
  if (kind == kOneOff) return WeeksBefore(end, endLeadWeeks);
  return std::nullopt;
}

void CreateNewContractReminders(int32_t kind, rt::Date notice, rt::Date end, int32_t noticeLeadWeeks,
                                int32_t endLeadWeeks, bool concluded, const std::string& user,
                                std::optional<rt::Date> day) {
  // The helpers add 09:00 to the reminder date they are given: each gets a
  // copy of its own.
  const auto reminderDay = [&] { return day ? *day : *ReminderDay(kind, notice, end, noticeLeadWeeks, endLeadWeeks); };
  if (kind == kRenewable && gCreateAppointment4AllContracts) {
    rt::Date alarm = reminderDay();
    modKT::CreateCancellationAlarm("", alarm, notice, user, kRenewable);
  }
  if (kind == kOneOff) {
    rt::Date alarm = reminderDay();
    modKT::CreateCancellationAlarm("", alarm, end, user, kOneOff);
  }
  if (!concluded) CreateOpenReminder(user);
}

void CreateOpenReminder(const std::string& user) {
  rt::Date alarm = rt::AddDays(rt::Today(), kOpenReminderDays);
  modKT::CreateOpenAlarm("", alarm, user);
}

}  // namespace kp
