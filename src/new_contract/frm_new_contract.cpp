// The dialog's controls at design time, the wiring of their handlers, and
// its registration with the entry class.
#include "new_contract/frm_new_contract.h"

#include <memory>

#include "core/subsystems.h"

namespace {

// Column widths in twips; 0 hides the data columns the list is read by.
constexpr int32_t kWide = 2400;
constexpr int32_t kNarrow = 1400;
constexpr int32_t kHidden = 0;

// Hands the dialog to the entry class while the library is loaded.
struct Registrar {
  Registrar() {
    kp::RegisterNewContractDialog([]() -> std::unique_ptr<kp::NewContractDialog> {
      auto dialog = std::make_unique<frmNewContract>();
      dialog->Create();
      return dialog;
    });
  }
  ~Registrar() { kp::RegisterNewContractDialog({}); }
};
const Registrar registrar;

}  // namespace

frmNewContract::frmNewContract() : Form("frmNewContract") {
  Label1.SetCaption("Vertragstyp");
  lvwBezeichnung.AddColumn("Typ", kWide);
  lvwBezeichnung.AddColumn("Dauer", kNarrow);
  lvwBezeichnung.AddColumn("OID", kHidden);
  lvwBezeichnung.AddColumn("Typ", kHidden);
  lvwBezeichnung.AddColumn("Art", kHidden);
  lvwBezeichnung.AddColumn("RechnungWann", kHidden);
  lvwBezeichnung.AddColumn("Dauer1", kHidden);
  lvwBezeichnung.AddColumn("Zahlungsperiode1", kHidden);
  lvwBezeichnung.AddColumn("DAuer2", kHidden);
  lvwBezeichnung.AddColumn("Zahlungsperiode2", kHidden);
  lvwBezeichnung.AddColumn("Art", kNarrow);
  lvwBezeichnung.AddColumn("NoBooking", kHidden);

  Frame1.SetCaption("Vertrag");
  Label3.SetCaption("Vertragsnummer");
  ChkAutoNumber.SetCaption("Nummer automatisch vergeben");
  Label4.SetCaption("Vertragsbeginn");
  Label6.SetCaption("Vertrag geschlossen am");
  DTPGeschlossenAm.SetAllowEmpty(true);  // not concluded yet
  Label5.SetCaption("Verantwortlich");
  Label7.SetCaption("Bearbeitungs- hinweis (intern)");
  lblRabatt.SetCaption("Rabatt");
  Label2.SetCaption("in  Prozent");
  chkRabattNurErsteLaufzeit.SetCaption("Rabatt nur für erste Laufzeit");
  chkRabattNurErsteLaufzeit.SetToolTipText("Ein Rabatt soll nur für die erste Laufzeit gewährt werden.");
  chkNoBooking.SetCaption("Fremdfakturierung");
  chkNoBooking.SetToolTipText(
      "Für diesen Vertrag sollen keine Rechnungen in der Kelmaris-Fakturierung erstellt werden.");

  chkOldContract.SetCaption("Für den Vertrag wurden bereits vergangene Perioden fakturiert");
  Label8.SetCaption("Wählen Sie den Zeitraum aus, der zuletzt fakturiert wurde.");
  lstInvoices.SetBackColor(ui::color::ButtonFace);
  lstInvoices.SetEnabled(false);
  lstInvoices.SetVisible(false);

  fraWorkflow.SetCaption(" Workflow bei Vertragserstellung");
  chkWorkflow.SetCaption("Workflow <Name> erstellen");
  fraResponsible.SetCaption("Verantwortlichkeiten");
  optDefinierteBenutzer.SetCaption("für voreingestellten Benutzer übernehmen");
  optneuerBenutzer.SetCaption("für folgenden Benutzer anlegen");
  fraWorkflow2.SetCaption("Workflow bei Verlängerung");
  fraWorkflow2.SetToolTipText("Workflow, der bei automat. Verlängerung erstellt wird");
  lblWorkflow2.SetCaption("< kein Workflow >");

  cmdDetails.SetCaption("Vertragsdefinition bearbeiten");
  cmdDetails.SetToolTipText("Vertragsdefinition anzeigen/bearbeiten");
  cmdOK.SetCaption("OK");
  cmdCancel.SetCaption("Abbrechen");
  lblDirty.SetCaption("Vertragsdefinition wurde geändert !");
  lblDirty.SetVisible(false);
  lblVersion.SetCaption("Version");

  lvwBezeichnung.OnItemClick = [this](ui::ListItem& item) { lvwBezeichnung_ItemClick(item); };
  DTPVertragBeginn.OnChange = [this] { DTPVertragBeginn_Change(); };
  txtRabatt.OnKeyPress = [this](int16_t& key) { txtRabatt_KeyPress(key); };
  txtRabatt.OnValidate = [this](bool& cancel) { txtRabatt_Validate(cancel); };
  ChkAutoNumber.OnClick = [this] { ChkAutoNumber_Click(); };
  chkOldContract.OnClick = [this] { chkOldContract_Click(); };
  cmdCancel.OnClick = [this] { cmdCancel_Click(); };
  cmdDetails.OnClick = [this] { cmdDetails_Click(); };
  cmdOK.OnClick = [this] { cmdOK_Click(); };
}

frmNewContract::~frmNewContract() = default;

void frmNewContract::Form_Initialize() { ui::InitCommonControls(); }

void frmNewContract::ShowModal() { ui::Form::ShowModal(); }
