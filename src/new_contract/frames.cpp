// The workflow the attribute of the selected type would start, the
// responsibility choices for it, and the type's renewal workflow.
#include <string>

#include "core/addon_error.h"
#include "core/globals.h"
#include "core/records.h"
#include "core/tables.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/object.h"
#include "platform/text.h"

using new_contract::kFlags;
using new_contract::Text;
using rt::Need;

namespace {

constexpr const char* kNoWorkflowAssigned = "   <kein Workflow zugewiesen>";
constexpr const char* kNoRenewalWorkflow = "< kein Workflow zugeordnet >";
constexpr const char* kReleased = "freigegeben";
constexpr const char* kWorkflowName = "KMWFG_WorkflowName";
constexpr const char* kWorkflowId = "KMWFG_WorkflowID";

// The record of `table` whose key in `index` is `key`: true when found.
bool SeekIn(const std::shared_ptr<host::DbTable>& table, const char* index, const std::string& key) {
  Need(table->Indexes())->Select(index, kFlags);
  bool found = false;
  table->Seek(key, kFlags, &found);
  return found;
}

// Takes the workflow name and id of the current record of `table` when the
// table has both fields and neither was found on a more specific level.
void TakeWorkflow(const std::shared_ptr<host::DbTable>& table, std::string& name, std::string& id) {
  if (!name.empty() || !id.empty()) return;
  const std::shared_ptr<host::DbFields> fields = Need(table->Fields());
  if (!fields->Exists(kWorkflowName) || !fields->Exists(kWorkflowId)) return;
  name = Text(table, kWorkflowName);
  id = Text(table, kWorkflowId);
}

// A Boolean field read as the host gives it: false only for a value equal
// to 0; true, or nothing at all (Null, ""), otherwise.
bool IsZero(const rt::Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return false;
  if (v.kind() == rt::Variant::Kind::String && v.AsString().empty()) return false;
  return rt::IsNumeric(v) && rt::CDbl(v) == 0;
}

}  // namespace

void frmNewContract::SetWorkflowFrameVisibility() {
  try {
    fraWorkflow.SetEnabled(false);
    chkWorkflow.SetValue(ui::CheckBox::Unchecked);
    chkWorkflow.SetCaption(kNoWorkflowAssigned);
    fraResponsible.SetEnabled(false);
    optDefinierteBenutzer.SetEnabled(false);
    optneuerBenutzer.SetEnabled(false);
    cmbUser.SetEnabled(false);

    std::string group, attribute, value;
    if (bDefEdited) {
      const std::shared_ptr<kt_CDefinition> definition = Need(gDefinition);
      group = definition->SetztMerkmalGruppe;
      attribute = definition->SetztMerkmal;
      value = definition->SetztWert;
    } else {
      group = Text(oDefinitionen, "SetztMerkmalGruppe");
      attribute = Text(oDefinitionen, "SetztMerkmal");
      value = Text(oDefinitionen, "SetztWert");
    }
    if (group.empty() || attribute.empty() || value.empty()) return;

    const std::shared_ptr<host::DbTable> groups = kp::OpenTable("MerkmalgruppeAdressen");
    const std::shared_ptr<host::DbTable> attributes = kp::OpenTable("MerkmallisteAdressen");
    const std::shared_ptr<host::DbTable> values = kp::OpenTable("WerteMerkmalAdressen");
    const std::shared_ptr<host::DbIndex> groupIndex = Need(groups->Indexes())->Current();
    const std::shared_ptr<host::DbIndex> attributeIndex = Need(attributes->Indexes())->Current();
    const std::shared_ptr<host::DbIndex> valueIndex = Need(values->Indexes())->Current();

    // Only a value found under its attribute under its group names a
    // workflow; the most specific level that names one wins.
    if (SeekIn(groups, "Merkmalgruppe", rt::UCase(group)) &&
        SeekIn(attributes, "MerkmalgruppeIDMerkmal", Text(groups, "ID") + rt::UCase(attribute)) &&
        SeekIn(values, "MerkmalIDWert", Text(attributes, "ID") + rt::UCase(value))) {
      std::string name, id;
      TakeWorkflow(values, name, id);
      TakeWorkflow(attributes, name, id);
      TakeWorkflow(groups, name, id);

      const std::shared_ptr<host::DbTable> workflows = id.empty() ? nullptr : kp::OpenTable("KMWFG_Vorgaenge");
      if (workflows && SeekIn(workflows, "ID", id)) {
        if (IsZero(kp::FieldValue(workflows, "benutzerabhaengig"))) {
          optDefinierteBenutzer.SetValue(true);
        } else {
          optDefinierteBenutzer.SetValue(false);
          cmbUser.SetEnabled(true);
        }
        optneuerBenutzer.SetValue(!optDefinierteBenutzer.Value());
        const bool changeable = !IsZero(kp::FieldValue(workflows, "voreinstellungaenderbar"));
        optDefinierteBenutzer.SetEnabled(changeable);
        optneuerBenutzer.SetEnabled(changeable);
        if (changeable) cmbUser.SetEnabled(true);
        chkWorkflow.SetValue(ui::CheckBox::Checked);
        chkWorkflow.SetCaption("Workflow  '" + name + "'  erstellen");
        fraResponsible.SetEnabled(true);
        fraWorkflow.SetEnabled(true);
      }
    }

    Need(values->Indexes())->Select(valueIndex, kFlags);
    Need(attributes->Indexes())->Select(attributeIndex, kFlags);
    Need(groups->Indexes())->Select(groupIndex, kFlags);
  } catch (...) {
    ShowOwnErrorBox(new_contract::kErrSource, ".SetWorkflowFrameVisibility", rt::CurrentError());
  }
}

void frmNewContract::ShowRenewalWorkflow() {
  std::string text = kNoRenewalWorkflow;
  const std::string id = bDefEdited ? Need(gDefinition)->VerlaengerungsWorkflowID : Text(oDefinitionen, "WorkflowID");
  if (id.empty()) {
    lblWorkflow2.SetCaption(text);
    lblWorkflow2.SetEnabled(false);
    fraWorkflow2.SetEnabled(false);
    return;
  }
  const std::shared_ptr<host::DbTable> workflows = kp::OpenTable("KMWFG_Vorgaenge");
  if (SeekIn(workflows, "ID", id) && Text(workflows, "Status") == kReleased) text = Text(workflows, "Betreff");
  lblWorkflow2.SetCaption(text);
  lblWorkflow2.SetEnabled(true);
  fraWorkflow2.SetEnabled(true);
}
