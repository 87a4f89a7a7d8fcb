// frmFEditDefinitions: the two address-attribute triples and the renewal
// workflow. The triples share the three attribute tables, so working on one
// moves the current records the other last used. Every procedure here traps
// its errors and reports them under its own name.
#include <string>

#include "contract_types/editor_internal.h"
#include "contract_types/frm_fedit_definitions.h"
#include "core/addon_error.h"
#include "core/globals.h"
#include "core/tables.h"
#include "platform/date.h"
#include "platform/format.h"
#include "platform/text.h"
#include "platform/variant.h"

using editor::FlagScope;
using editor::KeyAt;
using editor::Source;
using rt::Need;

namespace {

constexpr host::Flags kFlags = editor::kFlags;

std::string ProcName(const char* prefix, const char* triple, const char* suffix) {
  return std::string(prefix) + triple + suffix;
}

// A stored date value: the text "yyyy-MM-dd" naming a real day.
std::optional<rt::Date> StoredDate(const std::string& w) {
  if (w.size() != 10 || w[4] != '-' || w[7] != '-') return std::nullopt;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (w[i] < '0' || w[i] > '9') return std::nullopt;
  const int32_t y = std::stoi(w.substr(0, 4)), m = std::stoi(w.substr(5, 2)), d = std::stoi(w.substr(8, 2));
  if (y < 100 || m < 1 || m > 12 || d < 1) return std::nullopt;
  const rt::Date date = rt::DateSerial(y, m, d);
  if (rt::Month(date) != m || rt::Day(date) != d) return std::nullopt;
  return date;
}

}  // namespace

void frmFEditDefinitions::GroupClick(const Triple& t) {
  try {
    if (m_bLoading || t.group.ListIndex() < 0) return;
    const std::string& id = KeyAt(t.groupIDs, t.group.ListIndex());
    if (id.empty()) {
      {
        FlagScope loading(m_bLoading);
        t.attribute.Clear();
        t.attribute.AddItem("<leer>");
        t.attrIDs.assign(1, "");
      }
      t.attribute.SetListIndex(0);
      return;
    }
    bool found = false;
    Need(m_tblMerkmalgruppen)->GotoOid(id, kFlags, &found);
    if (!found) {
      // The group is gone: the attributes listed stay.
      m_tblMerkmalgruppen->MoveFirst(kFlags);
      return;
    }
    ReadAttributeList(t);
    if (t.attribute.ListCount() > 0) t.attribute.SetListIndex(0);
  } catch (...) {
    ReportError(Source(ProcName(".cbo", t.name, "Group_Click").c_str()), rt::CurrentError());
  }
}

void frmFEditDefinitions::ReadAttributeList(const Triple& t) {
  try {
    t.attribute.Clear();
    Need(Need(m_tblMerkmalliste)->Indexes())->Reset(0);
    m_tblMerkmalliste->MoveFirst(kFlags);
    t.attrIDs.assign(static_cast<size_t>(m_tblMerkmalliste->SelectionCount()) + 1, "");
    for (size_t k = 0; !m_tblMerkmalliste->Eof(); ++k) {
      t.attribute.AddItem(rt::CStr(kp::FieldValue(m_tblMerkmalliste, "Merkmal")));
      t.attrIDs.at(k) = m_tblMerkmalliste->Oid();
      m_tblMerkmalliste->Move(1, kFlags);
    }
  } catch (...) {
    ReportError(Source(ProcName(".Read", t.name, "AttributeList").c_str()), rt::CurrentError());
  }
}

void frmFEditDefinitions::AttributeClick(const Triple& t) {
  try {
    if (m_bLoading) return;
    t.value.Clear();
    if (t.attribute.ListIndex() < 0) return;
    const std::string& id = KeyAt(t.attrIDs, t.attribute.ListIndex());
    bool found = false;
    if (!id.empty()) Need(m_tblMerkmalliste)->GotoOid(id, kFlags, &found);
    if (!found) {
      // "<leer>", or an attribute that is gone: no values to choose.
      t.value.SetVisible(true);
      t.value.SetEnabled(false);
      t.picker.SetVisible(false);
      t.valueType = 0;
      return;
    }
    Need(Need(m_tblWerte)->Indexes())->Reset(0);
    m_tblWerte->MoveFirst(kFlags);
    const std::string first = rt::CStr(kp::FieldValue(m_tblWerte, "Wert"));
    if (first == "<Benutzername>") {
      t.valueType = 0;
      t.value.SetVisible(true);
      t.picker.SetVisible(false);
      LoadUsers(t);
    } else if (first == "<Datum>") {
      t.valueType = 1;
      t.value.SetVisible(false);
      t.picker.SetVisible(true);
      t.picker.SetValue(rt::Today());
    } else {
      t.valueType = 0;
      t.value.SetVisible(true);
      t.picker.SetVisible(false);
      while (!m_tblWerte->Eof()) {
        t.value.AddItem(rt::CStr(kp::FieldValue(m_tblWerte, "Wert")));
        m_tblWerte->Move(1, kFlags);
      }
    }
    if (t.value.ListCount() > 0) {
      t.value.SetListIndex(0);
      t.value.SetEnabled(true);
    } else {
      t.value.SetEnabled(false);
    }
  } catch (...) {
    ReportError(Source(ProcName(".cbo", t.name, "Attribute_Click").c_str()), rt::CurrentError());
  }
}

void frmFEditDefinitions::LoadUsers(const Triple& t) {
  try {
    t.value.Clear();
    const std::shared_ptr<host::HostUsers> users = Need(Need(gDB)->Users());
    for (int32_t i = 0; i < users->Count(); ++i) {
      const std::string name = Need(users->Item(i))->Name();
      if (name != "DEVELOPMENT") t.value.AddItem(name);
    }
    if (t.value.ListCount() > 0) t.value.SetListIndex(0);
  } catch (...) {
    ReportError(Source(ProcName(".Load", t.name, "Users").c_str()), rt::CurrentError());
  }
}

void frmFEditDefinitions::EnableWorkflowSelection(bool bEnable) {
  try {
    // Selecting an entry here must not change the remembered workflow.
    FlagScope loading(m_bLoading);
    int32_t entry = 0;
    if (bEnable && !m_sWorkflowID.empty()) {
      for (int32_t i = 0; i < cboWorkflow.ListCount(); ++i) {
        if (KeyAt(m_WorkflowIDs, i) == m_sWorkflowID) {
          entry = i;
          break;
        }
      }
    }
    cboWorkflow.SetListIndex(entry);
    for (ui::Control* c : std::initializer_list<ui::Control*>{&cboWorkflow, &lblWorkflow, &fraWF})
      c->SetEnabled(bEnable);
  } catch (...) {
    ReportError(Source(".EnableWorkflowSelection"), rt::CurrentError());
  }
}

void frmFEditDefinitions::cboWorkflow_Click() {
  try {
    if (m_bLoading) return;
    m_sWorkflowID = KeyAt(m_WorkflowIDs, cboWorkflow.ListIndex());
  } catch (...) {
    ReportError(Source(".cboWorkflow_Click()"), rt::CurrentError());
  }
}

void frmFEditDefinitions::SelectAttribute(const Triple& t, const std::string& g, const std::string& m,
                                          const std::string& w) {
  if (!g.empty()) {
    Need(Need(m_tblMerkmalgruppen)->Indexes())->Select("Merkmalgruppe", kFlags);
    if (m_tblMerkmalgruppen->Seek(rt::UCase(g), kFlags)) t.group.SetText(g);
  }
  if (!m.empty()) {
    Need(Need(m_tblMerkmalliste)->Indexes())->Select("Merkmal", kFlags);
    const bool found = m_tblMerkmalliste->Seek(m, kFlags);
    if (found && rt::CStr(kp::FieldValue(m_tblMerkmalgruppen, "Gruppe")) == g) {
      t.attribute.SetText(m);
    } else if (found) {
      // The name belongs to another group than the stored one: it is shown
      // under the listed group, keyed to the record found.
      FlagScope loading(m_bLoading);
      if (t.attribute.ListCount() == 0) {
        t.attribute.AddItem(m);
        t.attrIDs.assign(1, m_tblMerkmalliste->Oid());
        t.attribute.SetListIndex(0);
      } else {
        t.attrIDs.at(0) = m_tblMerkmalliste->Oid();
        loading.End();
        t.attribute.SetList(0, m);
      }
    } else {
      // An attribute that is gone stays shown, with no key.
      {
        FlagScope loading(m_bLoading);
        if (t.attribute.ListCount() > 0 && t.attribute.List(0) == "<leer>") {
          t.attribute.SetList(0, m);
          t.attrIDs.at(0) = "";
        } else {
          t.attribute.AddItem(m);
          t.attrIDs.resize(static_cast<size_t>(t.attribute.ListCount()));
          t.attrIDs.back() = "";
        }
      }
      t.attribute.SetText(m);
    }
  }
  if (!w.empty()) {
    int32_t entry = -1;
    for (int32_t i = 0; i < t.value.ListCount() && entry < 0; ++i)
      if (t.value.List(i) == w) entry = i;
    if (entry >= 0) {
      t.value.SetListIndex(entry);
    } else {
      t.value.AddItem(w);
      t.value.SetText(w);
    }
    // A stored date is shown in the picker, so that a save keeps it.
    if (t.valueType == 1) {
      if (const std::optional<rt::Date> date = StoredDate(w)) t.picker.SetValue(*date);
    }
  }
}

frmFEditDefinitions::StoredAttribute frmFEditDefinitions::RuleA(const Triple& t) {
  StoredAttribute a;
  if (t.attribute.Text() == "<leer>") return a;
  a.name = t.attribute.Text();
  a.value = t.valueType == 1 ? rt::FormatDate(rt::CDate(t.picker.ValueVariant()), "yyyy-MM-dd") : t.value.Text();
  a.group = t.group.Text() == "<leer>" ? "" : t.group.Text();
  return a;
}
