// The reminders of a new contract and the attribute step that ends every
// save: the address attribute the type sets, through the host macro or
// written directly.
#include <string>
#include <vector>

#include "core/contract_reminders.h"
#include "core/contract_writing.h"
#include "core/globals.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/error.h"
#include "platform/ui/service.h"

void frmNewContract::CreateReminders(const ContractDates& dates) {
  kp::CreateNewContractReminders(lArt, dates.notice, dates.end, gAlarmWochenKuendigung, gAlarmWochenEnde,
                                 DTPGeschlossenAm.Value().has_value(), cboVerantwortlich.Text(), dates.reminderDay);
}

void frmNewContract::SetAddressAttribute(rt::Date validFrom, rt::Date validTo) {
  if (save_.attribute.empty()) return;

  if (chkWorkflow.Value() == new_contract::kTicked) {
    // The macro is the host user's: a level that is missing, a failure
    // while asking for it or an error it raises leaves the attribute to it
    // and the save succeeds all the same.
    rt::ErrorState ignored;
    std::shared_ptr<host::HostMacros> macros;
    std::shared_ptr<host::HostMacroProject> project;
    std::shared_ptr<host::HostMacroModule> module;
    std::shared_ptr<host::HostProcedure> procedure;
    ignored.Step([&] { macros = rt::Need(gApp)->Macros(); });
    if (macros) ignored.Step([&] { project = macros->Projects("Project"); });
    if (project) ignored.Step([&] { module = project->ProjectItems("kt_Macros"); });
    if (module) ignored.Step([&] { procedure = module->Procedures("kt_CreateAttribute"); });
    if (procedure) {
      ignored.Step([&] {
        std::vector<rt::Variant> args{
            save_.group,
            save_.attribute,
            save_.value,
            txtVertragnummer.Text() + " / " + lvwBezeichnung.SelectedItem().Text(),
            validFrom,
            validTo,
            save_.workflowUser,
            save_.presetUsers,
        };
        procedure->Run(args);  // what it changes is not read back
      });
    }
    ui::DoEvents();
    return;
  }

  kp::AddressAttribute a;
  a.Gruppe = save_.group;
  a.Merkmal = save_.attribute;
  a.Wert = save_.value;
  a.GueltigVom = validFrom;
  a.GueltigBis = validTo;
  a.Beschreibung = txtVertragnummer.Text() + " / " + save_.describedAs;
  kp::InsertAddressAttribute(oAdressmerkmale, a);
}
