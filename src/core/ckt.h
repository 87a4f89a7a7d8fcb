// CKT: the entry class of the add-on, the only class a host creates to have
// work done. Its five public methods:
//
//   EditContractDefinition  the contract-type editor, for a new type or the
//                           host's current one
//   NewContract             the new-contract dialog for the host's current
//                           address; reports whether a contract was saved
//   NewContract2            the same, but a no-op while a dialog is held
//   DLLVersion              the version text
//   NewContractDebitor      a contract created without any dialog from the
//                           caller's contract data and article lines
//
// Every working method first makes oApp and its database the process-wide
// gApp and gDB and refreshes gVersion. Errors up to that point reach the
// caller; from there on the method traps its errors, shows them through
// the process-wide reporter (title "Fehler in CKT.<method>") and ends
// normally, leaving the out parameters as they were last stored.
// NewContractDebitor traps only the copying of the contract data: errors of
// the creation itself reach the caller.
//
// The process-wide reporter gAddonError exists while at least one CKT
// object lives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/application.h"
#include "platform/object.h"

namespace kp {
class NewContractDialog;
}

class CKT : public rt::Object {
 public:
  // Creates the process-wide reporter (a new CAddonError); raises when the
  // host's error-text class cannot be created.
  CKT();
  // The last CKT object to end releases the reporter. A held dialog is
  // released with the object.
  ~CKT() override;
  CKT(const CKT&) = delete;
  CKT& operator=(const CKT&) = delete;

  // Runs the contract-type editor: InitNew when pbNew, else InitEdit, and a
  // modal display only when that reported true. Also reads the database
  // setting "CreateAppointment4AllContracts" (stored as "false" when
  // missing) into gCreateAppointment4AllContracts; a text that is neither
  // "true"/"false" nor a number raises 13 to the caller.
  void EditContractDefinition(std::shared_ptr<host::HostApplication>& oApp, bool& pbNew);

  // With no dialog held: pbOK = false and plVsCount = 0, then a new dialog
  // is held and initialised; only when that succeeded it is shown and its
  // bOK, lVsCount and bShowDef are copied into pbOK, plVsCount and
  // pbShowDef, in that order. The dialog stays held when pbShowDef is then
  // true (when initialising failed, the caller's own value decides) and is
  // released otherwise; the same holds when an error was trapped, so a
  // dialog that failed on its way is not shown again by the next call.
  // With a dialog held: nothing is refreshed or cleared and nothing is
  // trapped; the dialog's bShowDef is set false, the dialog is shown again,
  // the three values are copied, and it is released unless pbShowDef is
  // true.
  void NewContract(std::shared_ptr<host::HostApplication>& oApp, bool& pbOK, int32_t& plVsCount,
                   bool& pbShowDef);

  // NewContract without a held dialog; with one it returns at once and
  // changes nothing.
  void NewContract2(std::shared_ptr<host::HostApplication>& oApp, bool& pbOK, int32_t& plVsCount,
                    bool& pbShowDef);

  // The version text; sets no process-wide value.
  std::string DLLVersion();

  // Copies the sixteen contract properties of oContract (any object, read
  // by name) into a new gContractD, keeps colArt itself as gColArt and runs
  // the programmatic creation, whose errors reach the caller unchanged. A
  // failed copy is shown through the reporter and the creation does not
  // run.
  void NewContractDebitor(std::shared_ptr<host::HostApplication>& oApp, const rt::ObjectPtr& oContract,
                          const std::shared_ptr<rt::Collection>& colArt);

  // Not for hosts: a new gDefinition filled by name from `source`; errors
  // are shown through the reporter.
  void CopyDefToClass(const rt::ObjectPtr& source);
  // Not for hosts: a new gPositions with one kt_CPosition per item of
  // `source`, filled by name (all but Gruppierung); errors reach the caller.
  void CopyPosToClass(const std::shared_ptr<rt::Collection>& source);

 private:
  void CommonStart(std::shared_ptr<host::HostApplication>& oApp, bool readAppointmentSetting);
  void RunNewContractDialog(std::shared_ptr<host::HostApplication>& oApp, bool& pbOK, int32_t& plVsCount,
                            bool& pbShowDef, const char* procedure);

  // The held new-contract dialog, or null. Shared so that a call showing it
  // keeps it alive even when a nested call releases the member.
  std::shared_ptr<kp::NewContractDialog> dialog_;
};
