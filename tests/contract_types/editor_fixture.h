// Shared fixture of the contract-type editor tests: the core tests' set-up
// (stand-in host in memory, today fixed to 10.03.2024, scripted UI,
// reporter) with the sample data loaded and a CKT made through the
// library's class factory, as a host makes it.
//
// Editors are driven either directly (NewEditor, then InitNew or InitEdit
// and the simulated user on a form that is not shown) or modally through
// CKT.EditContractDefinition with a script queued by OnEditor.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "contract_types/frm_fedit_def_positions.h"
#include "contract_types/frm_fedit_definitions.h"
#include "core/ckt.h"
#include "core/core_fixture.h"
#include "core/globals.h"
#include "core/records.h"
#include "platform/object.h"
#include "platform/ui/simulated_user.h"
#include "platform/variant.h"

// The editor's members, for the tests to look at.
struct frmFEditDefinitionsProbe {
  const frmFEditDefinitions& f;
  int32_t Art() const { return f.m_lArt; }
  const std::string& Typ() const { return f.m_sTyp; }
  bool New() const { return f.m_bNew; }
  bool Loading() const { return f.m_bLoading; }
  bool ForNewContract() const { return f.m_bForNewContract; }
  const std::string& WorkflowID() const { return f.m_sWorkflowID; }
  const std::vector<std::string>& WorkflowIDs() const { return f.m_WorkflowIDs; }
  const std::vector<std::string>& RequiGroupIDs() const { return f.m_RequiGroupIDs; }
  const std::vector<std::string>& RequiAttrIDs() const { return f.m_RequiAttrIDs; }
  const std::vector<std::string>& PutAttrIDs() const { return f.m_PutAttrIDs; }
  const std::vector<std::string>& ArtGroupIDs() const { return f.m_ArtGroupIDs; }
  int32_t RequiValueType() const { return f.m_lRequiValueType; }
  int32_t PutValueType() const { return f.m_lPutValueType; }
  std::vector<std::string> DeletedKeys() const {
    std::vector<std::string> keys;
    if (f.m_colDeletedKeys)
      for (int32_t i = 1; i <= f.m_colDeletedKeys->Count(); ++i) keys.push_back(rt::CStr(f.m_colDeletedKeys->Item(i)));
    return keys;
  }
};

namespace editortest {

using coretest::Merge;
using coretest::Values;

// Every property of `expected` as `record` gives it by name (kind and value).
inline void ExpectProperties(const rt::Object& record, const Values& expected, const std::string& what) {
  for (const auto& [name, value] : expected) EXPECT_EQ(record.Get(name), value) << what << ": " << name;
}

// The entries of a combo box.
inline std::vector<std::string> Entries(const ui::ComboBox& c) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < c.ListCount(); ++i) out.push_back(c.List(i));
  return out;
}

// One row of a list view: the item text, then the sub-items.
inline std::vector<std::string> RowOf(const ui::ListView& lvw, int32_t index) {
  std::vector<std::string> out{lvw.Item(index).Text()};
  for (int32_t c = 1; c < lvw.ColumnCount(); ++c) out.push_back(lvw.Item(index).SubItems(c));
  return out;
}

class EditorTest : public coretest::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    host_->LoadSampleData();
    ckt_ = std::dynamic_pointer_cast<CKT>(rt::CreateObject("kelPaktor2.CKT"));
    ASSERT_NE(ckt_, nullptr);
  }
  void TearDown() override {
    ckt_.reset();
    CoreTest::TearDown();
  }

  // A new editor, created (not yet loaded).
  static std::shared_ptr<frmFEditDefinitions> NewEditor() { return ui::NewForm<frmFEditDefinitions>(); }
  static frmFEditDefinitionsProbe Probe(const frmFEditDefinitions& f) { return frmFEditDefinitionsProbe{f}; }

  // A valid stored type: "D", renewable 12/12, monthly, notice 6 Wochen,
  // "freigegeben"; `changes` replace or add fields. It becomes the current
  // type of the session; returns its id.
  std::string StoreType(const Values& changes = {}) {
    Values v = {{"Status", "freigegeben"},
                {"NoBooking", false},
                {"Typ", "D"},
                {"Bezeichnung", "Gespeichert"},
                {"Art", int32_t{1}},
                {"ArtStr", "verlängerbar"},
                {"Dauer", int32_t{12}},
                {"Verlaengerungsdauer", int32_t{12}},
                {"Kuendigungsfrist", int32_t{6}},
                {"KuendigungsfristEinh", "Wochen"},
                {"VerlKuendigungsfrist", int32_t{6}},
                {"VerlKuendigungsfristEinh", "Wochen"},
                {"Zahlungsperiode", int32_t{1}},
                {"VerlaengerungsZahlungsperiode", int32_t{1}},
                {"RechnungWann", int32_t{0}},
                {"WorkflowID", ""},
                {"NettoSumme", 0.0}};
    const std::string oid = host_->InsertRow("kt_Vertragsdefinitionen", Merge(v, changes));
    host_->SetCurrentContractTypeOid(oid, false);
    return oid;
  }

  // A position row of the type `typeOid`: article A1 at 10,5 a month,
  // quantity 2; `changes` replace or add fields.
  std::string StorePosition(const std::string& typeOid, const Values& changes = {}) {
    Values v = {{"Artikel", "Wartung Basis"}, {"Nettopreis", 10.5},     {"Artikelnummer", "1001"},
                {"Artikelart", "DL"},         {"Einheit", "Jahr"},      {"UStSatz", 19.0},
                {"Beschreibung", "Basis"},    {"Anzahl", 2.0},          {"Erloeskonto", int32_t{8400}},
                {"ArtikelID", "A1"},          {"PreisM1", 10.5},        {"PreisM3", 31.5},
                {"PreisM6", 63.0},            {"PreisM12", 126.0},      {"PreisM24", 252.0},
                {"PreisM36", 378.0},          {"PreisM48", 504.0},      {"PreisM60", 630.0},
                {"Preis", 126.0},             {"NettoOhneRabatt", 10.5}, {"Row", "001"},
                {"Positionsnummer", "1"},     {"Gruppierung", ""},      {"Gruppierungsposition", int32_t{1}}};
    return host_->InsertRow("kt_DefinitionsPositionen", Merge(v, changes), typeOid);
  }

  // Queues the user's work on the next modal display of an editor.
  void OnEditor(std::function<void(frmFEditDefinitions&)> script) { ui_->OnModal<frmFEditDefinitions>(std::move(script)); }
  // Queues the user's work on the next position dialog.
  void OnDialog(std::function<void(frmFEditDefPositions&)> script) {
    ui_->OnModal<frmFEditDefPositions>(std::move(script));
  }

  // CKT.EditContractDefinition as the host calls it.
  void Edit(bool isNew) {
    bool pbNew = isNew;
    ckt_->EditContractDefinition(app_, pbNew);
  }

  // The id of the first record of `table` whose `field` reads `value`.
  std::string OidOf(const std::string& table, const char* field, const std::string& value) {
    for (const auto& r : Rows(table))
      if (Str(r, field) == value) return r.oid;
    return "";
  }

  // The prompts of the boxes shown so far.
  std::vector<std::string> Prompts() const {
    std::vector<std::string> out;
    for (const auto& b : Boxes()) out.push_back(b.prompt);
    return out;
  }

  std::shared_ptr<CKT> ckt_;
  ui::test::User user_;
};

}  // namespace editortest
