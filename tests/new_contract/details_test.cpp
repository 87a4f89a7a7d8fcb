// The selected contract type in the editor: adjusting it for this contract,
// cancelling, and the cases in which no editor is shown.
#include <memory>
#include <string>

#include "contract_types/frm_fedit_definitions.h"
#include "core/records.h"
#include "new_contract_fixture.h"

namespace {

class NewContractDetails : public nctest::NewContractTest {
 protected:
  size_t EditorDisplays() {
    size_t n = 0;
    for (const auto& m : ui_->ModalLog()) n += m.form == "frmFEditDefinitions";
    return n;
  }
};

TEST_F(NewContractDetails, AnAdjustedTypeIsTakenOverAndSavedFromMemory) {
  const std::string type = AddWartung();
  ui_->OnModal<frmFEditDefinitions>([&](frmFEditDefinitions& e) {
    EXPECT_EQ(e.txtBezeichnung.Text(), "Wartung jährlich");
    user_.SelectAll(e.txtDauer);
    user_.Paste(e.txtDauer, "24");
    user_.Click(e.cmdSave);
    EXPECT_FALSE(e.IsShown());
  });
  const auto outcome = ShowThroughCkt([&](frmNewContract& f) {
    ASSERT_TRUE(user_.Click(f.cmdDetails));
    EXPECT_EQ(f.sDefOid(), type);
    EXPECT_TRUE(NewContractPeer::bDefEdited(f));
    EXPECT_TRUE(f.lblDirty.Visible());
    EXPECT_EQ(NewContractPeer::lDauer(f), 24);
    ASSERT_NE(gDefinition, nullptr);
    EXPECT_EQ(gDefinition->DefOid, type);

    // Saved from memory: the contract runs for the adjusted 24 months.
    user_.Click(f.cmdOK);
    EXPECT_FALSE(f.IsShown());
  });
  EXPECT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.count, 1);
  // The editor's notice on the changed term, nothing else.
  EXPECT_EQ(BoxesFrom(0),
            (std::vector<coretest::Shown>{{"Überprüfen Sie bitte, ob die Preise noch stimmen !", 0, std::nullopt}}));
  const auto contract = Only("kt_Vertraege");
  EXPECT_EQ(Num(contract, "Dauer"), 24);
  EXPECT_EQ(DateOf(contract, "VertragEnde"), rt::AddDays(rt::AddMonths(DateOf(contract, "VertragBeginn"), 24), -1));
  EXPECT_EQ(EditorDisplays(), 1u);
  // The stored type is as it was.
  EXPECT_EQ(Num(Only("kt_Vertragsdefinitionen"), "Dauer"), 12);
}

TEST_F(NewContractDetails, ACancelledEditorChangesNothing) {
  const std::string a = AddType({{"Bezeichnung", "A"}});
  const std::string b = AddType({{"Bezeichnung", "B"}});
  auto f = OpenDialog();
  // A copy adjusted for the other type stays that type's and is not shown.
  auto copy = std::make_shared<kt_CDefinition>();
  copy->DefOid = b;
  copy->Dirty = true;
  gDefinition = copy;
  ui_->OnModal<frmFEditDefinitions>([&](frmFEditDefinitions& e) {
    EXPECT_EQ(e.txtBezeichnung.Text(), "A");
    user_.Click(e.cmdCancel);
  });
  ASSERT_TRUE(user_.Click(f->cmdDetails));
  EXPECT_EQ(f->sDefOid(), a);
  EXPECT_FALSE(copy->Dirty);
  EXPECT_FALSE(NewContractPeer::bDefEdited(*f));
  EXPECT_FALSE(f->lblDirty.Visible());
  EXPECT_EQ(NewContractPeer::lDauer(*f), 12);
  EXPECT_EQ(EditorDisplays(), 1u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(NewContractDetails, NoEditorForATypeItCannotOpenOrThatIsGone) {
  // A kind the editor does not take: InitEdit refuses, nothing is shown,
  // nothing changes.
  const std::string odd = AddType({{"Bezeichnung", "A"}, {"Art", 7}});
  const std::string gone = AddType({{"Bezeichnung", "B"}});
  auto f = OpenDialog();
  ASSERT_TRUE(user_.Click(f->cmdDetails));
  EXPECT_EQ(f->sDefOid(), odd);
  EXPECT_EQ(EditorDisplays(), 0u);
  EXPECT_FALSE(NewContractPeer::bDefEdited(*f));

  // A record deleted meanwhile: nothing opens.
  user_.ClickItem(f->lvwBezeichnung, 2);
  auto types = gDB->Connection()->Table("kt_Vertragsdefinitionen");
  types->GotoOid(gone, 0);
  types->Delete(0);
  ASSERT_TRUE(user_.Click(f->cmdDetails));
  EXPECT_EQ(f->sDefOid(), gone);
  EXPECT_EQ(EditorDisplays(), 0u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(NewContractDetails, ErrorsOfTheDetailsAreShownInTheDialogsOwnBox) {
  AddType();
  auto f = OpenDialog();
  host_->FailNext("kt_Vertragsdefinitionen", "GotoOid", nctest::Hr(0x80041001), "weg");
  ASSERT_TRUE(user_.Click(f->cmdDetails));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].prompt, "Fehler &H80041001\r\n(weg)\r\nin kt_FNewContract.cmdDetails_Click");
  EXPECT_EQ(EditorDisplays(), 0u);
}

}  // namespace
