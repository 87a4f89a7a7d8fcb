#include "core/ckt.h"

#include <string>

#include "core/addon_error.h"
#include "core/config.h"
#include "core/globals.h"
#include "core/mod_global_defs.h"
#include "core/records.h"
#include "core/subsystems.h"
#include "platform/error.h"

namespace {

// Error-source name of this class.
constexpr const char* kErrSource = "CKT";

std::string SourceOf(const char* procedure) { return std::string(kErrSource) + procedure; }

// The live CKT objects. The reporter goes when the last of them ends, not
// with the first: every other object's traps still need it.
int gLiveCKT = 0;

// The properties copied by name, each list in the order of copying.
constexpr const char* kContractProperties[] = {
    "lVertragArt",         "VertragBeginn",        "VertragGeschlossenAm",
    "Bezeichnung",         "Dauer",                "Zahlungsperiode",
    "Verlaengerungsdauer", "VerlaengerungsZahlungsperiode", "dblRabatt",
    "KuendFristInWochen",  "Memo",                 "RabattNurErsteLaufzeit",
    "SetztMerkmalGruppe",  "SetztMerkmal",         "SetztWert",
    "Auftragsnummer"};

constexpr const char* kDefinitionProperties[] = {
    "NoBooking",          "Typ",
    "Bezeichnung",        "Art",
    "ArtStr",             "Dauer",
    "Verlaengerungsdauer", "Kuendigungsfrist",
    "KuendigungsfristEinh", "KuendigungsfristBezug",
    "VerlKuendigungsfrist", "VerlKuendigungsfristEinh",
    "Zahlungsperiode",    "VerlaengerungsZahlungsperiode",
    "RechnungWann",       "ErfordertMerkmalGruppe",
    "ErfordertMerkmal",   "ErfordertWert",
    "SetztMerkmalGruppe", "SetztMerkmal",
    "SetztWert",          "NettoSumme",
    "VerlaengerungsWorkflowID", "Dirty",
    "DefOid"};

// All of kt_CPosition but Gruppierung.
constexpr const char* kPositionProperties[] = {
    "Artikel",  "Nettopreis", "Artikelnummer", "Artikelart", "Einheit", "UStSatz", "Beschreibung",
    "Anzahl",   "Erloeskonto", "ArtikelID",    "PreisM1",    "PreisM3", "PreisM6", "PreisM12",
    "PreisM24", "PreisM36",   "PreisM48",      "PreisM60",   "Preis",   "NettoOhneRabatt"};

// Copies the named properties of `from` (read by name) into `to`, one after
// the other; the first failure ends the copy.
template <size_t N>
void CopyByName(const rt::Variant& from, rt::Object& to, const char* const (&names)[N]) {
  for (const char* name : names) to.Put(name, rt::GetProperty(from, name));
}

}  // namespace

CKT::CKT() {
  gAddonError = std::make_shared<CAddonError>();
  ++gLiveCKT;
}

CKT::~CKT() {
  dialog_.reset();
  if (--gLiveCKT == 0) gAddonError.reset();
}

void CKT::CommonStart(std::shared_ptr<host::HostApplication>& oApp, bool readAppointmentSetting) {
  gApp = oApp;
  if (!gApp) rt::RaiseRuntime(rt::errc::ObjectNotSet);
  gDB = gApp->Database();
  if (readAppointmentSetting) {
    CConfig config;
    std::string text = config.ReadDatabaseSetting("CreateAppointment4AllContracts", "false");
    gCreateAppointment4AllContracts = rt::CBool(rt::Variant(text));
  }
  gVersion = modGlobalDefs::GetVersionString();
}

void CKT::EditContractDefinition(std::shared_ptr<host::HostApplication>& oApp, bool& pbNew) {
  CommonStart(oApp, true);
  try {
    std::unique_ptr<kp::ContractTypeEditor> editor = kp::CreateContractTypeEditor();
    const bool ready = pbNew ? editor->InitNew() : editor->InitEdit();
    if (ready) editor->ShowModal();
  } catch (...) {
    ReportError(SourceOf(".EditContractDefinition"), rt::CurrentError());
  }
}

void CKT::NewContract(std::shared_ptr<host::HostApplication>& oApp, bool& pbOK, int32_t& plVsCount,
                      bool& pbShowDef) {
  if (!dialog_) {
    RunNewContractDialog(oApp, pbOK, plVsCount, pbShowDef, ".NewContract");
    return;
  }
  // The dialog held from the last call is shown again as the user left it;
  // errors here are not trapped.
  std::shared_ptr<kp::NewContractDialog> dialog = dialog_;
  dialog->SetbShowDef(false);
  dialog->ShowModal();
  pbOK = dialog->bOK();
  plVsCount = dialog->lVsCount();
  pbShowDef = dialog->bShowDef();
  if (!pbShowDef) dialog_.reset();
}

void CKT::NewContract2(std::shared_ptr<host::HostApplication>& oApp, bool& pbOK, int32_t& plVsCount,
                       bool& pbShowDef) {
  if (dialog_) return;
  RunNewContractDialog(oApp, pbOK, plVsCount, pbShowDef, ".NewContract2");
}

void CKT::RunNewContractDialog(std::shared_ptr<host::HostApplication>& oApp, bool& pbOK,
                               int32_t& plVsCount, bool& pbShowDef, const char* procedure) {
  CommonStart(oApp, false);
  try {
    pbOK = false;
    plVsCount = 0;
    dialog_ = kp::CreateNewContractDialog();
    std::shared_ptr<kp::NewContractDialog> dialog = dialog_;
    if (dialog->InitNew()) {
      dialog->ShowModal();
      pbOK = dialog->bOK();
      plVsCount = dialog->lVsCount();
      pbShowDef = dialog->bShowDef();
    }
    // When the dialog was not shown, the caller's own pbShowDef decides.
    if (!pbShowDef) dialog_.reset();
  } catch (...) {
    const rt::Error err = rt::CurrentError();
    // A dialog that failed on its way is not kept for the next call unless
    // the caller asked for it, as when initialising it failed.
    if (!pbShowDef) dialog_.reset();
    ReportError(SourceOf(procedure), err);
  }
}

std::string CKT::DLLVersion() { return modGlobalDefs::GetVersionString(); }

void CKT::NewContractDebitor(std::shared_ptr<host::HostApplication>& oApp, const rt::ObjectPtr& oContract,
                             const std::shared_ptr<rt::Collection>& colArt) {
  CommonStart(oApp, false);
  try {
    gContractD = std::make_shared<kt_CContractD>();
    CopyByName(rt::Variant(oContract), *gContractD, kContractProperties);
    gColArt = colArt;
  } catch (...) {
    ReportError(SourceOf(".NewContractDebitor"), rt::CurrentError());
    return;
  }
  // No trap from here on: the creation's errors are the caller's.
  kp::CreateContractFromAPI();
}

void CKT::CopyDefToClass(const rt::ObjectPtr& source) {
  try {
    gDefinition = std::make_shared<kt_CDefinition>();
    CopyByName(rt::Variant(source), *gDefinition, kDefinitionProperties);
  } catch (...) {
    ReportError(SourceOf(".CopyDefToClass"), rt::CurrentError());
  }
}

void CKT::CopyPosToClass(const std::shared_ptr<rt::Collection>& source) {
  gPositions = std::make_shared<rt::Collection>();
  if (!source) rt::RaiseRuntime(rt::errc::ObjectNotSet);
  for (int32_t i = 1; i <= source->Count(); ++i) {
    auto position = std::make_shared<kt_CPosition>();
    CopyByName(source->Item(i), *position, kPositionProperties);
    gPositions->Add(rt::Variant(position));
  }
}
