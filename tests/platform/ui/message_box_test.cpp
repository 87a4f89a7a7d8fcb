// Message boxes: what is recorded, how questions are answered.
#include <gtest/gtest.h>

#include "ui_fixture.h"

namespace uitest {
namespace {

using ui::MsgResult;
namespace mb = ui::mb;

class UiMessageBoxes : public UiTest {};

TEST_F(UiMessageBoxes, RecordsPromptStyleAndTitleOrNone) {
  EXPECT_EQ(ui::MsgBox("Ungültige Eingabe in Anzahl !", mb::IconInformation, "Bitte ändern ..."), MsgResult::Ok);
  EXPECT_EQ(ui::MsgBox("Überprüfen Sie bitte, ob die Preise noch stimmen !"), MsgResult::Ok);
  EXPECT_EQ(ui::MsgBox("leerer Titel", mb::OkOnly, ""), MsgResult::Ok);
  const auto& m = service->Messages();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].prompt, "Ungültige Eingabe in Anzahl !");
  EXPECT_EQ(m[0].style, 64);
  EXPECT_EQ(m[0].title, std::optional<std::string>("Bitte ändern ..."));
  EXPECT_EQ(m[1].style, 0);
  EXPECT_EQ(m[1].title, std::nullopt);  // no title of its own
  EXPECT_EQ(m[2].title, std::optional<std::string>(""));
  EXPECT_EQ(service->PendingAnswers(), 0u);
}

TEST_F(UiMessageBoxes, QuestionsTakeQueuedAnswersInOrder) {
  service->AnswerNext(MsgResult::No, "wirklich löschen");
  service->AnswerNext(MsgResult::Yes);
  const int style = mb::YesNo + mb::IconQuestion + mb::DefaultButton2;
  EXPECT_EQ(style, 292);
  EXPECT_EQ(ui::MsgBox("Wollen Sie die markierte Position wirklich löschen?", style), MsgResult::No);
  ui::MsgBox("Zwischendurch", mb::IconInformation);  // OK boxes take no answer
  EXPECT_EQ(ui::MsgBox("Haben Sie das gewollt?", style, "Vertrag ohne Rechnungslegung?"), MsgResult::Yes);
  const auto& m = service->Messages();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].answer, MsgResult::No);
  EXPECT_EQ(m[1].answer, MsgResult::Ok);
  EXPECT_EQ(m[2].answer, MsgResult::Yes);
  EXPECT_TRUE(service->Failures().empty());
}

TEST_F(UiMessageBoxes, AnUnexpectedQuestionFailsLoudly) {
  EXPECT_THROW(ui::MsgBox("Wollen Sie das wirklich?", 308, "Kelmaris Paktor"), ui::ScriptFailure);
  ASSERT_EQ(service->Failures().size(), 1u);
  EXPECT_NE(service->Failures()[0].find("Wollen Sie das wirklich?"), std::string::npos);
  EXPECT_EQ(service->Messages().size(), 1u);  // still recorded

  service->AnswerNext(MsgResult::Yes, "löschen");
  EXPECT_THROW(ui::MsgBox("Speichern?", mb::YesNo), ui::ScriptFailure);
  service->AnswerNext(MsgResult::Ok);
  EXPECT_THROW(ui::MsgBox("Speichern?", mb::YesNo), ui::ScriptFailure);
  EXPECT_EQ(service->Failures().size(), 3u);
}

TEST_F(UiMessageBoxes, ScriptFailuresPassTheEventBoundaryAndErrorTraps) {
  auto f = ui::NewForm<TestForm>();
  f->cmdOK.OnClick = [] {
    try {
      ui::MsgBox("Sind Sie sicher?", mb::YesNo + mb::IconQuestion);
    } catch (const rt::Error&) {
      // a dialog's own trap: must not hide a broken script
    }
  };
  EXPECT_THROW(user.Click(f->cmdOK), ui::ScriptFailure);
  EXPECT_EQ(ui::EventErrorCount(), 0);
}

TEST_F(UiMessageBoxes, TheDefaultServiceAnswersWithTheDefaultButton) {
  ui::SetService(nullptr);
  EXPECT_EQ(ui::MsgBox("?", mb::YesNo + mb::IconQuestion), MsgResult::Yes);
  EXPECT_EQ(ui::MsgBox("?", 292), MsgResult::No);
  EXPECT_EQ(ui::MsgBox("!", mb::IconExclamation, "Kelmaris Paktor"), MsgResult::Ok);
  ui::DoEvents();
  // A modal display with nothing to show returns at once, the form hidden.
  auto f = ui::NewForm<TestForm>();
  f->ShowModal();
  EXPECT_FALSE(f->IsShown());
  EXPECT_EQ(f->activated, 1);
  EXPECT_TRUE(service->Messages().empty());
}

}  // namespace
}  // namespace uitest
