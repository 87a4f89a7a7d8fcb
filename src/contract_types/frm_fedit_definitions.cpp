// frmFEditDefinitions: its design, its load and the start of a new type.
#include "contract_types/frm_fedit_definitions.h"

#include "contract_types/editor_internal.h"
#include "core/addon_error.h"
#include "core/globals.h"
#include "core/mod_kt.h"
#include "core/tables.h"
#include "platform/ui/common_controls.h"
#include "platform/variant.h"

#include <iterator>

using editor::FlagScope;
using editor::Source;
using rt::Need;

namespace {

constexpr host::Flags kFlags = editor::kFlags;

// The payment periods offered, in list order.
constexpr int32_t kPeriods[] = {1, 3, 6, 12, 24, 36, 48, 60};

// The headings of lvwPositionen, with the widths of the shown columns.
struct ColumnDesign {
  const char* heading;
  int32_t width;
  ui::ListView::Alignment align;
};
constexpr auto L = ui::ListView::Alignment::Left;
constexpr auto R = ui::ListView::Alignment::Right;
constexpr ColumnDesign kPositionColumns[] = {
    {"RecordOID", 0, L},   {"Artikel", 4868, L},  {"Anz.", 1058, R},     {"Nettopreis", 1693, R},
    {"G-Preis", 1905, R},  {"Artikelnummer", 0, L}, {"Artikelart", 0, L}, {"Einheit", 0, L},
    {"USTSatz", 0, L},     {"Beschreibung", 0, L}, {"Erloeskonto", 0, L}, {"ArtikelID", 0, L},
    {"PreisM1", 0, L},     {"PreisM3", 0, L},     {"PreisM6", 0, L},     {"PreisM12", 0, L},
    {"PreisM24", 0, L},    {"PreisM36", 0, L},    {"PreisM48", 0, L},    {"PreisM60", 0, L},
    {"Preis", 0, L},       {"PreisOhne", 0, L},   {"Gruppierung", 2540, L},
};
static_assert(std::size(kPositionColumns) == editor::kPositionColumns);

void AddNoticeEntries(ui::ComboBox& counts, ui::ComboBox& units) {
  for (const char* n : {"1", "2", "3", "4", "6", "12", "0"}) counts.AddItem(n);
  counts.SetListIndex(4);  // "6"
  units.AddItem("Wochen");
  units.AddItem("Monate");
  units.SetListIndex(0);
}

void AddPeriodEntries(ui::ComboBox& combo) {
  for (int32_t p : kPeriods) {
    combo.AddItem(modKT::GetPeriodText(p));
    combo.SetItemData(combo.NewIndex(), p);
  }
  combo.SetListIndex(0);
}

}  // namespace

frmFEditDefinitions::frmFEditDefinitions() : Form("frmFEditDefinitions") {
  SetFontName("Tahoma");
  Label1.SetCaption("Vertragstyp");
  lblStatu.SetCaption("Status");
  cboStatus.SetText("Combo1");
  Label2.SetCaption("Dauer");
  optBefristet.SetCaption("Befristet");
  optBefristet.SetValue(true);
  chkVerlaengerbar.SetCaption("mit automat. Folgevertrag");
  chkVerlaengerbar.SetValue(ui::CheckBox::Checked);
  optUnbefristet.SetCaption("Unbefristet");
  Label3.SetCaption("Art");
  optDebitor.SetCaption("Forderungs-Vertrag");
  optDebitor.SetValue(true);
  optKreditor.SetCaption("Verbindlichkeits-Vertrag");
  chkNoBooking.SetCaption("Fremdfakturierung");
  fraTyp.SetCaption("");
  fraArt.SetCaption("");

  Label4.SetCaption("Erstvertrag");
  lblVertragsdauer.SetCaption("Laufzeit");
  txtDauer.SetText("12");
  lblDauerEinheit.SetCaption("in Monaten");
  lblZahlungsperiode.SetCaption("Zahlungsperiode");
  lblRechnungWann.SetCaption("Zahlbar");
  lblKuendFrist.SetCaption("Kündigungsfrist");
  cboKuenfristBezug.SetEnabled(false);
  Label6.SetCaption("Folgevertrag");
  lblDauer2.SetCaption("Laufzeit");
  txtDauer2.SetText("12");
  lblDauerEinheit2.SetCaption("in Monaten");
  lblZahlungsPeriode2.SetCaption("Zahlungsperiode");
  lblKuendFrist2.SetCaption("Kündigungsfrist");
  lblWorkflow.SetCaption("Workflow bei Verlängerung erstellen:");

  Frame3.SetCaption("Erforderliches Adressmerkmal bei neuem Vertrag");
  Frame4.SetCaption("Setzt Adressmerkmal bei Anlage eines neuen Vertrages");
  for (ui::Label* l : {&Label13, &Label16}) l->SetCaption("Gruppe");
  for (ui::Label* l : {&Label14, &Label17}) l->SetCaption("Merkmal");
  for (ui::Label* l : {&Label15, &Label18}) l->SetCaption("Wert");

  fraPositionen.SetCaption("Bearbeitung der Vertragspositionen");
  Label11.SetCaption("Artikelpositionen");
  lvwArtikel.AddColumn("Artikel", 4868, L);
  lvwArtikel.AddColumn("Preis", 1693, R);
  lvwArtikel.AddColumn("OID", 0);
  lvwArtikel.AddColumn("ID", 0);
  Label12.SetCaption("Vertragspositionen");
  for (const ColumnDesign& c : kPositionColumns) lvwPositionen.AddColumn(c.heading, c.width, c.align);
  cmdAddPos.SetCaption("->+");
  cmdDeletePos.SetCaption("<- -");
  cmdEditPos.SetCaption("...");
  fraPositionenK.SetCaption("Bearbeitung der Vertragspositionen");
  Label19.SetCaption("Bei einem Verbindlichkeits-Vertag werden keine Vertagspositionenvorbelegt.");
  // Label10 has no role; it is not shown.
  Label10.SetCaption("Label10");
  Label10.SetVisible(false);
  cmdSave.SetCaption("Speichern");
  cmdCancel.SetCaption("Abbrechen");

  optBefristet.OnClick = [this] { optBefristet_Click(); };
  chkVerlaengerbar.OnClick = [this] { chkVerlaengerbar_Click(); };
  optUnbefristet.OnClick = [this] { optUnbefristet_Click(); };
  optDebitor.OnClick = [this] { optDebitor_Click(); };
  optKreditor.OnClick = [this] { optKreditor_Click(); };
  const auto digitsOnly = [](int16_t& KeyAscii) {
    if (KeyAscii != 8 && (KeyAscii < '0' || KeyAscii > '9')) KeyAscii = 0;
  };
  txtDauer.OnKeyPress = digitsOnly;
  txtDauer2.OnKeyPress = digitsOnly;
  txtDauer.OnChange = [this] { txtDauer_Change(); };
  txtDauer2.OnValidate = [this](bool& Cancel) { txtDauer2_Validate(Cancel); };
  cboZahlungsperiode.OnClick = [this] { cboZahlungsperiode_Click(); };
  cboKuendFrist.OnClick = [this] { cboKuendFrist_Click(); };
  cboKuendEinh.OnClick = [this] { cboKuendEinh_Click(); };
  cboWorkflow.OnClick = [this] { cboWorkflow_Click(); };
  cboRequiGroup.OnClick = [this] { GroupClick(Requi()); };
  cboPutGroup.OnClick = [this] { GroupClick(Put()); };
  cboRequiAttribute.OnClick = [this] { AttributeClick(Requi()); };
  cboPutAttribute.OnClick = [this] { AttributeClick(Put()); };
  cboArtikelGruppen.OnClick = [this] { cboArtikelGruppen_Click(); };
  cmdAddPos.OnClick = [this] { cmdAddPos_Click(); };
  cmdEditPos.OnClick = [this] { cmdEditPos_Click(); };
  cmdDeletePos.OnClick = [this] { cmdDeletePos_Click(); };
  cmdSave.OnClick = [this] { cmdSave_Click(); };
  cmdCancel.OnClick = [this] { cmdCancel_Click(); };
}

frmFEditDefinitions::Triple frmFEditDefinitions::Requi() {
  return {cboRequiGroup,   cboRequiAttribute, cboRequiValue,     DTPRequiValue,
          m_RequiGroupIDs, m_RequiAttrIDs,    m_lRequiValueType, "Requi"};
}

frmFEditDefinitions::Triple frmFEditDefinitions::Put() {
  return {cboPutGroup, cboPutAttribute, cboPutValue, DTPPutValue, m_PutGroupIDs, m_PutAttrIDs, m_lPutValueType, "Put"};
}

void frmFEditDefinitions::Form_Initialize() { ui::InitCommonControls(); }

void frmFEditDefinitions::Form_Load() {
  try {
    // Until step 14 the combos are filled by code: their handlers stay idle.
    FlagScope loading(m_bLoading);
    fraPositionen.ZOrder(0);
    m_bSaved_ = false;

    const std::shared_ptr<host::HostPersistVar> statuses =
        Need(Need(Need(gDB)->ScriptEngine())->PersistVars())->Item("kt_lt_VertragstypStatus");
    if (statuses) {
      const rt::Variant list = statuses->Value();
      for (const rt::Variant& s : list.AsArray().items) cboStatus.AddItem(rt::CStr(s));
      if (cboStatus.ListCount() > 0) cboStatus.SetListIndex(0);
    }

    AddPeriodEntries(cboZahlungsperiode);
    AddPeriodEntries(cboZahlungsperiode2);
    cboRechnungWann.AddItem("im voraus");
    cboRechnungWann.AddItem("nachträglich");
    cboRechnungWann.SetListIndex(0);
    AddNoticeEntries(cboKuendFrist, cboKuendEinh);
    AddNoticeEntries(cboKuendFrist2, cboKuendEinh2);

    // Released workflows only; the key array has room for every workflow.
    m_tblVorgaenge = kp::OpenTable("KMWFG_Vorgaenge");
    Need(m_tblVorgaenge->Indexes())->Reset(kFlags);
    m_tblVorgaenge->MoveFirst(kFlags);
    m_WorkflowIDs.assign(static_cast<size_t>(m_tblVorgaenge->SelectionCount()) + 1, "");
    cboWorkflow.AddItem("<kein Workflow>");
    size_t k = 0;
    while (!m_tblVorgaenge->Eof()) {
      if (rt::CStr(kp::FieldValue(m_tblVorgaenge, "Status")) == "freigegeben") {
        cboWorkflow.AddItem(rt::CStr(kp::FieldValue(m_tblVorgaenge, "Betreff")));
        m_WorkflowIDs.at(++k) = rt::CStr(kp::FieldValue(m_tblVorgaenge, "ID"));
      }
      m_tblVorgaenge->Move(1, kFlags);
    }
    cboWorkflow.SetListIndex(0);

    // Both group combos list the groups by name, behind "<leer>".
    m_tblMerkmalgruppen = kp::OpenTable("MerkmalgruppeAdressen");
    Need(m_tblMerkmalgruppen->Indexes())->Select("Merkmalgruppe", kFlags);
    m_tblMerkmalgruppen->MoveFirst(kFlags);
    const size_t groups = static_cast<size_t>(m_tblMerkmalgruppen->SelectionCount()) + 1;
    m_RequiGroupIDs.assign(groups, "");
    m_PutGroupIDs.assign(groups, "");
    cboRequiGroup.AddItem("<leer>");
    cboPutGroup.AddItem("<leer>");
    for (size_t g = 1; !m_tblMerkmalgruppen->Eof(); ++g) {
      const std::string name = rt::CStr(kp::FieldValue(m_tblMerkmalgruppen, "Gruppe"));
      cboRequiGroup.AddItem(name);
      m_RequiGroupIDs.at(g) = m_tblMerkmalgruppen->Oid();
      cboPutGroup.AddItem(name);
      m_PutGroupIDs.at(g) = m_tblMerkmalgruppen->Oid();
      m_tblMerkmalgruppen->Move(1, kFlags);
    }
    m_tblMerkmalgruppen->MoveFirst(kFlags);

    m_tblMerkmalliste = kp::OpenTable("MerkmallisteAdressen");
    Need(m_tblMerkmalliste->Indexes())->Reset(0);
    m_tblWerte = kp::OpenTable("WerteMerkmalAdressen");
    Need(m_tblWerte->Indexes())->Reset(0);

    if (cboRequiGroup.ListCount() > 0) cboRequiGroup.SetListIndex(0);
    if (cboPutGroup.ListCount() > 0) cboPutGroup.SetListIndex(0);
    cboRequiAttribute.AddItem("<leer>");
    m_RequiAttrIDs.assign(1, "");
    cboPutAttribute.AddItem("<leer>");
    m_PutAttrIDs.assign(1, "");

    // From here the handlers run: "<leer>" leaves each value list empty.
    loading.End();
    cboRequiAttribute.SetListIndex(0);
    cboPutAttribute.SetListIndex(0);

    m_tblArtikelgruppen = kp::OpenTable("Artikelgruppen");
    m_tblArtikelgruppen->ModeA(true, 0);
    m_tblArtikelgruppen->ModeB(true, 0);
    Need(m_tblArtikelgruppen->Indexes())->Select("ID", 0);
    m_tblArtikelgruppen->MoveFirst(kFlags);
    m_ArtGroupIDs.assign(static_cast<size_t>(m_tblArtikelgruppen->SelectionCount()) + 1, "");
    for (size_t g = 1; !m_tblArtikelgruppen->Eof(); ++g) {
      cboArtikelGruppen.AddItem(rt::CStr(kp::FieldValue(m_tblArtikelgruppen, "Artikelgruppe")));
      m_ArtGroupIDs.at(g) = rt::CStr(kp::FieldValue(m_tblArtikelgruppen, "ID"));
      m_tblArtikelgruppen->Move(1, kFlags);
    }

    m_tblArtikel = kp::OpenTable("Artikel");
    m_tblArtikel->ModeA(true, kFlags);
    m_tblArtikel->ModeB(true, kFlags);
    if (cboArtikelGruppen.ListCount() > 0) cboArtikelGruppen.SetListIndex(0);

    m_tblDefinitionen = kp::OpenTable("kt_Vertragsdefinitionen");
    m_tblDefinitionen->Reset();
    m_tblPositionen = kp::OpenTable("kt_DefinitionsPositionen");
    m_tblPositionen->ModeA(true, 0);
    m_tblPositionen->ModeB(true, 0);
  } catch (...) {
    m_bLoadFailed = true;
    ReportError(Source(".Form_Load"), rt::CurrentError());
  }
}

bool frmFEditDefinitions::InitNew() {
  EnsureLoaded();
  if (m_bLoadFailed) return false;
  m_bNew = true;
  m_lArt = 1;
  SetCaption("Vertragstyp [Neu]");
  optDebitor.SetValue(true);
  m_sTyp = std::string("D");
  return true;
}
