// The list of billing periods the user may mark as already invoiced.
#include <string>

#include "core/billing_periods.h"
#include "core/mod_kt.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/format.h"

namespace {

constexpr const char* kDefaultDateFormat = "dd.MM.yyyy";

}  // namespace

void frmNewContract::DTPVertragBeginn_Change() {
  // The conclusion date follows the start, unless it was emptied.
  if (DTPGeschlossenAm.Value().has_value()) DTPGeschlossenAm.SetValue(DTPVertragBeginn.Value());
  if (sTyp == new_contract::kPayable || !bInitialized) return;

  std::string format = modKT::ReadPersistVarSetting("g_DateFormat", kDefaultDateFormat);
  // After a failed read the setting gives "": a whole date, as usual.
  if (format.empty()) format = kDefaultDateFormat;
  const rt::Date start = rt::CDate(DTPVertragBeginn.ValueVariant());

  lstInvoices.Clear();
  const kp::BillingPeriods list = kp::ListBillingPeriods(lArt, start, lDauer, lZahlungsperiode,
                                                         lVerlaengerungsZahlungsperiode, rt::Today());
  for (const kp::BillingPeriod& p : list.periods) {
    dLastListedStart = p.start;
    lstInvoices.AddItem(rt::FormatDate(p.start, format) + " - " + rt::FormatDate(p.end, format));
  }
  if (list.listEnd) dListEnd = *list.listEnd;
  chkOldContract.SetValue(ui::CheckBox::Unchecked);
}
