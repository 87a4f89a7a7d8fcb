// CKT.NewContract and CKT.NewContract2 with the real dialog: what the
// caller gets back, the held dialog, and the save paths not built yet.
#include <string>
#include <vector>

#include "new_contract_fixture.h"

namespace {

using nctest::Hr;

class NewContractEntry : public nctest::NewContractTest {};

TEST_F(NewContractEntry, WhatTheCallerGetsBack) {
  AddWartung();
  struct Case {
    const char* what;
    std::function<void(frmNewContract&)> script;
    bool ok;
    int32_t count;
  };
  const Case cases[] = {
      {"saved", [&](frmNewContract& f) { user_.Click(f.cmdOK); }, true, 1},
      {"cancelled", [&](frmNewContract& f) { user_.Click(f.cmdCancel); }, false, 0},
      {"a failed save, then cancelled",
       [&](frmNewContract& f) {
         host_->FailNext("kt_Vertraege", "Insert", Hr(0x80041001), "kaputt");
         user_.Click(f.cmdOK);
         user_.Click(f.cmdCancel);
       },
       false, 1},
  };
  for (bool second : {false, true}) {
    for (const Case& k : cases) {
      SCOPED_TRACE(std::string(k.what) + (second ? " (NewContract2)" : ""));
      ui_->OnModal<frmNewContract>(k.script);
      bool ok = !k.ok, showDef = true;
      int32_t count = -1;
      if (second) {
        ckt_->NewContract2(app_, ok, count, showDef);
      } else {
        ckt_->NewContract(app_, ok, count, showDef);
      }
      EXPECT_EQ(ok, k.ok);
      EXPECT_EQ(count, k.count);
      EXPECT_FALSE(showDef);  // cleared by the dialog's load
    }
  }
  EXPECT_EQ(Rows("kt_Vertraege").size(), 2u);
  EXPECT_EQ(ui_->ModalLog().size(), 6u);
}

TEST_F(NewContractEntry, AHeldDialogWithoutTypesIsShownAgainAndOnlyCancelDoesAnything) {
  bool ok = true, showDef = true;
  int32_t count = 3;
  ckt_->NewContract(app_, ok, count, showDef);  // no released type: not shown, held
  EXPECT_FALSE(ok);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(showDef);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].prompt,
            "Es muss mindestens ein freigegebener Vertragstyp definiert sein.\r\nLegen Sie einen Vertragstyp an!");

  ui_->OnModal<frmNewContract>([&](frmNewContract& f) {
    user_.Click(f.cmdOK);
    user_.Click(f.cmdDetails);
    EXPECT_TRUE(f.IsShown());
    user_.Click(f.cmdCancel);
  });
  ckt_->NewContract(app_, ok, count, showDef);
  EXPECT_FALSE(ok);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(showDef);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(ui_->ModalLog().size(), 1u);
  EXPECT_TRUE(Rows("kt_Vertraege").empty());
}

}  // namespace
