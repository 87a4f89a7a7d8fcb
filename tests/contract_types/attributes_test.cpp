// The two address-attribute triples and the renewal workflow.
#include "editor_fixture.h"

namespace editortest {
namespace {

class ContractTypesAttributes : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    f = NewEditor();
    ASSERT_TRUE(f->InitNew());
  }
  std::shared_ptr<frmFEditDefinitions> f;
};

TEST_F(ContractTypesAttributes, AGroupListsItsAttributesAndTheFirstValueDecidesTheEditor) {
  ASSERT_TRUE(user_.Select(f->cboPutGroup, 2));  // Vertrag
  EXPECT_EQ(Entries(f->cboPutAttribute), (std::vector<std::string>{"Wartungsvertrag", "Vertragsbeginn", "Betreuer"}));
  EXPECT_EQ(Probe(*f).PutAttrIDs(),
            (std::vector<std::string>{OidOf("MerkmallisteAdressen", "Merkmal", "Wartungsvertrag"),
                                      OidOf("MerkmallisteAdressen", "Merkmal", "Vertragsbeginn"),
                                      OidOf("MerkmallisteAdressen", "Merkmal", "Betreuer"), ""}));
  EXPECT_EQ(f->cboPutAttribute.Text(), "Wartungsvertrag");

  const struct {
    int32_t entry;
    std::vector<std::string> values;
    bool comboShown, comboOn, pickerShown;
    int32_t type;
  } cases[] = {
      {0, {"ja", "nein"}, true, true, false, 0},
      {1, {}, false, false, true, 1},  // <Datum>: the picker with today
      {2, {"Meier", "Schulz"}, true, true, false, 0},  // <Benutzername>: the users but DEVELOPMENT
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(user_.Select(f->cboPutAttribute, c.entry));
    EXPECT_EQ(Entries(f->cboPutValue), c.values) << c.entry;
    EXPECT_EQ(f->cboPutValue.ListIndex(), c.values.empty() ? -1 : 0);
    EXPECT_EQ(f->cboPutValue.Visible(), c.comboShown) << c.entry;
    EXPECT_EQ(f->cboPutValue.Enabled(), c.comboOn) << c.entry;
    EXPECT_EQ(f->DTPPutValue.Visible(), c.pickerShown) << c.entry;
    EXPECT_EQ(Probe(*f).PutValueType(), c.type) << c.entry;
  }
  EXPECT_EQ(f->DTPPutValue.Value(), coretest::FixedToday());

  // The other triple keeps its own values although both share the tables.
  ASSERT_TRUE(user_.Select(f->cboRequiGroup, 1));  // Kunde
  EXPECT_EQ(Entries(f->cboRequiValue), (std::vector<std::string>{"aktiv", "inaktiv"}));
  ASSERT_TRUE(user_.Select(f->cboPutAttribute, 0));
  ASSERT_TRUE(user_.Select(f->cboRequiAttribute, 0));
  EXPECT_EQ(Entries(f->cboRequiValue), (std::vector<std::string>{"aktiv", "inaktiv"}));
  EXPECT_EQ(Entries(f->cboPutValue), (std::vector<std::string>{"ja", "nein"}));

  // "<leer>" empties the attribute list to "<leer>" and the values.
  ASSERT_TRUE(user_.Select(f->cboRequiGroup, 0));
  EXPECT_EQ(Entries(f->cboRequiAttribute), std::vector<std::string>{"<leer>"});
  EXPECT_EQ(Probe(*f).RequiAttrIDs(), std::vector<std::string>{""});
  EXPECT_EQ(f->cboRequiValue.ListCount(), 0);
  EXPECT_TRUE(f->cboRequiValue.Visible());
  EXPECT_FALSE(f->cboRequiValue.Enabled());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesAttributes, SpecialValuesCountOnlyFirstAndRecordsThatAreGoneLeaveNothingStale) {
  // "<Benutzername>" behind another value is an ordinary value; an
  // attribute without values gets an empty, disabled list.
  const std::string kunde = OidOf("MerkmalgruppeAdressen", "Gruppe", "Kunde");
  const std::string rolle = host_->InsertRow("MerkmallisteAdressen", {{"Merkmal", "Rolle"}}, kunde);
  host_->InsertRow("WerteMerkmalAdressen", {{"Wert", "Chef"}}, rolle);
  host_->InsertRow("WerteMerkmalAdressen", {{"Wert", "<Benutzername>"}}, rolle);
  host_->InsertRow("MerkmallisteAdressen", {{"Merkmal", "Leer"}}, kunde);
  f = NewEditor();
  ASSERT_TRUE(f->InitNew());
  ASSERT_TRUE(user_.Select(f->cboRequiGroup, 1));
  ASSERT_EQ(Entries(f->cboRequiAttribute), (std::vector<std::string>{"Status", "Rolle", "Leer"}));
  ASSERT_TRUE(user_.Select(f->cboRequiAttribute, 1));
  EXPECT_EQ(Entries(f->cboRequiValue), (std::vector<std::string>{"Chef", "<Benutzername>"}));
  ASSERT_TRUE(user_.Select(f->cboRequiAttribute, 2));
  EXPECT_EQ(f->cboRequiValue.ListCount(), 0);
  EXPECT_FALSE(f->cboRequiValue.Enabled());

  // An attribute removed behind the editor's back: no values, not the
  // values of whatever attribute was current.
  ASSERT_TRUE(user_.Select(f->cboRequiAttribute, 0));
  host_->DeleteRows("WerteMerkmalAdressen");
  host_->DeleteRows("MerkmallisteAdressen");
  ASSERT_TRUE(user_.Select(f->cboRequiAttribute, 1));
  EXPECT_EQ(f->cboRequiValue.ListCount(), 0);
  EXPECT_FALSE(f->cboRequiValue.Enabled());
  EXPECT_EQ(Probe(*f).RequiValueType(), 0);

  // A group that is gone leaves the attributes and values as they are.
  host_->DeleteRows("MerkmalgruppeAdressen");
  const std::vector<std::string> attributes = Entries(f->cboRequiAttribute);
  ASSERT_TRUE(user_.Select(f->cboRequiGroup, 2));
  EXPECT_EQ(Entries(f->cboRequiAttribute), attributes);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesAttributes, TheWorkflowIsOfferedForRenewableDebtorTypesAndRemembered) {
  ASSERT_TRUE(user_.Select(f->cboWorkflow, 2));
  EXPECT_EQ(Probe(*f).WorkflowID(), "WF2");
  const struct {
    const char* what;
    std::function<bool()> act;
    const char* shown;
    bool on;
  } steps[] = {
      {"untick", [&] { return user_.Untick(f->chkVerlaengerbar); }, "<kein Workflow>", false},
      {"tick", [&] { return user_.Tick(f->chkVerlaengerbar); }, "Neukunde begrüßen", true},
      {"open-ended", [&] { return user_.Choose(f->optUnbefristet); }, "<kein Workflow>", false},
      {"fixed", [&] { return user_.Choose(f->optBefristet); }, "Neukunde begrüßen", true},
      {"payable", [&] { return user_.Choose(f->optKreditor); }, "<kein Workflow>", false},
      {"receivable", [&] { return user_.Choose(f->optDebitor); }, "Neukunde begrüßen", true},
  };
  for (const auto& s : steps) {
    ASSERT_TRUE(s.act()) << s.what;
    EXPECT_EQ(f->cboWorkflow.Text(), s.shown) << s.what;
    EXPECT_EQ(f->cboWorkflow.Enabled(), s.on) << s.what;
    EXPECT_EQ(f->lblWorkflow.Enabled(), s.on) << s.what;
    EXPECT_EQ(f->fraWF.Enabled(), s.on) << s.what;
    EXPECT_EQ(Probe(*f).WorkflowID(), "WF2") << s.what;  // kept throughout
  }
  ASSERT_TRUE(user_.Select(f->cboWorkflow, 0));
  EXPECT_EQ(Probe(*f).WorkflowID(), "");
}

TEST_F(ContractTypesAttributes, AFailingGroupClickIsReportedOnceAndLaterClicksWork) {
  host_->FailNext("MerkmalgruppeAdressen", "GotoOid", static_cast<int32_t>(0x80041005u), "");
  ASSERT_TRUE(user_.Select(f->cboPutGroup, 2));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.cboPutGroup_Click"));
  EXPECT_FALSE(Probe(*f).Loading());
  host_->FailNext("MerkmallisteAdressen", "MoveFirst", static_cast<int32_t>(0x80041005u), "");
  ASSERT_TRUE(user_.Select(f->cboRequiGroup, 2));
  host_->FailNext("WerteMerkmalAdressen", "MoveFirst", static_cast<int32_t>(0x80041005u), "");
  ASSERT_TRUE(user_.Select(f->cboRequiGroup, 1));
  host_->FailNext("Users", "Count", static_cast<int32_t>(0x80041005u), "");
  ASSERT_TRUE(user_.Select(f->cboPutGroup, 2));
  ASSERT_TRUE(user_.Select(f->cboPutAttribute, 2));
  const std::vector<std::optional<std::string>> titles = {
      "Fehler in kt_FEditDefinitions.cboPutGroup_Click", "Fehler in kt_FEditDefinitions.ReadRequiAttributeList",
      "Fehler in kt_FEditDefinitions.cboRequiAttribute_Click", "Fehler in kt_FEditDefinitions.LoadPutUsers"};
  ASSERT_EQ(Boxes().size(), titles.size());
  for (size_t i = 0; i < titles.size(); ++i) EXPECT_EQ(Boxes()[i].title, titles[i]);

  ASSERT_TRUE(user_.Select(f->cboPutGroup, 1));
  EXPECT_EQ(Entries(f->cboPutAttribute), std::vector<std::string>{"Status"});
  EXPECT_EQ(Entries(f->cboPutValue), (std::vector<std::string>{"aktiv", "inaktiv"}));
  EXPECT_EQ(Boxes().size(), titles.size());
}

}  // namespace
}  // namespace editortest
