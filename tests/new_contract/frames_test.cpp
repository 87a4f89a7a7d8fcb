// The workflow an attribute of the type would start, the responsibility
// choices for it, and the type's renewal workflow.
#include <memory>
#include <string>

#include "core/records.h"
#include "new_contract_fixture.h"

namespace {

using coretest::Shown;
using nctest::Sets;
using nctest::Values;

struct Workflow {
  std::string name, id;
};

class NewContractFrames : public nctest::NewContractTest {
 protected:
  void SetUp() override {
    NewContractTest::SetUp();
    host_->InsertRow("KMWFG_Vorgaenge", {{"ID", "WF3"},
                                         {"Betreff", "Paket einrichten"},
                                         {"Status", "freigegeben"},
                                         {"voreinstellungaenderbar", true}});
    host_->InsertRow("KMWFG_Vorgaenge", {{"ID", "WF4"}, {"Betreff", "Entwurf"}, {"Status", "in Arbeit"}});
  }
  // The group "Service" with the attribute "Paket" and its value "gold",
  // each naming the workflow given.
  void AddAttribute(const Workflow& group, const Workflow& attribute, const Workflow& value) {
    const std::string g = host_->InsertRow(
        "MerkmalgruppeAdressen",
        {{"Gruppe", "Service"}, {"KMWFG_WorkflowName", group.name}, {"KMWFG_WorkflowID", group.id}});
    const std::string a = host_->InsertRow(
        "MerkmallisteAdressen",
        {{"Merkmal", "Paket"}, {"KMWFG_WorkflowName", attribute.name}, {"KMWFG_WorkflowID", attribute.id}}, g);
    host_->InsertRow("WerteMerkmalAdressen",
                     {{"Wert", "gold"}, {"KMWFG_WorkflowName", value.name}, {"KMWFG_WorkflowID", value.id}}, a);
  }

  // The frames' state as one line, to compare cases by.
  static std::string State(const frmNewContract& f) {
    auto b = [](bool x) { return x ? "1" : "0"; };
    return std::string("wf ") + b(f.fraWorkflow.Enabled()) + " chk " + std::to_string(f.chkWorkflow.Value()) +
           " '" + f.chkWorkflow.Caption() + "' resp " + b(f.fraResponsible.Enabled()) + " def " +
           b(f.optDefinierteBenutzer.Value()) + b(f.optDefinierteBenutzer.Enabled()) + " new " +
           b(f.optneuerBenutzer.Value()) + b(f.optneuerBenutzer.Enabled()) + " user " + b(f.cmbUser.Enabled());
  }
  static constexpr const char* kReset =
      "wf 0 chk 0 '   <kein Workflow zugewiesen>' resp 0 def 00 new 00 user 0";

  std::string IndexOf(const char* table) {
    return gDB->Connection()->Table(table)->Indexes()->Current()->Name();
  }
};

TEST_F(NewContractFrames, TheMostSpecificLevelNamesTheWorkflow) {
  struct Case {
    const char* what;
    Workflow group, attribute, value;
    Values sets;
    const char* state;
  };
  const Workflow none;
  const Case cases[] = {
      {"the value's workflow wins", {"Gruppe", "WF1"}, {"Prüfung", "WF1"}, {"Begrüßung", "WF2"},
       Sets("Service", "Paket", "gold"),
       "wf 1 chk 1 'Workflow  'Begrüßung'  erstellen' resp 1 def 00 new 10 user 1"},
      {"the attribute's when the value names none", none, {"Prüfung", "WF1"}, none,
       Sets("Service", "Paket", "GOLD"),  // looked up in upper case
       "wf 1 chk 1 'Workflow  'Prüfung'  erstellen' resp 1 def 10 new 00 user 0"},
      {"the group's as the last resort, changeable", {"Einrichtung", "WF3"}, none, none,
       Sets("Service", "Paket", "gold"),
       "wf 1 chk 1 'Workflow  'Einrichtung'  erstellen' resp 1 def 11 new 01 user 1"},
      {"a value not found offers nothing", {"Gruppe", "WF1"}, none, none, Sets("Service", "Paket", "silber"),
       kReset},
      {"a workflow that is not there", none, none, {"Alt", "WF9"}, Sets("Service", "Paket", "gold"), kReset},
      {"a type that sets no attribute", {"Gruppe", "WF1"}, none, none, Sets("", "", ""), kReset},
      {"an empty group", {"Gruppe", "WF1"}, none, none, Sets("", "Paket", "gold"), kReset},
      {"an empty value", {"Gruppe", "WF1"}, none, none, Sets("Service", "Paket", ""), kReset},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    for (const char* t : {"MerkmalgruppeAdressen", "kt_Vertragsdefinitionen"}) host_->DeleteRows(t);
    AddAttribute(k.group, k.attribute, k.value);
    AddType(k.sets);
    auto f = OpenDialog();
    EXPECT_EQ(State(*f), k.state);
    // The attribute tables are back on their natural order.
    for (const char* t : {"MerkmalgruppeAdressen", "MerkmallisteAdressen", "WerteMerkmalAdressen"})
      EXPECT_EQ(IndexOf(t), "") << t;
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(NewContractFrames, EachSelectionStartsFromTheReset) {
  AddAttribute({}, {}, {"Begrüßung", "WF2"});
  AddType(nctest::Merge(Sets("Service", "Paket", "gold"), {{"Bezeichnung", "A"}}));
  AddType({{"Bezeichnung", "B"}});
  auto f = OpenDialog();
  EXPECT_EQ(f->chkWorkflow.Value(), 1);
  user_.ClickItem(f->lvwBezeichnung, 2);
  // Everything reset but the options' values, which the earlier workflow
  // gave them.
  EXPECT_EQ(State(*f), "wf 0 chk 0 '   <kein Workflow zugewiesen>' resp 0 def 00 new 10 user 0");
}

TEST_F(NewContractFrames, ATypeAdjustedInMemoryShowsItsOwnWorkflows) {
  AddAttribute({}, {}, {"Begrüßung", "WF2"});
  const std::string type = AddType({{"WorkflowID", ""}});
  auto f = OpenDialog();
  EXPECT_EQ(State(*f), kReset);
  auto d = Adjusted(type);
  d->SetztMerkmalGruppe = "Service";
  d->SetztMerkmal = "Paket";
  d->SetztWert = "gold";
  d->VerlaengerungsWorkflowID = "WF1";
  NewContractPeer::InitAgain(*f);
  EXPECT_EQ(State(*f), "wf 1 chk 1 'Workflow  'Begrüßung'  erstellen' resp 1 def 00 new 10 user 1");
  EXPECT_EQ(f->lblWorkflow2.Caption(), "Vertragsverlängerung prüfen");
}

TEST_F(NewContractFrames, RenewalWorkflowShowsOnlyAReleasedWorkflowsSubject) {
  struct Case {
    const char* id;
    const char* caption;
    bool enabled;
  };
  const Case cases[] = {{"", "< kein Workflow zugeordnet >", false},
                        {"WF1", "Vertragsverlängerung prüfen", true},
                        {"WF4", "< kein Workflow zugeordnet >", true},
                        {"WF9", "< kein Workflow zugeordnet >", true}};
  for (const Case& k : cases) {
    host_->DeleteRows("kt_Vertragsdefinitionen");
    AddType({{"WorkflowID", k.id}});
    auto f = OpenDialog();
    EXPECT_EQ(f->lblWorkflow2.Caption(), k.caption) << k.id;
    EXPECT_EQ(f->lblWorkflow2.Enabled(), k.enabled) << k.id;
    EXPECT_EQ(f->fraWorkflow2.Enabled(), k.enabled) << k.id;
  }
}

TEST_F(NewContractFrames, AFailedSearchIsShownAndTheDialogStaysUsable) {
  AddAttribute({}, {}, {"Begrüßung", "WF2"});
  AddType(Sets("Service", "Paket", "gold"));
  host_->FailNext("MerkmallisteAdressen", "Seek", nctest::Hr(0x80041001), "weg");
  auto f = OpenDialog();
  EXPECT_EQ(BoxesFrom(0),
            (std::vector<Shown>{{"Fehler &H80041001\r\n(weg)\r\nin kt_FNewContract.SetWorkflowFrameVisibility",
                                 ui::mb::OkOnly, std::nullopt}}));
  EXPECT_EQ(State(*f), kReset);
  // The tables are left as the failure found them.
  EXPECT_EQ(IndexOf("MerkmalgruppeAdressen"), "Merkmalgruppe");
  EXPECT_EQ(IndexOf("MerkmallisteAdressen"), "MerkmalgruppeIDMerkmal");
  user_.Click(f->cmdOK);
  EXPECT_TRUE(f->bOK());
}

}  // namespace
