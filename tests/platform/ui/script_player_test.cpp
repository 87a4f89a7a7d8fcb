// The script language and its player: lines parsed before anything runs,
// actions played on the form shown on top, boxes and answers, and every way
// a script can break.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/ui/script.h"
#include "platform/ui/script_player.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

using ui::test::ParseScript;
using ui::test::ScriptAction;
using ui::test::ScriptSyntaxError;
using ui::test::Verb;

TEST(UiScriptParse, ActionsKeepTheirLineAndTheArgumentAsItStands) {
  const std::vector<ScriptAction> a = ParseScript(
      "# a comment\r\n"
      "\n"
      "   type txtBezeichnung   Wartung  jährlich \r\n"
      "PASTE txtDauer\n"
      "paste txtDauer \n"
      "  # indented comment\n"
      "select cboPeriod #1\n"
      "select cboPeriod #x\n"
      "pick lvwTypes Typ A\n"
      "date DTPBeginn 1.2.2024\n"
      "date DTPBeginn 29.02.2024\n"
      "date DTPBeginn EMPTY\n"
      "answer Yes\n"
      "click cmdOK");
  ASSERT_EQ(a.size(), 11u);
  EXPECT_EQ(a[0].line, 3);
  EXPECT_EQ(a[0].verb, Verb::Type);
  EXPECT_EQ(a[0].control, "txtBezeichnung");
  EXPECT_EQ(a[0].argument, "  Wartung  jährlich ");
  EXPECT_EQ(a[1].verb, Verb::Paste);
  EXPECT_EQ(a[1].argument, "");
  EXPECT_EQ(a[2].argument, "");
  EXPECT_EQ(a[3].index, 1);
  EXPECT_FALSE(a[4].index.has_value());  // "#x" is a text
  EXPECT_EQ(a[5].argument, "Typ A");
  EXPECT_EQ(a[6].date, rt::DateSerial(2024, 2, 1));
  EXPECT_EQ(a[7].date, rt::DateSerial(2024, 2, 29));
  EXPECT_FALSE(a[8].date.has_value());
  EXPECT_EQ(a[9].verb, Verb::Answer);
  EXPECT_TRUE(a[9].yes);
  EXPECT_EQ(a[9].control, "");
  EXPECT_EQ(a[10].line, 14);
  EXPECT_TRUE(ParseScript("").empty());
}

TEST(UiScriptParse, MalformedLinesNameTheirLine) {
  const struct {
    const char* text;
    int line;
    const char* reason;
  } cases[] = {
      {"klick cmdOK", 1, "unknown verb \"klick\""},
      {"click cmdOK\n\nclick", 3, "click needs a control name"},
      {"click cmdOK now", 1, "click takes no text after the control"},
      {"tick  chkFlag", 1, "tick needs a control name"},
      {"type txtDauer", 1, "type needs a text after the control"},
      {"type txtDauer ", 1, "type needs a text after the control"},
      {"select cboPeriod", 1, "select needs a text after the control"},
      {"pick lvwTypes", 1, "pick needs a text after the control"},
      {"date DTPBeginn 31.04.2024", 1, "\"31.04.2024\" is no date (d.M.yyyy, dd.MM.yyyy or empty)"},
      {"date DTPBeginn 2024-04-01", 1, "\"2024-04-01\" is no date (d.M.yyyy, dd.MM.yyyy or empty)"},
      {"date DTPBeginn 1.1.24", 1, "\"1.1.24\" is no date (d.M.yyyy, dd.MM.yyyy or empty)"},
      {"answer", 1, "answer takes yes or no"},
      {"answer vielleicht", 1, "answer takes yes or no"},
  };
  for (const auto& c : cases) {
    try {
      (void)ParseScript(c.text);
      ADD_FAILURE() << c.text;
    } catch (const ScriptSyntaxError& e) {
      EXPECT_EQ(e.line(), c.line) << c.text;
      EXPECT_EQ(e.reason(), c.reason) << c.text;
    }
  }
}

// A small dialog that the test form opens from cmdCancel.
class Dialog : public ui::Form {
 public:
  Dialog() : Form("frmDialog") {
    SetCaption("Dialog");
    cmdOk.OnClick = [this] {
      if (ui::MsgBox("Übernehmen?", ui::mb::YesNo + ui::mb::IconQuestion + ui::mb::DefaultButton2, "Frage") ==
          ui::MsgResult::Yes)
        Hide();
    };
  }
  ui::TextBox txtAnzahl{*this, "txtAnzahl"};
  ui::CommandButton cmdOk{*this, "cmdOk"};
};

class UiScriptPlayer : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    f = ui::NewForm<TestForm>();
    // Digits only, and an empty discount may not be left.
    f->txtRabatt.OnKeyPress = [](int16_t& k) {
      if (k != 8 && (k < '0' || k > '9')) k = 0;
    };
    f->txtRabatt.OnValidate = [this](bool& cancel) {
      if (f->txtRabatt.Text().empty()) {
        ui::MsgBox("Rabatt fehlt", ui::mb::IconInformation);
        cancel = true;
      }
    };
    f->cmdCancel.OnClick = [this] {
      dialog = ui::NewForm<Dialog>();
      dialog->ShowModal();
      f->log.push_back("dialog closed with " + dialog->txtAnzahl.Text());
    };
    f->lvwTypes.AddColumn("RecordOID", 0);
    f->lvwTypes.AddColumn("Typ", 1000);
    f->lvwTypes.Add("17").SetSubItems(1, "Wartung");
    f->lvwTypes.Add("18").SetSubItems(1, "Hosting");
  }

  // Plays `script` on a modal display of the test form; returns what the
  // player printed. A ScriptFailure goes to the caller.
  std::string Play(const std::string& script, bool finish = true) {
    player = std::make_shared<ui::test::ScriptPlayer>(ParseScript(script), out);
    ui::SetService(player);
    f->ShowModal();
    if (finish) player->Finish();
    return out.str();
  }
  // The failure message of playing `script`.
  std::string FailureOf(const std::string& script) {
    try {
      Play(script);
    } catch (const ui::ScriptFailure& e) {
      return e.what();
    }
    return "no failure";
  }

  std::shared_ptr<TestForm> f;
  std::shared_ptr<Dialog> dialog;
  std::shared_ptr<ui::test::ScriptPlayer> player;
  std::ostringstream out;
};

TEST_F(UiScriptPlayer, PlaysEveryVerbOnTheFormOnTopAndPrintsBoxes) {
  const std::string printed = Play(
      "type txtRabatt 1a2\n"       // the filter swallows "a"; then Tab
      "paste txtDauer 36\n"
      "tick chkFlag\n"
      "choose optB\n"
      "select cboPeriod jährlich\n"
      "select cboPeriod #0\n"
      "type cboUnit Std\n"
      "pick lvwTypes Hosting\n"
      "pick lvwTypes #1\n"
      "date DTPBeginn 01.04.2024\n"
      "click cmdCancel\n"          // opens the dialog: the next lines are its
      "type txtAnzahl 3\n"
      "answer no\n"
      "click cmdOk\n"              // stays open
      "answer yes\n"
      "click cmdOk\n"              // closes; back on the test form
      "click cmdOK\n");
  EXPECT_EQ(f->txtRabatt.Text(), "12");
  EXPECT_EQ(f->txtDauer.Text(), "36");
  EXPECT_EQ(f->chkFlag.Value(), ui::CheckBox::Checked);
  EXPECT_TRUE(f->optB.Value());
  EXPECT_EQ(f->cboPeriod.ListIndex(), 0);
  EXPECT_EQ(f->cboUnit.Text(), "Std");
  EXPECT_EQ(f->lvwTypes.SelectedItem().Index(), 1);
  EXPECT_EQ(f->DTPBeginn.Value(), rt::DateSerial(2024, 4, 1));
  EXPECT_EQ(f->log, (std::vector<std::string>{
                        "Form_Load", "txtDauer_Change:36", "chkFlag_Click:1", "optB_Click", "cboPeriod_Click:1",
                        "cboPeriod_Click:0", "lvwTypes_ItemClick:2", "lvwTypes_ItemClick:1", "DTPBeginn_Change",
                        "dialog closed with 3", "cmdOK_Click"}));
  EXPECT_EQ(printed, "[Frage] Übernehmen?\n[Frage] Übernehmen?\n");
  // Each display, with the line that closed it.
  ASSERT_EQ(player->Displays().size(), 2u);
  EXPECT_EQ(player->Displays()[0].form, "frmTest");
  EXPECT_EQ(player->Displays()[0].closedBy->line, 17);
  EXPECT_EQ(player->Displays()[1].form, "frmDialog");
  EXPECT_EQ(player->Displays()[1].closedBy->line, 16);
}

TEST_F(UiScriptPlayer, AQuestionWithoutAnswerTakesItsDefaultWithAWarning) {
  const std::string printed = Play(
      "click cmdCancel\n"
      "click cmdOk\n"       // No, the default: stays open
      "answer yes\n"
      "click cmdOk\n"
      "click cmdOK\n");
  EXPECT_EQ(printed,
            "[Frage] Übernehmen?\n"
            "warning: line 2: no answer was given; the default button No is taken\n"
            "[Frage] Übernehmen?\n");
  EXPECT_EQ(Play("answer no\nclick cmdOK\n"),
            printed + "warning: line 1: no question took this answer\n");
}

TEST_F(UiScriptPlayer, AValidationKeepingTheFocusAfterTypingIsNoFailure) {
  // Emptying the discount: its message is printed, the focus stays, and
  // only the field itself can be acted on next.
  Play("type txtRabatt 5\npaste txtRabatt\ntype txtRabatt 7\nclick cmdOK\n");
  EXPECT_EQ(out.str(), "[kelPaktor2] Rabatt fehlt\n");
  EXPECT_EQ(f->txtRabatt.Text(), "7");
}

TEST_F(UiScriptPlayer, WhatTheUserCannotDoEndsTheRunNamingTheLine) {
  f->lblDirty.SetCaption("*");
  f->cmdOK.SetEnabled(false);
  f->chkFlag.SetVisible(false);
  f->fraGroup.SetEnabled(false);
  f->txtDauer.OnChange = [this] {
    if (f->txtDauer.Text() == "2") f->cboPeriod.SetFocus();
  };
  const struct {
    const char* script;
    const char* failure;
  } cases[] = {
      {"click cmdNirgends", "line 1: frmTest has no control cmdNirgends"},
      {"\nclick txtDauer", "line 2: txtDauer is a text box, not a command button"},
      {"tick optA", "line 1: optA is an option button, not a check box"},
      {"type cboPeriod 12", "line 1: cboPeriod is a drop-down list; choose an entry with select"},
      {"type lblDirty x", "line 1: lblDirty is a label, not a text box or an editable combo box"},
      {"select txtDauer x", "line 1: txtDauer is a text box, not a combo or list box"},
      {"click cmdOK", "line 1: cmdOK is disabled"},
      {"tick chkFlag", "line 1: chkFlag is hidden"},
      {"choose optC", "line 1: optC is out of reach (a frame holding it is hidden or disabled)"},
      {"select cboPeriod halbjährlich", "line 1: cboPeriod has no entry \"halbjährlich\""},
      {"select cboPeriod #2", "line 1: cboPeriod has no entry #2"},
      {"select lstInvoices x", "line 1: lstInvoices has no entry \"x\""},
      {"pick lvwTypes 17", "line 1: lvwTypes has no item \"17\""},  // the hidden column is not searched
      {"pick lvwTypes #0", "line 1: lvwTypes has no item #0"},
      {"date DTPBeginn empty", "line 1: DTPBeginn cannot be emptied"},
      {"type txtDauer 23", "line 1: the focus left txtDauer while the text was entered"},
      {"paste txtDauer 2", "line 1: the focus left txtDauer while the text was entered"},
      {"paste txtRabatt\nclick cmdCancel", "line 2: txtRabatt keeps the focus: its validation refuses to let it go"},
      {"tick chkFlag2", "line 1: frmTest has no control chkFlag2"},
      {"type txtRabatt 1", "the script ends (line 1) while frmTest is shown"},
      {"", "the script is empty while frmTest is shown"},
      {"click cmdCancel\nanswer yes\nclick cmdOk", "the script ends (line 3) while frmTest is shown"},
  };
  for (const auto& c : cases) {
    f->txtRabatt.SetText("1");
    f->txtDauer.SetText("12");
    f->Hide();
    out.str("");
    EXPECT_EQ(FailureOf(c.script), c.failure) << c.script;
  }
}

TEST_F(UiScriptPlayer, LinesLeftAfterTheDialogsClosedFailOnFinish) {
  f->cmdOK.OnClick = [this] { f->Hide(); };
  try {
    Play("click cmdOK\n# done\ntick chkFlag\n");
    ADD_FAILURE() << "no failure";
  } catch (const ui::ScriptFailure& e) {
    EXPECT_STREQ(e.what(), "line 3: this line and the ones after it are left; the dialogs have closed");
  }
}

TEST_F(UiScriptPlayer, AFailureInsideAHandlerPassesTheEventBoundary) {
  // The nested dialog's script breaks inside cmdCancel_Click.
  EXPECT_EQ(FailureOf("click cmdCancel\nclick cmdNein"), "line 2: frmDialog has no control cmdNein");
  EXPECT_EQ(ui::EventErrorCount(), 0);
}

}  // namespace
}  // namespace uitest
